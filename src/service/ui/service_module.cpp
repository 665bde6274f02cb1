#include "service/ui/service_module.h"

#include "catalogue/ui/article_picker.h"
#include "common/ui/error_edge.h"
#include "counterparties/ui/counterparty_picker.h"
#include "service/texts.h"
#include "service/ui/form_garanc_produkti.h"
#include "service/ui/form_oborotni_serviz.h"
#include "service/ui/form_remont.h"
#include "service/ui/form_spr_garanc_prod.h"
#include "service/ui/form_spr_izdadeni_ser.h"
#include "service/ui/form_status_remont.h"
#include "service/ui/service_page.h"

namespace torvika {

namespace {

// What the counterparty list and the catalogue hand to the service windows.
void addFollowUps(FollowUpRegistry& followUps) {
    auto& counterparties = followUps.of<CounterpartyPicker>();
    counterparties.add(kSelectRepairs, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_Remont>(opener).takeClient(ref);
    });
    counterparties.add(kSelectWarrantyCard, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_Garanc_Produkti>(opener).takeSupplier(ref);
    });
    counterparties.add(kSelectWarrantyProducts, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_Spr_Garanc_Prod>(opener).takeSupplier(ref);
    });
    counterparties.add(kSelectIssuedSerialsClient, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_Spr_Izdadeni_Ser>(opener).takeClient(ref);
    });
    counterparties.add(kSelectIssuedSerialsSupplier, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_Spr_Izdadeni_Ser>(opener).takeSupplier(ref);
    });
    auto& articles = followUps.of<ArticlePicker>();
    articles.add(kSelectRepairArticle, [](QWidget* opener, const ArticleChoice& choice) {
        if (choice.current)
            openerWindow<TForm_Remont>(opener).takeArticle(*choice.current);
    });
    articles.add(kSelectWarrantyCardArticle, [](QWidget* opener, const ArticleChoice& choice) {
        if (choice.current)
            openerWindow<TForm_Garanc_Produkti>(opener).takeArticle(*choice.current);
    });
    articles.add(kSelectWarrantyProductsArticle, [](QWidget* opener, const ArticleChoice& choice) {
        if (choice.current)
            openerWindow<TForm_Spr_Garanc_Prod>(opener).takeArticle(*choice.current);
    });
    articles.add(kSelectIssuedItemsArticle, [](QWidget* opener, const ArticleChoice& choice) {
        if (choice.current)
            openerWindow<TForm_Spr_Izdadeni_Ser>(opener).takeArticle(*choice.current);
    });
}

} // namespace

void ServiceModule::install(Host& host) {
    auto* page = new ServicePage(host);
    page->addFollowUps(host.followUps());
    addFollowUps(host.followUps());
    host.addPage(page, {1,
                        texts::kServiceTab,
                        texts::kServiceTitle,
                        true,
                        {Command::N_Nastr_SERVICE, Command::N_Spr_Serviz}});
    host.registerCommand(Command::N59, [&host] {
        TForm_Remont repairs(host.context(), host.window());
        repairs.exec();
    });
    host.registerCommand(Command::N_Sastoqnie_Remont, [&host] {
        TForm_Status_Remont states(host.context(), host.window());
        states.exec();
    });
    host.registerCommand(Command::N_Gar_Prod, [&host] {
        std::unique_ptr<TForm_Garanc_Produkti> cards;
        if (guarded([&] { cards = std::make_unique<TForm_Garanc_Produkti>(host.context(), host.window()); }))
            cards->exec();
    });
    host.registerCommand(Command::N_Spr_Izdadeni_Ser, [&host] {
        TForm_Spr_Izdadeni_Ser issued(host.context(), host.window());
        issued.exec();
    });
    host.registerCommand(Command::N_Garanc_Prod, [&host] {
        TForm_Spr_Garanc_Prod report(host.context(), host.window());
        report.exec();
    });
    host.registerCommand(Command::N60, [&host] {
        TForm_Oborotni_Serviz turnover(host.context(), host.window());
        turnover.exec();
    });
    host.registerCommand(Command::N_Import_Garanc_Prod,
                         [&host] { importWarrantyFile(host.context(), host.window()); });
}

} // namespace torvika
