#pragma once
// The register of document kinds (Dokumenti), the numbering of issued
// documents into Printed_Dok (INC_NUMBER_PRINTED_DOK) and the list of
// working-document kinds (Rab_Dokumenti).

#include "common/sql_statement.h"
#include "documents/report_query.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace torvika {

struct DocumentKind {
    qint64 id = 0;  // ID_Dokument
    QString name;   // Opisanie, also the template's name
    QString places; // Kade_se_izpolzva
    QString number; // N_Dok: the next number, zero-padded to its width
    int copies = 0; // N_Copies: 0 or less leaves the printer's one copy
    // The row whose N_Dok numbers the kind: its own, or that of the kind
    // named by Nomeracia_Ot (a credit note numbered in the invoices' series,
    // as the tax law has it); number is that row's.
    qint64 numberingId = 0;
};

// The kind of that name (the first row, should several have it), with the
// number of the series it is numbered in.
std::optional<DocumentKind> findDocumentKind(const QSqlDatabase& db, const QString& name);

// The names of the kinds offered where the print is started, sorted. The
// fiscal-service page finds its kinds by both names of its place.
QStringList documentKindsFor(const QSqlDatabase& db, PrintContext context);

// Whether N_Dok numbers its kind: digits only, not all of them "0".
bool isNumbered(const QString& number);
// Whether N_Dok can be printed: digits only, or empty (an unnumbered kind).
bool isDocumentNumberText(const QString& number);
// The number after this one, with the same width ("000125" -> "000126",
// "999" -> "1000", "0000" -> "0001"); "0", an empty or a non-digit text
// stays as it is.
QString nextDocumentNumber(const QString& number);

// One document issued for selected lines.
struct IssueRequest {
    QString kindName;
    PrintContext context = PrintContext::Shop;
    QList<qint64> lines; // N_Prodajba of the selected lines, in selection order
    qint64 counterparty = 0;
    QDateTime now;
};

struct IssuedNumber {
    QString number;          // the number the document carries (the stored one)
    bool registered = false; // lines were written to Printed_Dok
};

// Within the caller's Transaction: waits for any other workstation printing
// the kind until its transaction ends, and keeps the others waiting.
void lockDocumentKind(const QSqlDatabase& db, const QString& kindName);

// INC_NUMBER_PRINTED_DOK: within the caller's Transaction, waits for any
// other workstation numbering the kind, reads its number, registers every
// selected line that still exists in Printed_Dok under it and advances the
// kind's number. A kind without a row, or whose number is "0", registers
// nothing; an all-zero number of several digits only advances. The caller
// commits once the document is printed, so a print that fails registers
// nothing. Throws EDocumentError for a number that is not digits (nothing
// is printed under it) and EDatabaseError.
IssuedNumber INC_NUMBER_PRINTED_DOK(const QSqlDatabase& db, const IssueRequest& request);

// The document of the kind issued last for any of the selected lines from
// the place (the latest registration), with every line registered under
// its number.
struct IssuedDocument {
    QString number;
    QList<qint64> lines;
    // The issued document is exactly the selected lines (in any order).
    bool sameLines = false;
};
std::optional<IssuedDocument> issuedDocument(const QSqlDatabase& db, const QString& kindName,
                                             PrintContext context, const QList<qint64>& lines);

// The number a document of the kind would get now (for a preview).
QString currentDocumentNumber(const QSqlDatabase& db, const QString& kindName);

// ---- the register of kinds, as its window edits it

// Every kind: ID_Dokument, Opisanie, N_Dok, Kade_se_izpolzva, N_Copies.
SqlStatement documentKindsStatement();

// Each change takes effect on that row alone; all of them throw
// EDocumentError for a refused value (with the message to show) and
// EDatabaseError when the database fails.
void setDocumentNumber(const QSqlDatabase& db, qint64 id, const QString& number);
void setDocumentCopies(const QSqlDatabase& db, qint64 id, int copies);
void setDocumentPlaces(const QSqlDatabase& db, qint64 id, const QString& places);
// Renames the kind and its template's files in dir; a name taken by
// another kind or unfit for a file name is refused. The files are copied to
// the new name before the kind is renamed and the old ones removed after,
// so that the kind's name always names a whole template: a failure leaves
// the kind and its files as they were.
void renameDocumentKind(const QSqlDatabase& db, const QString& dir, qint64 id, const QString& name);
// A new kind (key MAX + 1 under the lock), offered in the shop, unnumbered.
qint64 addDocumentKind(const QSqlDatabase& db, const QString& name);
// Refused for a kind with issued documents.
void deleteDocumentKind(const QSqlDatabase& db, qint64 id);

// ---- working-document kinds

// ID, Opisanie in the order of their keys.
SqlStatement workKindsStatement();
qint64 addWorkKind(const QSqlDatabase& db, const QString& name);
void renameWorkKind(const QSqlDatabase& db, qint64 id, const QString& name);
// Refused for a kind that deliveries or supplier warranties name.
void deleteWorkKind(const QSqlDatabase& db, qint64 id);

} // namespace torvika
