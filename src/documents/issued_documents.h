#pragma once
// The register of issued documents (Printed_Dok) searched and read back:
// the documents that match the operator's filters, the lines of one of
// them with their amounts, and what a copy of it is printed for.
//
// A document is the rows registered together by one print: the same kind,
// number, place, date, time and counterparty. Kinds, counterparties,
// articles, sales and currencies are joined by outer joins, so a document
// or a line whose joined row is gone is still listed (with empty texts).
// Dates are kept as ISO text and compared as such, which orders them as
// dates. Every value is bound.

#include "common/decimal.h"
#include "common/sql_statement.h"
#include "common/vat.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace torvika {

// Where a document was issued (Printed_Dok.Ot_Kade_Prod).
inline constexpr int kIssuedInShop = 1;
inline constexpr int kIssuedInService = 2;

// The filters of a search; an absent one does not narrow it.
struct IssuedDocumentFilter {
    int place = kIssuedInShop;
    std::optional<qint64> kind;          // Dokumenti.ID_Dokument
    std::optional<QString> number;       // the number exactly as printed
    std::optional<ValueComparison> date; // with dateFrom (and dateTo for Between)
    QDate dateFrom;
    QDate dateTo;
    std::optional<qint64> counterparty; // Firmi.ID; 0 finds documents issued without one
    std::optional<qint64> article;      // documents with a line of the article
    std::optional<QString> operatorName;
};

// One row per document: ID_Dok, N_Dok, Ot_Kade_Prod, Data, fTime, ID_Firma,
// Operator, Opisanie (the kind), Opisanie_K (the counterparty), Doc_Key (the
// unique key of the row), newest first.
SqlStatement issuedDocumentsStatement(const IssuedDocumentFilter& filter);

// A document as a row of the search names it.
struct IssuedDocumentRef {
    qint64 kind = 0;
    QString kindName;
    QString number;
    int place = kIssuedInShop;
    QString date; // ISO, as registered
    QString time;
    qint64 counterparty = 0;
};

// The lines of the document, in the order of their numbers: ID_Prod, Barkod,
// Opisanie, Kol, Ed_Cena, Valuta, T_O, Suma (the line in the base currency
// after its discount; empty when its currency has no rate), Pored_Ot,
// Pored_Do, Dan_Grup. Shop lines are read from the recorded sale, from the
// invalidated lines, or from the sale list while the sale is not recorded
// yet; service lines from the intake.
SqlStatement issuedLinesStatement(const IssuedDocumentRef& document);

// The sum of the lines' amounts, to the stotinka. Throws EDatabaseError.
Decimal issuedDocumentTotal(const QSqlDatabase& db, const IssuedDocumentRef& document);

// The amounts of the document split by VAT rate, each line at the rate of
// its article's tax group, for the computed labels of a copy. Lines whose
// currency has no rate are left out. Throws EDatabaseError.
VatTotals issuedDocumentAmounts(const QSqlDatabase& db, const IssuedDocumentRef& document,
                                const VatRates& rates);

// The lines registered under the document (ID_Prod), in the order of their
// numbers. Throws EDatabaseError.
QList<qint64> issuedDocumentLines(const QSqlDatabase& db, const IssuedDocumentRef& document);

// Whether the shop document's lines are recorded sales (all of them);
// otherwise they are still in the sale list, or invalidated since (all of
// them: an annulled document's, a credit note's). Throws EDatabaseError.
bool issuedLinesRecorded(const QSqlDatabase& db, const QList<qint64>& lines);
bool issuedLinesInvalidated(const QSqlDatabase& db, const QList<qint64>& lines);

// "<ID_Dokument>:<Opisanie>" of the numbered kinds (N_Dok not "0"), in the
// order of their keys. Throws EDatabaseError.
QStringList numberedKindItems(const QSqlDatabase& db);
// The names of the operators (Ime), in the order of their keys.
QStringList operatorNames(const QSqlDatabase& db);

} // namespace torvika
