#pragma once
// The offers' module: "Оферти..." (and its tool button) opens the offers
// window, or brings it back; "Справки" / "Оферти към клиенти" the saved
// offers' report; "Справки" / "Заявки към доставчици" the order lines to
// suppliers, where the offers put them. The windows' pickers deliver here.

#include "shell/ui/host.h"

namespace torvika {

class OffersModule : public Module {
public:
    void install(Host& host) override;
    void databaseChanged() override;
};

} // namespace torvika
