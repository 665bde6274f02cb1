#pragma once
// The query that feeds a document's data fields
// (ADD_SQL_TO_QUERY_QUICKREPORT): the columns of the template's data fields
// from their tables, joined by the conditions of the place the document is
// printed from, for the lines the operator selected.
//
// The tables and columns come from the template and are checked against
// the database before the statement is built; every value (line numbers,
// counterparty, operator, document kind) is bound.

#include "common/sql_statement.h"
#include "common/vat.h"
#include "documents/report_template.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace torvika {

// Where a print run was started; the page's index where it is a page.
enum class PrintContext : int {
    None = -1,
    Shop = 0,
    Service = 1,
    FiscalService = 2,
    IssuedDocuments = 4,
    SalesReport = 5,
    // A credit note for sale lines just invalidated (Invalidate_Sales).
    InvalidatedSales = 6
};

// The table of the lines a document is printed for: Prodajbi_Vremenni on
// the shop page, for the sales report and for invalidated lines (whose
// stored lines are read in its columns, see lineSource), Priem_Ser_Vremen
// on the service page; empty elsewhere.
QString lineTable(PrintContext context);

// Where the statements read the lines of the context from, keyed by
// N_Prodajba: the lines' table itself, or, for the sales report, the
// recorded sale lines (Prodajbi; for invalidated lines Invalidate_Sales)
// in the columns of the pending lines, their net values converted to the
// base currency at the rate of each line's currency and taken at the VAT
// rate of its article's tax group.
struct LineSource {
    QString from;        // a table, or a derived table named like the lines' table
    QVariantList values; // what `from` binds (before any value of the statement)
    QString lock;        // the statement that locks one line by its key
};
LineSource lineSource(PrintContext context, const VatRates& rates = {});

// The operator's lines of the sale on the shop page (N_Prodajba), in their
// order.
QList<qint64> operatorSaleLines(const QSqlDatabase& db, const QString& operatorName);

// Where a document of the context is registered (Printed_Dok.Ot_Kade_Prod):
// 1 for the shop page, the sales report and invalidated lines (a sale line
// keeps its number from the sale list to its record and its invalidation),
// 2 for the service page, 3 for the
// fiscal-service page, the context's number plus one otherwise.
int issuePlace(PrintContext context);

// Whether the document query joins the table by a condition of its own
// (a table without one would repeat the document's rows).
bool isJoinedTable(const QString& table);

struct DocumentQueryInput {
    PrintContext context = PrintContext::Shop;
    // The selected lines (N_Prodajba), in selection order.
    QList<qint64> lines;
    qint64 counterparty = 0;
    QString operatorName;
    // The document kind's row (Dokumenti.ID_Dokument), 0 when it has none.
    qint64 kindId = 0;
    // The VAT rates of the tax groups, for lines whose net values are
    // computed as they are read (the sales report's).
    VatRates vatRates;
};

// The rows of the document: one value per data-field column, in the order
// of the selected lines when the lines' table is queried.
struct ReportData {
    // "table.column" in lower case, one per column of the rows.
    QStringList columns;
    QList<QVariantList> rows;
    // The line (N_Prodajba) of each row, when the lines' table is queried.
    QList<qint64> lines;
    // Whether the template had data fields at all (a template of labels
    // only prints one detail row without a query).
    bool queried = false;

    // The column of a data field; -1 when the field has none.
    int columnOf(const ReportElement& element) const;
};

// The statement of the template's data fields. Throws EDocumentError for a
// table or column the database does not have, or for a template without
// lines to print for. The statement's first columns are the data fields'
// columns, in the order of ReportData::columns; when the lines' table is
// queried a last column holds the line number.
struct DocumentQuery {
    SqlStatement statement;
    QStringList columns;
    bool lineKey = false;
    // The tables joined by a condition that may still match several rows,
    // each with its condition and values, checked before the rows are read.
    struct Check {
        QString table;
        QString condition;
        QVariantList values;
    };
    QList<Check> checks;
};
DocumentQuery ADD_SQL_TO_QUERY_QUICKREPORT(const QSqlDatabase& db, const ReportTemplate& report,
                                           const DocumentQueryInput& input);

// Runs the document's query. Throws EDocumentError when a table of the
// template would repeat the rows (one that no condition narrows to one row),
// and EDatabaseError when a statement fails.
ReportData readReportData(const QSqlDatabase& db, const ReportTemplate& report,
                          const DocumentQueryInput& input);

} // namespace torvika
