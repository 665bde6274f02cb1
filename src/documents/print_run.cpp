#include "documents/print_run.h"

#include "common/amount_words.h"
#include "common/sql.h"
#include "documents/template_files.h"
#include "documents/texts.h"

#include <QDir>
#include <QFileInfo>

namespace torvika {

QHash<QString, QString> companyFields(const QString& name, const QString& eik, const QString& mol,
                                      const QString& address, const QString& phone, const QString& iban,
                                      const QString& bic, const QString& bank, const QString& vatText) {
    // A company registered for VAT (a rate above 0) has the VAT number
    // "BG" followed by its EIK.
    const bool registered =
        Decimal::parse(vatText).value_or(Decimal()) > Decimal() && !eik.trimmed().isEmpty();
    return {{QStringLiteral("Фирма"), name},
            {QStringLiteral("ЕИК"), eik},
            {QStringLiteral("ИН по ДДС"), registered ? QStringLiteral("BG") + eik.trimmed() : QString()},
            {QStringLiteral("МОЛ"), mol},
            {QStringLiteral("Адрес"), address},
            {QStringLiteral("Телефон"), phone},
            {QStringLiteral("IBAN"), iban},
            {QStringLiteral("BIC"), bic},
            {QStringLiteral("Банка"), bank}};
}

PreparedDocument prepareDocument(const QSqlDatabase& db, const PrintRequest& request, const QString& kindName,
                                 const LabelPrompt& prompt) {
    PreparedDocument doc;
    // A kind without its layout file would print an empty page, numbered
    // and registered: nothing is printed and the operator is told.
    const QString layout = templatePath(request.templateDir, kindName, ".psc");
    if (isValidTemplateName(kindName) && !QFileInfo::exists(layout))
        throw EDocumentError(texts::kNoTemplateLayout.arg(QDir::toNativeSeparators(layout)));
    doc.report = LOAD_SELECTED_FILE_PRINT(request.templateDir, kindName, &doc.warnings);
    doc.kind = findDocumentKind(db, kindName);
    doc.copies = doc.kind && doc.kind->copies > 0 ? doc.kind->copies : 1;

    DocumentQueryInput input;
    input.context = request.context;
    input.lines = request.lines;
    input.counterparty = request.counterparty;
    input.operatorName = request.operatorName;
    input.kindId = doc.kind ? doc.kind->id : 0;
    doc.data = readReportData(db, doc.report, input);

    ReportValues& v = doc.values;
    v.amounts = request.amounts;
    v.title = kindName;
    v.printed = request.now;
    v.fields = request.companyFields;
    v.imageDir = request.templateDir;
    if (doc.empty())
        return doc;
    // The labels typed at print time, in the order of the elements.
    for (int i = 0; i < doc.report.elements.size(); ++i) {
        const ReportElement& e = doc.report.elements[i];
        if (e.kind != ElementKind::Label || (e.code != kLabelFreeText && e.code != kLabelNumberWords))
            continue;
        const std::optional<QString> typed = prompt ? prompt(kindName, e.code, e.caption) : std::nullopt;
        if (!typed)
            throw EDocumentError(QString());
        if (e.code == kLabelFreeText) {
            v.typedLabels.insert(i, *typed);
            continue;
        }
        const std::optional<Decimal> number = Decimal::parse(*typed);
        if (!number)
            throw EDocumentError(texts::kTypedNotANumber.arg(*typed, kindName));
        v.typedLabels.insert(i, Sum_To_Words(*number));
    }
    return doc;
}

void DocumentPrintState::beginRun(PrintContext c, const QList<qint64>& lines) {
    context = c;
    keys = lines;
    kinds.clear();
}

void DocumentPrintState::endRun() {
    keys.clear();
}

QString DocumentPrintState::stamp(const QString& kind) const {
    return kinds.value(kind).printed == 0 ? texts::kStampOriginal : texts::kStampCopy;
}

void DocumentPrintState::previewEnded(const QString& kind) {
    Q_UNUSED(kind);
}

void SET_SELECTED_PRINTER(DocumentPrintState& state, const QString& name, const QStringList& installed) {
    if (installed.contains(name))
        state.jobPrinter = name;
}

ReportValues previewValues(const QSqlDatabase& db, const DocumentPrintState& state,
                           const PreparedDocument& doc) {
    ReportValues v = doc.values;
    v.stamp = state.stamp(doc.values.title);
    const DocumentPrintState::KindRun run = state.kinds.value(doc.values.title);
    v.number =
        run.printed > 0 && !run.number.isEmpty() ? run.number : currentDocumentNumber(db, doc.values.title);
    return v;
}

bool printDocument(const QSqlDatabase& db, DocumentPrintState& state, const PreparedDocument& doc,
                   const PrintRequest& request,
                   const std::function<bool(const ReportLayout&, int copies)>& draw) {
    const QString kind = doc.values.title;
    state.documentName = kind;
    DocumentPrintState::KindRun& run = state.kinds[kind];
    ReportValues values = doc.values;
    values.stamp = run.printed == 0 ? texts::kStampOriginal : texts::kStampCopy;
    if (!run.numbering) {
        values.number = run.number.isEmpty() ? currentDocumentNumber(db, kind) : run.number;
        const ReportLayout layout(doc.report, doc.data, values);
        if (!draw(layout, doc.copies))
            return false;
        ++run.printed;
        return true;
    }
    // The first print of the kind: the number is taken, the lines are
    // registered and the number advanced before the pages are drawn, and
    // all of it stays only if the print is done.
    Transaction tx(db);
    IssueRequest issue;
    issue.kindName = kind;
    issue.context = request.context;
    issue.lines = request.lines;
    issue.counterparty = request.counterparty;
    issue.now = request.now;
    const IssuedNumber number = INC_NUMBER_PRINTED_DOK(db, issue);
    values.number = number.number;
    const ReportLayout layout(doc.report, doc.data, values);
    if (!draw(layout, doc.copies))
        return false;
    tx.commit();
    ++run.printed;
    run.numbering = false;
    run.number = number.number;
    return true;
}

} // namespace torvika
