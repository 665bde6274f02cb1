#pragma once
// Finding the article of a sale line by one of the shop page's six search
// criteria, and what the page needs to know of the article it found.

#include "common/decimal.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace torvika {

enum class SearchCriterion { Article, Barcode, Name, Card, CatalogueNumber, Serial };

// The items of the criterion list, in their (sorted) order.
QStringList criterionItems();
// The criterion of a label or list item ("a.", "b.  - баркод", ...): its
// first letter; the article number for anything else.
SearchCriterion criterionOf(QStringView text);
// "a.", "b.", "i.", "k.", "n." or "s.".
QString criterionLabel(SearchCriterion criterion);
// The item of the list for the criterion.
QString criterionItem(SearchCriterion criterion);

// The article numbers the reference finds, in the order found (an article
// found twice is listed twice). Codes are matched whole; a name contains
// the reference in any letter case.
QList<qint64> findArticles(const QSqlDatabase& db, SearchCriterion criterion, const QString& reference);

// An item of the pick list: the name shown and the number it stands for,
// so that of two articles of one name the chosen one is sold.
struct PickItem {
    qint64 id = 0;
    QString name;
};
// The articles' items sorted by name (then number), each article once.
QList<PickItem> pickItems(const QSqlDatabase& db, const QList<qint64>& ids);

struct SaleArticle {
    qint64 id = 0;
    QString name;
    QString unit;
    Decimal price;
    QString currency;
    bool vatIncluded = false; // Produkti.DDS
    bool warranty = false;    // Garancionen
    bool series = false;      // Poredica
    QString shelfLife;        // Trajnost, "<unit>:<count>"
    qint64 group = 0;
    QString groupName;
};
std::optional<SaleArticle> loadSaleArticle(const QSqlDatabase& db, qint64 id);
// "[<group name>] <ID>:<name>", the line under the grid.
QString articleCaption(const SaleArticle& article);

// The warranty period text of a shelf life "<unit>:<count>": "<count>, часа",
// ", дни", ", месеца" or ", години"; empty for any other unit.
QString warrantyPeriodText(const QString& shelfLife);

struct KnownSerial {
    QString serial;
    QString date; // the serial's warranty date
};
// The serial numbers known for the article, in the order stored.
QList<KnownSerial> knownSerials(const QSqlDatabase& db, qint64 article);
// The serial's own row (criterion "s": the typed reference is the serial).
std::optional<KnownSerial> serialOf(const QSqlDatabase& db, qint64 article, const QString& serial);
// Whether the serial of the article is already sold or on another pending
// line (other than the one being edited).
bool serialTaken(const QSqlDatabase& db, qint64 article, const QString& serial, qint64 exceptLine = 0);

// Whether the article is made from a recipe.
bool hasRecipe(const QSqlDatabase& db, qint64 article);

} // namespace torvika
