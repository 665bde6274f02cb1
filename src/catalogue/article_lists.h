#pragma once
// The statements of the catalogue window: the articles of a group, of all
// groups and of the bin, the search by criterion, the group search, the
// stock of marked articles; and the scale file, the delivery of a group and
// the common data of marked articles.

#include "common/decimal.h"
#include "common/sql.h"
#include "common/sql_statement.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace torvika {

// The grid's columns in grid order.
struct ArticleColumn {
    QStringView field;   // the statement's column
    QStringView caption; // title and search criterion
    QStringView sortBy;  // the column a title click sorts by
};
inline constexpr std::array<ArticleColumn, 8> articleColumns{{
    {u"ID", u"Арт. №", u"Produkti.ID"},
    {u"Nomenkl_N", u"Каталожен №", u"Produkti.Nomenkl_N"},
    {u"Opisanie", u"Описание", u"Produkti.Opisanie"},
    {u"Ed_Cena", u"Цена", u"Produkti.Ed_Cena"},
    {u"Valuta_P", u"Валута", u"Produkti.Valuta_P"},
    {u"Mqrka", u"Мярка", u"Produkti.Mqrka"},
    {u"ID_Grupa", u"Група N", u"Grupi.ID"},
    {u"Grupa_Opis", u"Група", u"Grupi.Opisanie"},
}};

// The articles of one group, of every group ("Всички артикули": articles
// whose group exists), or of the bin (articles whose group does not).
SqlStatement groupArticlesStatement(qint64 group);
SqlStatement allArticlesStatement();
SqlStatement binArticlesStatement();

// The search criteria in list order: "Сериен номер", "Баркод", the grid's
// columns, "Номер на контрагент".
enum class ArticleCriterion {
    Serial,
    Barcode,
    Number,
    CatalogueNumber,
    Description,
    Price,
    Currency,
    Unit,
    GroupNumber,
    GroupName,
    CounterpartyNumber
};
QStringList articleCriterionCaptions();
// The criterion of a grid column, and back (-1 for the criteria that are no column).
ArticleCriterion criterionOfColumn(int column);
int columnOfCriterion(ArticleCriterion criterion);
// Whether the criterion compares numbers ("равно", "по - голямо", "по - малко", "между").
bool isNumericCriterion(ArticleCriterion criterion);

enum class ArticleComparison { Equal, AtLeast, AtMost, Between };
inline constexpr std::array<QStringView, 4> articleComparisonCaptions{u"равно", u"по - голямо", u"по - малко",
                                                                      u"между"};

// The search. Serial numbers and barcodes are found as typed; numbers with
// the comparison; texts in any letter case, containing the typed text
// (partOfWord) or equal to it (the catalogue number then as typed); the
// counterparty numbers always containing it. A description search of three
// letters or more goes through the name index. Throws EConvertError when a
// number is not a number.
SqlStatement articleSearchStatement(ArticleCriterion criterion, ArticleComparison comparison,
                                    const QString& from, const QString& to, bool partOfWord,
                                    SqlEngine engine = SqlEngine::SQLite);
// The statement column the counterparty-number search adds, with its title.
inline const QString kCounterpartyNameField = QStringLiteral("Ime_Firma");

// The group search of the tree: by number (its name; none when there is no
// such group), or the groups whose name contains the text, by name.
std::optional<QString> groupNameByNumber(const QSqlDatabase& db, const QString& number);
struct GroupRow {
    qint64 id = 0;
    QString name;
};
QList<GroupRow> groupsByName(const QSqlDatabase& db, const QString& text);

// The scale file: one line per article whose scale code is above 0, in the
// order given: scale code, description, receipt name, label name, number,
// shelf-life unit (-1 without one), shelf-life count, catalogue number,
// price, each followed by ";", then "0;".
QStringList scaleFileLines(const QSqlDatabase& db, const QList<qint64>& ids);
// Writes the lines in Windows-1251 with CR LF, as the scales' programs read
// them. Throws EInOutError.
void writeScaleFile(const QString& fileName, const QStringList& lines);

// The common data of marked articles: the fields ticked in the dialog.
struct ArticleCommonData {
    std::optional<int> vatGroup;
    std::optional<int> preparation;
    std::optional<QString> shelfLife;
    std::optional<QString> currency;
    std::optional<QString> unit;
    std::optional<int> minQuantity;
    std::optional<Decimal> maxDiscount;
    std::optional<bool> warranty;
    std::optional<QString> warrantyPeriod; // with warranty: written into the shelf life
    std::optional<bool> series;
    bool vatIncluded = false;
    bool isEmpty() const;
};
// The update of the ticked fields, without its condition; each column is
// assigned once: a warranty period given with the warranty mark takes the
// place of the shelf life. Empty when nothing is ticked.
SqlStatement commonDataStatement(const ArticleCommonData& data);
// Writes the data into every article, in one transaction; nothing when no
// field is ticked. Returns the articles changed.
int setCommonData(const QSqlDatabase& db, const QList<qint64>& ids, const ArticleCommonData& data);

} // namespace torvika
