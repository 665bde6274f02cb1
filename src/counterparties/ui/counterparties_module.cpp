#include "counterparties/ui/counterparties_module.h"

#include "counterparties/ui/counterparty_picker.h"
#include "documents/ui/form_spr_izd_dok.h"

namespace torvika {

void CounterpartiesModule::install(Host& host) {
    // "Номенклатури" / "Контрагенти..." and SpdBtn_Kontragenti: the list for browsing.
    host.registerCommand(Command::N_Klienti,
                         [&host] { pickCounterparty(host.context(), kBrowseCounterparties, host.window()); });
    // "Избор клиенти": the list in the mode of the sale counterparty.
    host.registerCommand(Command::N_Select_Kontrag, [&host] {
        pickCounterparty(host.context(), kSelectSaleCounterparty, host.window());
    });
    // The issued-documents report's filter "Контрагент": the list over the
    // report, its choice into the report's label.
    host.followUps().of<IssuedDocumentsChoosers>().add(
        kChooseIssuedCounterparty,
        [&host](QWidget* opener, int) { pickCounterparty(host.context(), kSelectIssuedDocuments, opener); });
    host.followUps().of<CounterpartyPicker>().add(
        kSelectIssuedDocuments, [](QWidget* opener, const QString& ref) {
            openerWindow<TForm_Spr_Izd_Dok>(opener).setCounterparty(ref);
        });
}

} // namespace torvika
