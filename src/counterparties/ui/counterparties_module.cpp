#include "counterparties/ui/counterparties_module.h"

#include "counterparties/ui/counterparty_picker.h"

namespace torvika {

void CounterpartiesModule::install(Host& host) {
    // "Номенклатури" / "Контрагенти..." and SpdBtn_Kontragenti: the list for browsing.
    host.registerCommand(Command::N_Klienti,
                         [&host] { pickCounterparty(host.context(), kBrowseCounterparties, host.window()); });
    // "Избор клиенти": the list in the mode of the sale counterparty.
    host.registerCommand(Command::N_Select_Kontrag, [&host] {
        pickCounterparty(host.context(), kSelectSaleCounterparty, host.window());
    });
}

} // namespace torvika
