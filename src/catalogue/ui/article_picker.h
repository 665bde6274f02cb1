#pragma once
// The article picker: a window opens the catalogue in its selection mode,
// the operator marks articles and presses "ИЗБЕРИ", and the follow-up that
// the module owning the receiving window registered with the host for the
// mode gets the choice (common/ui/follow_ups.h); in a mode nobody receives,
// "ИЗБЕРИ" is disabled. The modes that make lines ask the quantity of each article first
// (Form_Get_Kol); only the articles given one are handed on.

#include "common/decimal.h"
#include "common/ui/follow_ups.h"
#include "shell/ui/host.h"

#include <QList>
#include <QString>
#include <optional>

class QWidget;

namespace torvika {

// The selection modes, by the window that receives the choice.
enum ArticleSelectionMode : int {
    kBrowseArticles = -1,                // the catalogue only, no "ИЗБЕРИ"
    kSelectDiscountGroup = 0,            // special discounts by group: the group node
    kSelectDiscountArticle = 1,          // special discounts by article: reference and price
    kSelectSaleArticle = 2,              // sale list: number or catalogue number into the code field
    kSelectWarrantyCardArticle = 3,      // warranty card: reference and description
    kSelectSalesReportArticles = 4,      // sales report: the marked article numbers
    kSelectOfferArticles = 5,            // offer: the marked articles
    kSelectIssuedDocumentsArticle = 6,   // issued-documents report: reference
    kSelectOrderArticle = 7,             // order to a supplier: reference
    kSelectServiceIntakeArticle = 8,     // service intake: reference, price, currency
    kSelectRepairArticle = 9,            // repair: reference, price, currency, warranty mark
    kSelectWarrantyProductsArticle = 10, // warranty products: reference
    kSelectRevisionArticles = 11,        // revision: a line per article with its quantity
    kSelectProductionArticle = 12,       // production: the main article
    kSelectProductionElements = 13,      // production: an element per article with its quantity
    kSelectTransferArticles = 14,        // transfer: a line per article with its quantity
    kSelectDeliveryArticles = 15,        // delivery: a line per article with its quantity
    kSelectDeliveryReportArticles = 16,  // delivery report: the marked article numbers
    kSelectIssuedItemsArticle = 17,      // report of items issued from repair: reference
    kLastArticleMode = kSelectIssuedItemsArticle,
};

// Whether "ИЗБЕРИ" in the mode asks the quantity of each article.
bool articleModeAsksQuantity(int mode);

// One chosen article.
struct PickedArticle {
    qint64 id = 0;
    QString catalogueNumber;
    QString description;
    Decimal price;
    QString currency;
    QString unit;
    bool warranty = false;
    // Given in the modes that ask it.
    std::optional<Decimal> quantity;
    // "<number>:<description>"
    QString refText() const;
};

struct ArticleChoice {
    int mode = kBrowseArticles;
    // The text of the tree node selected (mode 0 takes it).
    QString groupNode;
    // The current row's article; none when the list had no current row.
    std::optional<PickedArticle> current;
    // The marked rows in marking order (the current row when none is
    // marked); in the modes that ask a quantity, those given one.
    QList<PickedArticle> articles;
};

// The follow-ups of the catalogue: host.followUps().of<ArticlePicker>().
struct ArticlePicker {
    using Choice = ArticleChoice;
    static constexpr const char* kName = "article catalogue";
    static QList<int> modes();
};

// Opens the catalogue modally in the mode, over the parent. On "ИЗБЕРИ"
// runs the mode's follow-up, with the parent as the window that opened the
// catalogue, and returns the choice; empty when the window was closed
// otherwise.
std::optional<ArticleChoice> pickArticles(const WindowContext& context, int mode, QWidget* parent);

} // namespace torvika
