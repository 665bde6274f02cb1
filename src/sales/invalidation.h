#pragma once
// Invalidating recorded sale lines (returned goods, a wrong entry): a line
// is copied from its stored row into Invalidate_Sales with the reason, the
// operator and the time of the invalidation, the warehouse it was sold
// from and whether its quantity went back there, removed from Prodajbi,
// and on request its quantity goes back into that warehouse, all in one
// transaction. Every question is asked before it begins. The receipt file
// that carried the line stays recorded under its number (Prodajbi_Bon), so
// that a reversal receipt can be issued for it; the documents issued for
// it keep their numbers and are marked annulled when the operator says so.
//
// Instalment payments (article 0) and the lines of a credit are no goods
// to give back: they cannot be invalidated here.

#include "common/decimal.h"
#include "common/sql_statement.h"
#include "sales/sales_report.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

// A document issued for a sale line (Printed_Dok, from the shop).
struct IssuedForLine {
    QString kind;   // Dokumenti.Opisanie
    QString number; // N_Dok
    QString date;   // Data, ISO
};

// A chosen line as the invalidation sees it before asking anything.
struct InvalidationCandidate {
    qint64 sale = 0; // ID_Prodajba
    enum Status {
        Ready,
        Gone,    // no longer recorded (invalidated meanwhile)
        Payment, // an instalment payment
        Credit,  // a line of a credit (open or paid off)
    } status = Ready;
    qint64 article = 0;
    QString description;
    Decimal quantity;
    QList<IssuedForLine> documents; // not yet annulled
};
// The chosen lines, each once, from the last chosen to the first (the
// order they are invalidated in). Throws EDatabaseError.
QList<InvalidationCandidate> invalidationCandidates(const QSqlDatabase& db, const QList<qint64>& chosen);

// What the operator answered for a line.
struct LineInvalidation {
    qint64 sale = 0;
    bool restoreStock = false;   // its quantity back into its warehouse
    bool annulDocuments = false; // its documents marked annulled
};
struct InvalidationRequest {
    QList<LineInvalidation> lines; // in the order to invalidate
    QString reason;                // Osnovanie, as typed
    QString operatorName;          // Anuliral
    QDateTime when;
    // The warehouse of a line that names none (recorded by an earlier
    // version): the active one.
    int activeWarehouse = 0;
};

// A document marked annulled, with the lines it was issued for.
struct AnnulledDocument {
    QString kind;
    QString number;
    QString date; // ISO
    qint64 counterparty = 0;
    QList<qint64> lines;
};
struct InvalidationResult {
    QList<qint64> invalidated;
    QList<qint64> skipped; // gone meanwhile, or no goods: nothing done for them
    QList<AnnulledDocument> annulled;
};
// Invalidates the lines in one transaction: each line's row is locked and
// read again by its key (one invalidated on another workstation meanwhile
// is skipped, so a line is invalidated once), copied with the reason, the
// operator, the date and time, its warehouse and whether its stock went
// back, deleted (exactly its one row), its quantity given back through
// GET_NALI4NOST into the warehouse it was sold from, and its documents
// marked annulled, as asked. Throws EConvertError for an empty reason, and
// EDatabaseError (nothing done) when the database fails or a line's number
// is recorded more than once.
InvalidationResult invalidateSales(const QSqlDatabase& db, const InvalidationRequest& request);

// ---- the report of invalidated sales

struct InvalidatedCriteria {
    SalesReportCriteria sale;             // on the invalidated lines' own values
    std::optional<QString> invalidatedBy; // Anuliral
    std::optional<QString> reason;        // Osnovanie contains the text, in any case
    std::optional<Range<QDate>> invalidationDate;
    std::optional<Range<QTime>> invalidationTime;
};
// What the report's choice lists offer: the counterparties, articles and
// operators that occur among the invalidated lines ("<ID>:<name>" for the
// first two, "<ID>:" when the row is gone).
struct InvalidatedChoices {
    QStringList counterparties;
    QStringList articles;
    QStringList invalidatedBy;
};
// Throws EDatabaseError.
InvalidatedChoices invalidatedChoices(const QSqlDatabase& db);

// The list: ID_Prodajba, ID_Art, Opisanie, Kol, Ed_Cena, Valuta, T_O, Suma,
// D_Prodajba, T_Prodajba, Ime_Firma, Operator, Pored_Ot, Pored_Do,
// Type_pay, Term_N, Osnovanie, Date_Invalidate, Time_Invalidate,
// Anuliral, Opis_Sklad and Stock_Back, with every invalidated line
// whatever it joins, keyed by ID_Prodajba.
SqlStatement invalidatedSalesStatement(const InvalidatedCriteria& criteria, int decimals);

} // namespace torvika
