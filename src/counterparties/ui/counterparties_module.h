#pragma once
// The counterparties' part of the main window: the counterparty list
// (Ctrl+K and its tool button) and the choice of the sale counterparty from
// the list.

#include "shell/ui/host.h"

namespace torvika {

class CounterpartiesModule : public Module {
public:
    void install(Host& host) override;
};

} // namespace torvika
