#pragma once
// The sales' part of the main window: the shop page, the receipt commands
// of the fiscal device and the production departments.

#include "shell/ui/host.h"

namespace torvika {

class ShopPage;

class SalesModule : public Module {
public:
    void install(Host& host) override;
    void loggedIn() override;
    void databaseChanged() override;
    void exiting() override;

    ShopPage* shopPage() const { return page_; }

private:
    Host* host_ = nullptr;
    ShopPage* page_ = nullptr;
    bool resumed_ = false; // the fiscal work left by an earlier run is taken up
};

} // namespace torvika
