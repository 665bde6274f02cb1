#pragma once
// The sales' part of the main window: the shop page.

#include "shell/ui/host.h"

namespace torvika {

class ShopPage;

class SalesModule : public Module {
public:
    void install(Host& host) override;
    void loggedIn() override;

    ShopPage* shopPage() const { return page_; }

private:
    ShopPage* page_ = nullptr;
};

} // namespace torvika
