#pragma once
// The stock operations' part of the main window: deliveries, transfers and
// scrap, production and recipes.

#include "shell/ui/host.h"

namespace torvika {

class StockModule : public Module {
public:
    void install(Host& host) override;
};

} // namespace torvika
