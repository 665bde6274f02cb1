#include "catalogue/ui/catalogue_module.h"

#include "catalogue/article_groups.h"
#include "catalogue/ui/article_picker.h"
#include "catalogue/ui/data_exchange_commands.h"
#include "catalogue/ui/form_add_red_zaqvka.h"
#include "catalogue/ui/form_cenovi_listi.h"
#include "catalogue/ui/form_nali4nosti_artikuli.h"
#include "catalogue/ui/form_newartikul.h"
#include "catalogue/ui/form_revision.h"
#include "catalogue/ui/form_sklad.h"
#include "catalogue/ui/form_valuti.h"
#include "catalogue/ui/form_zaqvka_all.h"
#include "common/ui/error_edge.h"
#include "documents/ui/form_spr_izd_dok.h"

namespace torvika {

namespace {

// Opens the window modally over the main window.
template <typename Window> void runWindow(Host& host) {
    Window window(host.context(), host.window());
    window.exec();
}

} // namespace

void CatalogueModule::install(Host& host) {
    host_ = &host;
    // "Номенклатури" / "Складове...", SpdBtn_Sklad and a click on Panel_Sklad.
    host.registerCommand(Command::N_Sklad, [&host] { runWindow<TForm_Sklad>(host); });
    // "Системни" / "Валутни курсове ..." and a click on the currency ticker.
    host.registerCommand(Command::N_Valuti, [&host] { runWindow<TForm_Valuti>(host); });
    // "Номенклатури" / "Ценови групи ...".
    host.registerCommand(Command::N6, [&host] { runWindow<TForm_Cenovi_Listi>(host); });
    // "Справки" / "Наличност артикули".
    host.registerCommand(Command::N_Spr_Nali4nosti_Art,
                         [&host] { runWindow<TForm_Nali4nosti_Artikuli>(host); });
    // "Операции" / "Помощни" / "Поръчки...": the order lines to suppliers.
    host.registerCommand(Command::N_Zaqvki_All, [&host] { runWindow<TForm_Zaqvka_all>(host); });
    // "Номенклатури" / "Артикули ..." and SpdBtn_Artikuli: the catalogue for browsing.
    host.registerCommand(Command::N_Artikuli,
                         [&host] { pickArticles(host.context(), kBrowseArticles, host.window()); });

    // "Операции" / "Основни" / "Ревизия..." and SpdBtn_Revizia: a new revision.
    host.registerCommand(Command::N_Revizia, [&host] { runWindow<Form_Revision>(host); });
    // "Операции" / "Импорт на данни" and "Експорт на данни".
    dataExchange_ = std::make_unique<DataExchangeCommands>(host);

    // What the pickers deliver to the order line and article dialogs.
    TForm_Add_Red_Zaqvka::addFollowUps(host.followUps());
    TForm_NewArtikul::addFollowUps(host.followUps());
    // The issued-documents report's filter "Артикул": the catalogue over the
    // report, the current article into the report's label.
    host.followUps().of<IssuedDocumentsChoosers>().add(kChooseIssuedArticle, [&host](QWidget* opener, int) {
        pickArticles(host.context(), kSelectIssuedDocumentsArticle, opener);
    });
    host.followUps().of<ArticlePicker>().add(
        kSelectIssuedDocumentsArticle, [](QWidget* opener, const ArticleChoice& choice) {
            if (choice.current)
                openerWindow<TForm_Spr_Izd_Dok>(opener).setArticle(choice.current->refText());
        });
}

CatalogueModule::CatalogueModule() = default;
CatalogueModule::~CatalogueModule() = default;

void CatalogueModule::loggedIn() {
    if (treeChecked_ || !host_)
        return;
    treeChecked_ = true;
    Session& session = host_->session();
    logged([&session] { checkArticleTree(session.db(), articleTreeFile(session.workspace.directory())); });
}

void CatalogueModule::databaseChanged() {
    treeChecked_ = false;
}

} // namespace torvika
