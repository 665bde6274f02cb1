#include "sales/ui/sales_module.h"

#include "sales/ui/shop_page.h"

namespace torvika {

void SalesModule::install(Host& host) {
    page_ = new ShopPage(host);
    host.addPage(page_, {0, QStringLiteral("МАГАЗИН"), QStringLiteral("ТОРВИКА - МАГАЗИН"), true, {}});
    // "Действия" / "Печат на документи" (Ctrl+P): the page's document lists.
    host.registerCommand(QStringLiteral("N_Dokumenti"), [this] { page_->showDocumentChoosers(); });
}

void SalesModule::loggedIn() {
    // The login writes the shortcut texts after eight blanks on "Добави в списък".
    page_->writeButtonCaptions(8);
    page_->refresh();
}

} // namespace torvika
