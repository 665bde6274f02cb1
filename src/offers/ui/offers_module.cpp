#include "offers/ui/offers_module.h"

#include "offers/ui/form_oferti.h"
#include "offers/ui/form_spr_new_oferts.h"

namespace torvika {

void OffersModule::install(Host& host) {
    host.registerCommand(Command::N_Oferti,
                         [&host] { TForm_Oferti::showWindow(host.context(), host.window()); });
    host.registerCommand(Command::N_Izgotveni_Oferti, [&host] {
        TForm_Spr_New_Oferts report(host.context(), host.window());
        report.exec();
    });
    host.registerCommand(Command::N_Izpalneni_Oferti, [&host] { host.runCommand(Command::N_Zaqvki_All); });
    TForm_Oferti::addFollowUps(host.followUps());
    TForm_Spr_New_Oferts::addFollowUps(host.followUps());
}

void OffersModule::databaseChanged() {
    // The window showed the lists of the database before.
    if (TForm_Oferti* w = TForm_Oferti::openWindow())
        w->close();
}

} // namespace torvika
