#include "documents/print_run.h"

#include "common/amount_words.h"
#include "common/base_currency.h"
#include "common/sql.h"
#include "documents/template_files.h"
#include "documents/texts.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace torvika {

QHash<QString, QString> companyFields(const QString& name, const QString& eik, const QString& mol,
                                      const QString& address, const QString& phone, const QString& iban,
                                      const QString& bic, const QString& bank, const QString& vatText,
                                      const QString& place) {
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
            {QStringLiteral("Банка"), bank},
            {QStringLiteral("Място на издаване"), place.trimmed().isEmpty() ? address : place.trimmed()},
            // A credit note's own (credit_note.h), empty on any other print
            // rather than printed as their names.
            {texts::kFieldCorrectedDocument, QString()},
            {texts::kFieldCreditReason, QString()}};
}

QString placeOfIssue(const QSqlDatabase& db, int warehouse) {
    const SqlRows rows =
        readRows(db, QStringLiteral("SELECT Grad, Adres FROM Sklad WHERE ID_Sklad = ?"), {warehouse}, 1);
    if (rows.rows.isEmpty())
        return {};
    const QString town = rows.rows[0][0].toString().trimmed();
    return town.isEmpty() ? rows.rows[0][1].toString().trimmed() : town;
}

namespace {

QString marks(qsizetype count) {
    QStringList m;
    for (qsizetype i = 0; i < count; ++i)
        m << QStringLiteral("?");
    return m.join(QStringLiteral(", "));
}

// The selected lines that exist, in the order they were selected; all of
// them where the document is not printed for a page's lines.
QList<qint64> existingLines(const QSqlDatabase& db, PrintContext context, const QList<qint64>& lines) {
    const LineSource source = lineSource(context);
    if (source.from.isEmpty() || lines.isEmpty())
        return lines;
    QVariantList keys = source.values;
    for (qint64 l : lines)
        keys << l;
    const SqlRows rows = readRows(db,
                                  QStringLiteral("SELECT N_Prodajba FROM %1 WHERE N_Prodajba IN (%2)")
                                      .arg(source.from, marks(lines.size())),
                                  keys);
    QSet<qint64> found;
    for (const QVariantList& r : rows.rows)
        found.insert(r[0].toLongLong());
    QList<qint64> out;
    for (qint64 l : lines)
        if (found.contains(l) && !out.contains(l))
            out << l;
    return out;
}

// Keeps other workstations from changing or deleting the lines until the
// transaction ends; in key order, so two prints of overlapping lines never
// wait for each other crosswise.
void lockLines(const QSqlDatabase& db, PrintContext context, QList<qint64> lines) {
    const LineSource source = lineSource(context);
    if (source.lock.isEmpty())
        return;
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    for (qint64 l : lines)
        execSql(db, source.lock, {l});
}

bool sameAmounts(const DocumentAmounts& a, const DocumentAmounts& b) {
    if (a.gross != b.gross || a.net != b.net || a.vat != b.vat || a.rates.size() != b.rates.size())
        return false;
    for (int i = 0; i < a.rates.size(); ++i)
        if (a.rates[i].rate != b.rates[i].rate || a.rates[i].gross != b.rates[i].gross)
            return false;
    return a.lineRates == b.lineRates;
}

} // namespace

