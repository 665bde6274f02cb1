#pragma once
// The shop page "МАГАЗИН": the sale counterparty with its quick search, the
// bill box, the code field, the VAT switch and the buttons of the sale.

#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class ShopPage;
}

namespace torvika {

class CounterpartyQuickSearch;

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

    // The text of the bill box (ComboBox_Smetka), the bill the receipts name.
    QString billText() const;
    // The N_Prodajba of the sale-list lines the operator has selected, in
    // the order of selecting; none while the page shows no sale list.
    QList<qint64> selectedSaleLines() const;

private:
    void showSaleCounterparty();

    std::unique_ptr<Ui::ShopPage> ui;
    Host& host_;
};

} // namespace torvika
