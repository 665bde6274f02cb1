#pragma once
// Importing articles and counterparties' article numbers from
// numbered-field files (common/numbered_fields.h).
//
// Articles file: 1 article number (required), 2 catalogue number,
// 3 description, 4 price, 5 currency, 6 unit, 7 group name, 10 supplier,
// 11 minimum quantity, 12 warranty article, 13 series, 14 tax group,
// 15 preparation department, 16 shelf life, 17 largest discount, 18 scale
// code, 19 label name, 20 receipt name: the fields the article export
// writes. Counterparty numbers file: 1 article, 2 the counterparty's number
// of it, 3 the counterparty.
//
// Each import is one transaction: every line is checked, a line that does
// not hold a valid record is refused with its reason and the others are
// stored, all at once at the end; a cancelled or failed import stores
// nothing. The report says line by line what happened.

#include "common/decimal.h"
#include "common/import_report.h"
#include "common/numbered_fields.h"
#include "common/sql_statement.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <variant>

namespace torvika {

// ---- Articles ----

// One line of an articles file, checked: the fields it holds, each
// converted; a field that is absent stays empty. A numeric or mark field
// written empty ("10:[]") is absent; a text field written empty is an
// empty text.
struct ArticleRecord {
    qint64 id = 0;
    std::optional<QString> catalogueNumber; // 2
    std::optional<QString> description;     // 3
    std::optional<Decimal> price;           // 4
    std::optional<QString> currency;        // 5, as the currency list spells it
    std::optional<QString> unit;            // 6
    std::optional<QString> group;           // 7, a name; never empty
    std::optional<qint64> supplier;         // 10
    std::optional<qint64> minQuantity;      // 11
    std::optional<bool> warranty;           // 12
    std::optional<bool> series;             // 13
    std::optional<qint64> vatGroup;         // 14
    std::optional<qint64> preparation;      // 15
    std::optional<QString> shelfLife;       // 16
    std::optional<Decimal> maxDiscount;     // 17
    std::optional<qint64> scaleCode;        // 18
    std::optional<QString> labelName;       // 19
    std::optional<QString> receiptName;     // 20
};

// The currencies a line may name: the currency list's names by their
// case-folded form.
using CurrencyNames = QHash<QString, QString>;
CurrencyNames currenciesByFoldedName(const QSqlDatabase& db);

// The record of a line, or the reason it is refused.
std::variant<ArticleRecord, QString> readArticleRecord(const NumberedFields& fields,
                                                       const CurrencyNames& currencies);

// A row of the import report window: an article added, or replaced with
// a price that changed.
struct ImportedArticle {
    qint64 id = 0;
    QString description;
    Decimal price;
    QString currency;
    bool priceCorrected = false; // "Корекция"
    bool added = false;          // "Нов артикул"
};

struct ArticleImport {
    ImportReport report;
    QList<ImportedArticle> statistics;
};

// Imports the articles file. Without replace an article whose number is
// stored already is left as it is; with replace the fields the line holds
// are written over it (never its delivery price). A group is found by its
// exact name in any letter case, or created (with its node in the group
// tree file, written after the commit); the new articles of lines without
// a group go into one new group "Група <n>" per import. A new article
// without field 2 gets the catalogue number "<group>_<number>".
// Throws EInOutError or EConvertError when the file cannot be opened or is
// no text; everything after that is in the report.
ArticleImport importArticles(const QSqlDatabase& db, const QString& treeFile, const QString& fileName,
                             bool replace, Progress& progress);

// The import report window's table: a temporary table of the connection
// (WorkingTable) with these columns, filled from the statistics.
inline const QString kImportStatisticColumns =
    QStringLiteral("Nomer INTEGER, ID INTEGER, Opisanie VARCHAR(150), Ed_Cena DOUBLE PRECISION, "
                   "Valuta VARCHAR(20), Korektion VARCHAR(2), New VARCHAR(2)");
void fillImportStatistics(const QSqlDatabase& db, const QString& table, const QList<ImportedArticle>& rows);
SqlStatement importStatisticsStatement(const QString& table);

// ---- Counterparties' article numbers ----

// Imports the counterparty numbers file: a line needs fields 1 to 3, an
// article and a counterparty that exist, and a number no other article has
// for that counterparty; a number the article has already is skipped.
ImportReport importCounterpartyNumbers(const QSqlDatabase& db, const QString& fileName, Progress& progress);

} // namespace torvika
