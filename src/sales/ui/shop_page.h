#pragma once
// The shop page "МАГАЗИН": the operator looks an article up by one of six
// criteria, states quantity, price and serial numbers, and appends it as a
// line of his sale; the grid shows his lines of the bill chosen, the panel
// under it their totals with VAT, and the buttons sell, cancel, discount and
// print them. Every operator sees and changes only his own lines.

#include "documents/print_run.h"
#include "sales/article_lookup.h"
#include "sales/receipt_files.h"
#include "sales/sale_lines.h"
#include "shell/ui/host.h"

#include <QElapsedTimer>
#include <memory>
#include <optional>

class QListWidget;
class QTableView;

namespace Ui {
class ShopPage;
}

namespace torvika {

class CounterpartyQuickSearch;
class DocumentChoosers;
class SaleLinesModel;
class SelectionOrder;

// The sale of this workstation that other windows read: the bill shown.
struct ShopState {
    int bill = 0;
};

class ShopPage : public HostPage {
    Q_OBJECT
public:
    ShopPage(Host& host, QWidget* parent = nullptr);
    ~ShopPage() override;

    void formShown(bool current) override;
    void activated() override;
    void refresh() override;

    // Writes on the six buttons that name a command their caption followed
    // by the command's shortcut text; "Добави в списък" gets blanks blanks
    // before it (the login puts eight, the shortcut window three).
    void writeButtonCaptions(int insertInListBlanks);

    // Registers what the pickers deliver to the page: the sale counterparty
    // and the article of the code field (its module does, while it is
    // installed).
    void addFollowUps(FollowUpRegistry& followUps);

    // Makes the reference text the sale counterparty of the operator: the
    // field and the per-operator choice, the discounts question and the
    // operator's pending lines, then the totals. fromQuickSearch also gives
    // the lines the counterparty's own article numbers.
    void chooseSaleCounterparty(const QString& refText, bool fromQuickSearch);

    CounterpartyQuickSearch* counterpartySearch() const;
    QTableView* grid() const;
    SaleLinesModel* model() const { return model_; }
    int currentBill() const;
    SearchCriterion criterion() const { return criterion_; }
    std::optional<qint64> editingLine() const { return editing_; }
    const std::optional<SaleArticle>& currentArticle() const { return article_; }

    // A sale through a recipe: the quantity field takes the quantity sold,
    // and the elements join the sale as lines at price 0.
    void takeRecipeElements(const Decimal& quantity, const QList<ElementLine>& elements);

    // The page's operations, as its controls and the menu run them.
    void Calculate_SUM();
    void Get_All_Smetki();
    void showCriteria();
    void chooseCriterion(int item);
    void lookUp(); // leaving the code field
    void choosePickItem(int row, bool choose);
    void insertLine(); // "Добави в списък"
    void openLineForEditing(int row);
    void selectOwnLines();
    void cancelSelectedLines();
    // "Продажба": the selected lines sold, paid as the payment dialog says,
    // with their receipt; then the login for the next customer.
    void sell();
    void showAllLines();
    void openBill();
    // Shows the bill's lines; open lists it even while it has none.
    void showBill(int bill, bool open = false);
    void freeDiscount();
    void pickFromCatalogue();
    void vatSwitchClicked();
    // The lines selected in the grid (N_Prodajba), in the order the
    // operator selected them: the order documents and receipts list them in.
    QList<qint64> selectedSaleLines() const;
    // The bill the grid shows, as the bill box (ComboBox_Smetka) names it:
    // the bill the receipts and tickets name.
    QString billText() const;

    // The documents of the page: the amounts of sale lines split at the
    // rates of their tax groups, the document and printer lists, and "Печат
    // документи" printing the ticked documents for the selected lines.
    DocumentChoosers* documentChoosers() const;
    LineAmounts documentAmounts() const;
    void showDocumentChoosers();
    // "Паричен калкулатор": shows the panel "КАСА" with today's cash, or hides it.
    void toggleCashDesk();
    void Button_Pe4at_DokumentiClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The article found becomes current; bySerial when the reference typed
    // is its serial number (found under the criterion "s.").
    void chooseArticle(qint64 id, bool bySerial);
    // The follow-ups of the article chosen; typedSerial is the serial
    // number typed as its reference, if it was.
    void followUpArticle(const QString& typedSerial);
    bool checkQuantity();
    void quantityChanged(const QString& text);
    void priceChanged(const QString& text);
    bool serialExit();
    void showSerialList();
    void chooseSerial(int row);
    void hideSerialFields();
    void clearSerialFields();
    void showPickList(const QList<PickItem>& items);
    void hidePickList();
    void showCounterpartyField(bool hasLines);
    void resetEntry();
    void clearEditState();
    void setEntryButtonsEnabled(bool enabled);
    void printReceipt(const QList<SaleLine>& sold, const Decimal& amountDue, const FiscalSettings& settings,
                      const QString& unp);
    void placePopup(QListWidget* list, QWidget* under);
    SaleContext context() const;
    QString formatted(const Decimal& value) const;
    // A unit price in the price field, with the decimals the line stores.
    QString priceText(const Decimal& price) const;
    int decimals() const;
    void showVatSwitch();

    std::unique_ptr<Ui::ShopPage> ui;
    Host& host_;
    SaleLinesModel* model_;
    SelectionOrder* selection_;
    QListWidget* prefixes_;
    QListWidget* serials_;
    SearchCriterion criterion_ = SearchCriterion::Article;
    std::optional<SaleArticle> article_;
    QList<KnownSerial> serialChoices_;
    QString serialDate_;
    std::optional<qint64> editing_;
    qint64 editingArticle_ = 0;
    Decimal editingPrice_;
    bool showingAll_ = false;
    // Whose sale the totals last showed, and whether it had lines.
    QString linesOf_;
    int linesBill_ = 0;
    bool hadLines_ = false;
    int captionBlanks_ = -1; // the blanks after "Добави в списък" once the captions are written
    bool billVanished_ = false; // the bill shown lost its last line at the last rebuild
    int openedBill_ = -1;       // a bill opened and still without lines
    bool needsLookup_ = false;
    // The amount decimals (Values/"9") as the last totals read them.
    int decimals_ = 2;
    // Keyboard-wedge scanners type a code in a few milliseconds.
    QElapsedTimer lastKey_;
    int fastKeys_ = 0;
    int typedKeys_ = 0;
};

// A recipe article chosen for a sale opens the production window; the
// production module registers what it does with the article number:
// host.followUps().of<SaleRecipe>().add(kSaleRecipe, ...).
enum SaleRecipeMode : int { kSaleRecipe = 0 };
struct SaleRecipe {
    using Choice = qint64;
    static constexpr const char* kName = "recipe of a sold article";
    static QList<int> modes() { return {kSaleRecipe}; }
};

} // namespace torvika
