#include "sales/ui/sales_module.h"

#include <QLabel>

#include "catalogue/ui/form_projzvodstvo.h"
#include "common/ui/error_edge.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_klienti.h"
#include "sales/bills.h"
#include "sales/texts.h"
#include "sales/ui/fiscal_commands.h"
#include "sales/ui/form_otstapki.h"
#include "sales/ui/form_smetki.h"
#include "sales/ui/form_spr_invalidate_sales.h"
#include "sales/ui/form_spravka_prodajba.h"
#include "sales/ui/form_type_prigotvq_se.h"
#include "sales/ui/form_vnoski_kredit.h"
#include "sales/ui/shop_page.h"

#include <QAction>
#include <QLabel>

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
    // The designer's preview prices the sale's lines as the page does.
    host.session().state<DocumentAmountSource>().shop = page_->documentAmounts();
    TForm_Spec_Otstapki::addFollowUps(host.followUps());
    // An article with recipes chosen for a sale: the production window in
    // sale mode; its elements join the sale.
    host.followUps().of<SaleRecipe>().add(kSaleRecipe, [&host](QWidget* opener, const qint64& article) {
        TForm_Projzvodstvo window(host.context(), opener);
        window.openForSale(article);
        if (window.exec() != QDialog::Accepted || !window.sale())
            return;
        QList<ElementLine> lines;
        for (const RecipeSaleElement& e : window.sale()->elements)
            lines << ElementLine{e.article, e.quantity, e.serial, e.warrantyText};
        openerWindow<ShopPage>(opener).takeRecipeElements(window.sale()->quantity, lines);
    });
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
    host.registerCommand(Command::SpdBtn_Kasa, [page] { page->toggleCashDesk(); });
    // "Справки" / "Продажби": the sales report, made at its first use and
    // kept with its criteria for the rest of the run; "Анулиране" /
    // "Продажба" acts on it while it is shown.
    host.registerCommand(Command::N_Spravka_Prodajba, [this] { salesReport()->exec(); });
    host.registerCommand(Command::N_Invalidate_Sales, [this] {
        if (report_ && report_->isVisible())
            report_->invalidateChosen();
    });
    // "Справки" / "Анулирани " / "Продажби": the invalidated lines, kept
    // with its filters for the rest of the run.
    host.registerCommand(Command::N_Spr_Invalidate_Sales, [this] {
        if (!invalidated_)
            invalidated_ = new TForm_Spr_Invalidate_Sales(host_->context(), host_->window());
        invalidated_->exec();
    });
    // The instalments of a counterparty's credits: the shop page's debts
    // button and the counterparty list (its selection mode 3 and its pop-up
    // "Изплащане на вноски") hand over the counterparty; "Изплащане вноски"
    // opens it for the sale counterparty.
    host.followUps().of<CounterpartyPicker>().add(
        kSelectInstalments, [this](QWidget* opener, const QString& ref) {
            if (auto* window = qobject_cast<TForm_Vnoski_Kredit*>(opener))
                window->loadCounterparty(ref);
            else
                showInstalments(ref);
        });
    TForm_Spravka_prodajba::addFollowUps(host.followUps());
    host.registerCommand(Command::N5, [this] { showInstalments(host_->session().saleCounterparty()); });
    // "Действия" / "Печат на документи" (Ctrl+P): the page's document lists.
    host.registerCommand(Command::N_Dokumenti, [this] { page_->showDocumentChoosers(); });

    // The notice of the status line while the print server prints.
    auto* printing = new QLabel(texts::kPrintingReceipt);
    printing->setObjectName(QStringLiteral("Label_Fiscal_Printing"));
    printing->hide();
    host.addStatusWidget(printing);
    QObject::connect(&fiscalClient(host.session()), &FiscalHttpClient::pendingChanged, printing,
                     [printing](int pending) { printing->setVisible(pending > 0); });

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

SalesModule::~SalesModule() {
    // A report made without a main window to own it.
    if (report_ && !report_->parent())
        delete report_.data();
    if (instalments_ && !instalments_->parent())
        delete instalments_.data();
    if (invalidated_ && !invalidated_->parent())
        delete invalidated_.data();
}

TForm_Spravka_prodajba* SalesModule::salesReport() {
    if (!report_) {
        report_ = new TForm_Spravka_prodajba(host_->context(), host_->window());
        Host* host = host_;
        report_->setInvalidationCommand(
            [host] { return host->command(Command::N_Invalidate_Sales)->isEnabled(); },
            [host] { host->runCommand(Command::N_Invalidate_Sales); });
    }
    return report_;
}

void SalesModule::showInstalments(const QString& counterparty) {
    if (!instalments_)
        instalments_ = new TForm_Vnoski_Kredit(host_->context(), host_->window());
    instalments_->loadCounterparty(counterparty);
    if (!instalments_->isVisible()) {
        instalments_->exec();
        // A credit paid off drops the debts button.
        page_->refresh();
    }
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
