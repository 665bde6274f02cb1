#pragma once
// The catalogue's part of the main window: articles and their groups, the
// article picker, warehouses and stock, currencies and price groups, and
// the orders to suppliers.

#include "shell/ui/host.h"

namespace torvika {

class CatalogueModule : public Module {
public:
    void install(Host& host) override;
};

} // namespace torvika
