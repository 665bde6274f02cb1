#include "sales/ui/sales_module.h"

#include "common/ui/error_edge.h"
#include "counterparties/ui/form_klienti.h"
#include "sales/bills.h"
#include "sales/texts.h"
#include "sales/ui/fiscal_commands.h"
#include "sales/ui/form_otstapki.h"
#include "sales/ui/form_smetki.h"
#include "sales/ui/form_type_prigotvq_se.h"
#include "sales/ui/shop_page.h"

namespace torvika {

namespace {

QList<int> openBillNumbers(Session& session) {
    QList<int> bills;
    logged([&] {
        for (const QString& b : openBills(session.db(), session.operatorName()))
            if (const auto n = parseBillNumber(b); n && *n > 0)
                bills << *n;
    });
    return bills;
}

} // namespace

void SalesModule::install(Host& host) {
    host_ = &host;
    page_ = new ShopPage(host);
    host.addPage(page_, {0, texts::kShopTab, texts::kShopTitle, true, {}});
    page_->addFollowUps(host.followUps());
    TForm_Spec_Otstapki::addFollowUps(host.followUps());
    ShopPage* page = page_;
    host.registerCommand(Command::Enter1, [page] { page->insertLine(); });
    host.registerCommand(Command::N_Prodajba, [page] { page->sell(); });
    host.registerCommand(Command::N_Cancel_Prodajba, [page] { page->cancelSelectedLines(); });
    host.registerCommand(Command::N_Select_All, [page] { page->selectOwnLines(); });
    host.registerCommand(Command::N_Ob6ta_TO, [page] { page->freeDiscount(); });
    host.registerCommand(Command::N_Refresh, [page] { page->Calculate_SUM(); });
    host.registerCommand(Command::N_Show_Gre6ni_Danni, [page] { page->showAllLines(); });
    host.registerCommand(Command::N_Select_artikuli, [page] { page->pickFromCatalogue(); });
    host.registerCommand(Command::N39, [page] { page->openBill(); });
    host.registerCommand(Command::N_Masa_And_Places, [&host] {
        TForm_Smetki form(host.context(), TForm_Smetki::Design, openBillNumbers(host.session()),
                          host.window());
        form.exec();
    });
    host.registerCommand(Command::SpdBtn_Smetka, [&host, page] {
        TForm_Smetki form(host.context(), TForm_Smetki::ActiveBills, openBillNumbers(host.session()),
                          host.window());
        if (form.exec() == QDialog::Accepted && form.chosenTable() > 0)
            page->showBill(form.chosenTable(), true);
    });
    // "Действия" / "Печат на документи" (Ctrl+P): the page's document lists.
    host.registerCommand(Command::N_Dokumenti, [this] { page_->showDocumentChoosers(); });

    // "Действия": the receipt commands of the fiscal device.
    host.registerCommand(Command::N68,
                         [this] { printReportFile(host_->session(), kBonCopyLast, page_->billText()); });
    host.registerCommand(Command::N70, [this] {
        issueServiceReceipt(host_->session(), page_->selectedSaleLines(), page_->billText());
    });
    host.registerCommand(Command::N_ot4et_bez_Nula,
                         [this] { printReportFile(host_->session(), kBonDailyReport, page_->billText()); });
    host.registerCommand(Command::N_ot4et_s_Nula,
                         [this] { printReportFile(host_->session(), kBonDailyZeroing, page_->billText()); });
    // "Настройки" / "Системни" / "Отдели за изготвяне на продукция ...".
    host.registerCommand(Command::N63, [this] {
        TForm_Type_Prigotvq_Se departments(host_->context(), host_->window());
        departments.exec();
    });

    // "Номенклатури" / "Отстъпки/Надбавки...", and the counterparty card's
    // "Специални отстъпки" with the card's counterparty loaded.
    host.registerCommand(Command::N_TO, [&host] { TForm_Spec_Otstapki::run(host.context(), host.window()); });
    host.followUps().of<CounterpartyCardButtons>().add(
        kCardSpecialDiscounts, [&host](QWidget* card, const CardCounterparty& c) {
            TForm_Spec_Otstapki::run(host.context(), card, c.refText);
        });
}

void SalesModule::loggedIn() {
    // The login writes the shortcut texts after eight blanks on "Добави в списък".
    page_->writeButtonCaptions(8);
    page_->refresh();
    // Once a run: the tickets and receipts an earlier run left unprinted.
    if (!resumed_) {
        resumed_ = true;
        resumeFiscalWork(host_->session());
    }
}

void SalesModule::databaseChanged() {
    resumed_ = false;
}

void SalesModule::exiting() {
    finishWaitingTickets(host_->session());
}

} // namespace torvika
