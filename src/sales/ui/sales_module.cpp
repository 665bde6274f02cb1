#include "sales/ui/sales_module.h"

#include "counterparties/ui/form_klienti.h"
#include "sales/ui/fiscal_commands.h"
#include "sales/ui/form_spec_otstapki.h"
#include "sales/ui/form_type_prigotvq_se.h"
#include "sales/ui/shop_page.h"

namespace torvika {

void SalesModule::install(Host& host) {
    host_ = &host;
    page_ = new ShopPage(host);
    host.addPage(page_, {0, QStringLiteral("МАГАЗИН"), QStringLiteral("ТОРВИКА - МАГАЗИН"), true, {}});
    // "Действия" / "Печат на документи" (Ctrl+P): the page's document lists.
    host.registerCommand(QStringLiteral("N_Dokumenti"), [this] { page_->showDocumentChoosers(); });

    // "Действия": the receipt commands of the fiscal device.
    host.registerCommand(QStringLiteral("N68"),
                         [this] { printReportFile(host_->session(), kBonCopyLast, page_->billText()); });
    host.registerCommand(QStringLiteral("N70"), [this] {
        issueServiceReceipt(host_->session(), page_->selectedSaleLines(), page_->billText());
    });
    host.registerCommand(QStringLiteral("N_ot4et_bez_Nula"),
                         [this] { printReportFile(host_->session(), kBonDailyReport, page_->billText()); });
    host.registerCommand(QStringLiteral("N_ot4et_s_Nula"),
                         [this] { printReportFile(host_->session(), kBonDailyZeroing, page_->billText()); });
    // "Настройки" / "Системни" / "Отдели за изготвяне на продукция ...".
    host.registerCommand(QStringLiteral("N63"), [this] {
        TForm_Type_Prigotvq_Se departments(host_->session(), host_->window());
        departments.exec();
    });

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

void SalesModule::exiting() {
    finishWaitingTickets(host_->session());
}

} // namespace torvika
