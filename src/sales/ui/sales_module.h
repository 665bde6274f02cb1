#pragma once
// The sales' part of the main window: the shop page, the receipt commands
// of the fiscal device and the production departments.

#include "shell/ui/host.h"

#include <QPointer>

namespace torvika {

class ShopPage;
class TForm_Spravka_prodajba;
class TForm_Vnoski_Kredit;
class TForm_Spr_Invalidate_Sales;

class SalesModule : public Module {
public:
    ~SalesModule() override;
    void install(Host& host) override;
    void loggedIn() override;
    void databaseChanged() override;
    void exiting() override;

    ShopPage* shopPage() const { return page_; }
    // The sales report, made at its first use.
    TForm_Spravka_prodajba* salesReport();
    // "Вноски кредити" with the credits of the counterparty ("<ID>:<name>").
    void showInstalments(const QString& counterparty);

private:
    Host* host_ = nullptr;
    ShopPage* page_ = nullptr;
    QPointer<TForm_Spravka_prodajba> report_;
    QPointer<TForm_Vnoski_Kredit> instalments_;
    QPointer<TForm_Spr_Invalidate_Sales> invalidated_;
    bool resumed_ = false; // the fiscal work left by an earlier run is taken up
};

} // namespace torvika
