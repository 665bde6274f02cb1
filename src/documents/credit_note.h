#pragma once
// The credit note for goods given back: a document of its own kind
// ("Кредитно известие"), printed for sale lines just invalidated (read from
// Invalidate_Sales), issued to the counterparty of the annulled document it
// corrects and naming that document in its band texts. It is numbered and
// registered like every other document of the shop.

#include "documents/print_run.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

// The document a credit note corrects: an annulled document issued to a
// counterparty.
struct CorrectedDocument {
    QString kind;   // Dokumenti.Opisanie
    QString number; // N_Dok, as printed
    QString date;   // ISO, as registered
    qint64 counterparty = 0;
    QString reason; // why its goods came back (Invalidate_Sales.Osnovanie)
};

// What the credit note's band texts may name besides the company:
// [Към документ] "<kind> № <number> от <dd.MM.yyyy>" and [Основание] the
// reason.
QHash<QString, QString> creditNoteFields(const CorrectedDocument& corrected);
// Adds them to the request's company fields.
void addCreditNoteFields(PrintRequest& request, const CorrectedDocument& corrected);

// Whether a document of the kind is corrected by a credit note: its
// template is issued to the counterparty (an invoice). A kind without a
// readable template is not.
bool correctedByCreditNote(const QString& templateDir, const QString& kind);

// Throws EDocumentError (with the message to show) unless the credit note's
// kind is registered with a number: a credit note is never printed
// unnumbered. Throws EDatabaseError.
void checkCreditNoteKind(const QSqlDatabase& db);

// The request of a credit note for the invalidated lines (ID_Prodajba) that
// the corrected document carried: `base` (the company, the templates, the
// clock, the VAT rates and the amounts of invalidated lines) with the lines,
// the counterparty and the fields naming the corrected document.
PrintRequest creditNoteRequest(PrintRequest base, const QList<qint64>& lines,
                               const CorrectedDocument& corrected);

// The annulled document (not a credit note) registered from the shop for
// any of the lines, the latest, with the reason its first invalidated line
// gives: what a copy of a credit note for those lines names. Throws
// EDatabaseError.
std::optional<CorrectedDocument> correctedDocumentOf(const QSqlDatabase& db, const QList<qint64>& lines);

} // namespace torvika
