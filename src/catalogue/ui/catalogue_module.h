#pragma once
// The catalogue's part of the main window: articles and their groups, the
// article picker, warehouses and stock, currencies and price groups, and
// the orders to suppliers.

#include "shell/ui/host.h"

#include <memory>

namespace torvika {

class DataExchangeCommands;

class CatalogueModule : public Module {
public:
    void install(Host& host) override;
    // At the first login on a company database: every group gets its node
    // in the tree and the bin shows when articles wait in it, whatever a
    // change that failed half-way left.
    void loggedIn() override;
    void databaseChanged() override;
    CatalogueModule();
    ~CatalogueModule() override;

private:
    Host* host_ = nullptr;
    bool treeChecked_ = false;
    std::unique_ptr<DataExchangeCommands> dataExchange_;
};

} // namespace torvika