void rereadDocument(const QSqlDatabase& db, const PrintRequest& request, PreparedDocument& doc) {
    doc.lines = existingLines(db, request.context, request.lines);
    doc.linesGone = !lineTable(request.context).isEmpty() && !request.lines.isEmpty() && doc.lines.isEmpty();
    doc.data = ReportData();
    if (request.rows) {
        doc.data = request.rows(db);
        doc.data.queried =
            std::any_of(doc.report.elements.cbegin(), doc.report.elements.cend(),
                        [](const ReportElement& e) { return e.kind == ElementKind::DataField; });
    } else if (!doc.linesGone) {
        DocumentQueryInput input;
        input.context = request.context;
        input.lines = doc.lines;
        input.counterparty = request.counterparty;
        input.operatorName = request.operatorName;
        input.kindId = doc.kind ? doc.kind->id : 0;
        input.vatRates = request.vatRates;
        doc.data = readReportData(db, doc.report, input);
    }
    doc.values.amounts =
        request.amounts && !doc.linesGone ? request.amounts(db, doc.lines) : splitVatByRate({});
    // The words name the company's base currency ("… евро и 05 цента").
    doc.values.currency = loadBaseCurrency(db);
    doc.values.amounts.grossWords = Sum_To_Words(doc.values.amounts.gross, doc.values.currency.words);
    doc.values.dualTotal = dualAmountToday(doc.values.amounts.gross, doc.values.currency.kind,
                                           request.dualPricesUntil, request.now.date());
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
    // An invoice names its buyer: never one for "Няма избран контрагент".
    if (doc.report.needsCounterparty && request.counterparty <= 0)
        throw EDocumentError(texts::kNeedsCounterparty);
    doc.kind = findDocumentKind(db, kindName);
    if (doc.kind && !isDocumentNumberText(doc.kind->number))
        throw EDocumentError(texts::kNumberNotDigits.arg(doc.kind->number));
    doc.copies = doc.kind && doc.kind->copies > 0 ? doc.kind->copies : 1;

    ReportValues& v = doc.values;
    v.title = kindName;
    v.printed = request.now;
    v.fields = request.companyFields;
    v.imageDir = request.templateDir;
    rereadDocument(db, request, doc);
    if (doc.empty())
        return doc;
    // The labels typed at print time, in the order of the elements.
    for (int i = 0; i < doc.report.elements.size(); ++i) {
        const ReportElement& e = doc.report.elements[i];
        if (e.kind != ElementKind::Label || !isTypedLabel(e.code))
            continue;
        const QString start = e.code == kLabelPayment ? texts::kPaymentCash : e.caption;
        const std::optional<QString> typed = prompt ? prompt(kindName, e.code, start) : std::nullopt;
        if (!typed)
            throw EDocumentError(QString());
        if (e.code != kLabelNumberWords) {
            v.typedLabels.insert(i, *typed);
            continue;
        }
        const std::optional<Decimal> number = Decimal::parse(*typed);
        if (!number)
            throw EDocumentError(texts::kTypedNotANumber.arg(*typed, kindName));
        v.typedLabels.insert(i, Sum_To_Words(*number, v.currency.words));
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

void DocumentPrintState::copyIssued(const QString& kind, const QString& number) {
    KindRun& run = kinds[kind];
    run.copy = true;
    run.number = number;
}

QString DocumentPrintState::stamp(const QString& kind) const {
    const KindRun run = kinds.value(kind);
    return run.printed == 0 && !run.copy ? texts::kStampOriginal : texts::kStampCopy;
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
    v.number = (run.printed > 0 || run.copy) && !run.number.isEmpty()
                   ? run.number
                   : currentDocumentNumber(db, doc.values.title);
    return v;
}

PrintOutcome printDocument(const QSqlDatabase& db, DocumentPrintState& state, const PreparedDocument& doc,
                           const PrintRequest& request,
                           const std::function<bool(const ReportLayout&, int copies)>& draw,
                           const PreparedDocument* shown) {
    const QString kind = doc.values.title;
    state.documentName = kind;
    DocumentPrintState::KindRun& run = state.kinds[kind];
    Transaction tx(db);
    // The kind first (every print of it waits here for the one before), then
    // its lines: what is read below is what is numbered, registered and drawn.
    lockDocumentKind(db, kind);
    lockLines(db, request.context, request.lines);
    PreparedDocument now = doc;
    rereadDocument(db, request, now);
    if (now.empty())
        return PrintOutcome::Empty;
    ReportValues& values = now.values;
    values.stamp = state.stamp(kind);
    // The fiscal-service page's paperwork is neither numbered nor registered.
    const bool takesNumber = run.printed == 0 && !run.copy && request.context != PrintContext::FiscalService;
    if (takesNumber) {
        IssueRequest issue;
        issue.kindName = kind;
        issue.context = request.context;
        issue.lines = now.lines;
        issue.counterparty = request.counterparty;
        issue.now = request.now;
        values.number = INC_NUMBER_PRINTED_DOK(db, issue).number;
    } else {
        values.number = run.number.isEmpty() ? currentDocumentNumber(db, kind) : run.number;
    }
    if (shown && (shown->data.rows != now.data.rows || shown->values.number != values.number ||
                  !sameAmounts(shown->values.amounts, values.amounts)))
        return PrintOutcome::Changed;
    const ReportLayout layout(now.report, now.data, values);
    if (!draw(layout, now.copies))
        return PrintOutcome::NotDrawn;
    tx.commit();
    ++run.printed;
    run.number = values.number;
    return PrintOutcome::Printed;
}

} // namespace torvika
