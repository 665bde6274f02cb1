#include "documents/credit_note.h"

#include "common/dates.h"
#include "common/sql.h"
#include "documents/document_kinds.h"
#include "documents/template_files.h"
#include "documents/texts.h"

#include <QFileInfo>
#include <algorithm>

namespace torvika {

QHash<QString, QString> creditNoteFields(const CorrectedDocument& corrected) {
    const QDate date = QDate::fromString(corrected.date, Qt::ISODate);
    return {{texts::kFieldCorrectedDocument,
             texts::kCorrectedDocument.arg(corrected.kind, corrected.number,
                                           date.isValid() ? shortDate(date) : corrected.date)},
            {texts::kFieldCreditReason, corrected.reason}};
}

void addCreditNoteFields(PrintRequest& request, const CorrectedDocument& corrected) {
    const QHash<QString, QString> fields = creditNoteFields(corrected);
    for (auto it = fields.begin(); it != fields.end(); ++it)
        request.companyFields.insert(it.key(), it.value());
}

bool correctedByCreditNote(const QString& templateDir, const QString& kind) {
    if (!isValidTemplateName(kind) || !QFileInfo::exists(templatePath(templateDir, kind, ".psc")))
        return false;
    try {
        return LOAD_SELECTED_FILE_PRINT(templateDir, kind).needsCounterparty;
    } catch (const Error&) {
        return false;
    }
}

void checkCreditNoteKind(const QSqlDatabase& db) {
    const std::optional<DocumentKind> kind = findDocumentKind(db, texts::kCreditNoteKind);
    if (!kind || !isNumbered(kind->number))
        throw EDocumentError(texts::kCreditNoteKindMissing.arg(texts::kCreditNoteKind));
}

PrintRequest creditNoteRequest(PrintRequest base, const QList<qint64>& lines,
                               const CorrectedDocument& corrected) {
    base.context = PrintContext::InvalidatedSales;
    base.lines = lines;
    base.counterparty = corrected.counterparty;
    addCreditNoteFields(base, corrected);
    return base;
}

std::optional<CorrectedDocument> correctedDocumentOf(const QSqlDatabase& db, const QList<qint64>& lines) {
    if (lines.isEmpty())
        return std::nullopt;
    QStringList marks;
    QVariantList values{issuePlace(PrintContext::InvalidatedSales), QStringLiteral("True"),
                        texts::kCreditNoteKind};
    for (qint64 l : lines) {
        marks << QStringLiteral("?");
        values << l;
    }
    const SqlRows rows =
        readRows(db,
                 QStringLiteral("SELECT D.Opisanie, P.N_Dok, P.Data, P.ID_Kontrag FROM Printed_Dok P "
                                "LEFT JOIN Dokumenti D ON D.ID_Dokument = P.ID_Dok "
                                "WHERE P.Ot_Kade_Prod = ? AND P.Anulirano = ? AND D.Opisanie <> ? "
                                "AND P.ID_Prod IN (%1) ORDER BY P.Data DESC, P.fTime DESC, P.N_Dok DESC")
                     .arg(marks.join(QStringLiteral(", "))),
                 values, 1);
    if (rows.rows.isEmpty())
        return std::nullopt;
    const QVariantList& r = rows.rows[0];
    CorrectedDocument d{r[0].toString(), r[1].toString(), r[2].toString(), r[3].toLongLong(), {}};
    QList<qint64> ordered = lines;
    std::sort(ordered.begin(), ordered.end());
    d.reason = scalarSql(db, QStringLiteral("SELECT Osnovanie FROM Invalidate_Sales WHERE ID_Prodajba = ?"),
                         {ordered.first()}, QVariant(QString()))
                   .toString();
    return d;
}

} // namespace torvika
