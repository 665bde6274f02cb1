#include "sales/ui/sales_module.h"

#include "counterparties/ui/form_klienti.h"
#include "sales/ui/form_spec_otstapki.h"
#include "sales/ui/shop_page.h"

namespace torvika {

void SalesModule::install(Host& host) {
    page_ = new ShopPage(host);
    host.addPage(page_, {0, QStringLiteral("МАГАЗИН"), QStringLiteral("ТОРВИКА - МАГАЗИН"), true, {}});
    // "Действия" / "Печат на документи" (Ctrl+P): the page's document lists.
    host.registerCommand(QStringLiteral("N_Dokumenti"), [this] { page_->showDocumentChoosers(); });

    // "Номенклатури" / "Отстъпки/Надбавки...", and the counterparty card's
    // "Специални отстъпки" with the card's counterparty loaded.
    host.registerCommand(QStringLiteral("N_TO"),
                         [&host] { TForm_Spec_Otstapki::run(host.session(), host.window()); });
    counterpartyCardFollowUps().add(
        kCardSpecialDiscounts,
        [&host](const CardCounterparty& c) { TForm_Spec_Otstapki::run(host.session(), c.parent, c.refText); },
        page_);
}

void SalesModule::loggedIn() {
    // The login writes the shortcut texts after eight blanks on "Добави в списък".
    page_->writeButtonCaptions(8);
    page_->refresh();
}

} // namespace torvika
