#pragma once
// Supplier price lists: suppliers (Firm_CL), their groups (Grupi_CL,
// numbered per supplier) and their articles (Art_CL), imported from
// numbered-field catalogue files and shown as a tree of suppliers and
// groups, kept in CL.pdt of the company directory.
//
// Catalogue file: one record a line. A line with field 16 is a supplier
// (16 name, 17 to 19 its further data), one with field 11 a group of the
// last supplier (11 name), one with fields 1 to 9 an article of the last
// group (1 description, 2 to 4 prices 1 to 3, 5 currency, 6 status,
// 7 catalogue number; 1, 2 and 5 required). Prices take "." or "," as the
// decimal separator.
//
// An import is one transaction: every line is checked, a line that does not
// hold a valid record is refused with its reason (and the articles of a
// refused group with it), the others are stored at once at the end; a
// cancelled or failed import stores nothing and leaves every list as it
// was. The keys are taken once, with the three tables locked against other
// workstations, and the tree file is written once, after the commit.

#include "common/decimal.h"
#include "common/import_report.h"
#include "common/progress.h"
#include "common/sql_statement.h"
#include "common/tree_file.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

// The widest texts the lists keep.
inline constexpr int kSupplierNameWidth = 150;
inline constexpr int kSupplierDataWidth = 100;
inline constexpr int kSupplierGroupWidth = 150;
inline constexpr int kSupplierArticleWidth = 255;
inline constexpr int kSupplierStatusWidth = 100;
inline constexpr int kSupplierNumberWidth = 50;

// "<company directory>/CL.pdt".
QString supplierTreeFile(const QString& companyDirectory);

struct SupplierListImport {
    ImportReport report;
    QList<qint64> suppliers; // added, or the one updated
    int groups = 0;
    int articles = 0;
};

// Imports the file. Without `update` each supplier line adds a supplier;
// with it the file replaces that supplier's groups and articles (a supplier
// line renames it), and only when the whole file was read and stored.
// Throws EConvertError / EInOutError when the file cannot be read at all
// (nothing is changed then); any other failure is in the report.
SupplierListImport importSupplierList(const QSqlDatabase& db, const QString& treeFile,
                                      const QString& fileName, std::optional<qint64> update,
                                      Progress& progress);

// Deleting, each in one transaction, then the tree file written again.
// Returns false when there was nothing to delete.
bool deleteSupplier(const QSqlDatabase& db, const QString& treeFile, qint64 supplier);
bool deleteSupplierGroup(const QSqlDatabase& db, const QString& treeFile, qint64 supplier, qint64 group);
void deleteAllSupplierLists(const QSqlDatabase& db, const QString& treeFile);

// The tree of the lists stored: suppliers ("<ID>:<name>", the newest first)
// with their groups ("<ID>:<name>") below them. Throws EDatabaseError.
QList<TreeLine> supplierTree(const QSqlDatabase& db);
// The tree for the window: the tree file, written again from the lists
// stored when it is missing or no longer matches them (another workstation
// changed them, or a copy of the database came without it).
QList<TreeLine> loadSupplierTree(const QSqlDatabase& db, const QString& treeFile);

// ---- Browsing and searching ----

// The catalogue grid's columns: ID, Kat_N, Opisanie, Cena_1, Cena_2,
// Cena_3, Valuta, Status, Firma, Grupa, ID_F, ID_G; key Art_CL.ID.
SqlStatement supplierGroupArticles(qint64 supplier, qint64 group);

// The lowest and highest Cena_1 above 0 of the rows a statement of this
// file selects (none when there is none).
struct PriceBounds {
    std::optional<Decimal> low;
    std::optional<Decimal> high;
};

// What a search looks in, in the order of the criterion list.
enum class SupplierSearch {
    Description,
    GroupName,
    GroupNumber,
    Price1,
    Price2,
    Price3,
    Currency,
    Status,
    Supplier,
    CatalogueNumber
};
inline constexpr int kSupplierSearchKinds = 10;

// The search among the suppliers given; none when no supplier is given
// (nothing to search, no statement). Texts are found by containment in any
// letter case; a group number and a price are compared exactly. Throws
// EConvertError when a number is asked for and the text is no number.
std::optional<SqlStatement> supplierSearch(const QSqlDatabase& db, SupplierSearch kind, const QString& text,
                                           const QList<qint64>& suppliers);

// The number of rows and the price bounds of a statement of this file.
struct SelectionFigures {
    qint64 count = 0;
    PriceBounds bounds;
};
SelectionFigures selectionFigures(const QSqlDatabase& db, const SqlStatement& statement);

// Columns a multi-column sort may name, for the sort boxes in their order:
// Opisanie, Cena_1, Cena_2, Cena_3, Valuta, Status, ID_F, ID_G.
QString supplierSortColumn(int box);

} // namespace torvika
