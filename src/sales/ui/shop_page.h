#pragma once
// The shop page "МАГАЗИН": the sale counterparty with its quick search, the
// bill box, the code field, the VAT switch and the buttons of the sale.

#include "documents/report_engine.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class ShopPage;
}

namespace torvika {

class CounterpartyQuickSearch;
class DocumentChoosers;
class SelectionOrder;
class StatementModel;

class ShopPage : public HostPage {
    Q_OBJECT
public:
    ShopPage(Host& host, QWidget* parent = nullptr);
    ~ShopPage() override;

    void formShown(bool current) override;

    // Writes on the six buttons that name a command their caption followed
    // by the command's shortcut text; "Добави в списък" gets blanks blanks
    // before it (the login puts eight, the shortcut window three).
    void writeButtonCaptions(int insertInListBlanks);

    // Makes the reference text the sale counterparty of the operator: the
    // field and the per-operator choice, the discounts question and the
    // operator's pending lines. fromQuickSearch also gives the lines the
    // counterparty's own article numbers.
    void chooseSaleCounterparty(const QString& refText, bool fromQuickSearch);

    CounterpartyQuickSearch* counterpartySearch() const;

    // The documents of the page. The sale lines selected for them come
    // from selectedSaleLines() (N_Prodajba, in the order they were
    // selected), their amounts from selectedAmounts(): the lines' total
    // split at the company's VAT rate.
    DocumentChoosers* documentChoosers() const;
    QList<qint64> selectedSaleLines() const;
    DocumentAmounts selectedAmounts(const QList<qint64>& lines) const;
    // "Печат на документи" (Ctrl+P): the document and printer lists.
    void showDocumentChoosers();
    // "Печат документи": the ticked documents for the selected lines.
    void Button_Pe4at_DokumentiClick();
    // The operator's pending lines into the grid.
    void refresh() override;
    // The text of the bill box (ComboBox_Smetka), the bill the receipts name.
    QString billText() const;

private:
    void showSaleCounterparty();

    std::unique_ptr<Ui::ShopPage> ui;
    Host& host_;
    StatementModel* lines_;
    SelectionOrder* selection_;
};

} // namespace torvika
