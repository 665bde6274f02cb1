#include "catalogue/ui/catalogue_module.h"

#include "catalogue/article_groups.h"
#include "catalogue/ui/article_picker.h"
#include "catalogue/ui/form_cenovi_listi.h"
#include "catalogue/ui/form_nali4nosti_artikuli.h"
#include "catalogue/ui/form_sklad.h"
#include "catalogue/ui/form_valuti.h"
#include "catalogue/ui/form_zaqvka_all.h"
#include "common/ui/error_edge.h"

namespace torvika {

namespace {

// Opens the window modally over the main window.
template <typename Window> void runWindow(Host& host) {
    Window window(host.session(), host.window());
    window.exec();
}

} // namespace

void CatalogueModule::install(Host& host) {
    host_ = &host;
    // "Номенклатури" / "Складове...", SpdBtn_Sklad and a click on Panel_Sklad.
    host.registerCommand(QStringLiteral("N_Sklad"), [&host] { runWindow<TForm_Sklad>(host); });
    // "Системни" / "Валутни курсове ..." and a click on the currency ticker.
    host.registerCommand(QStringLiteral("N_Valuti"), [&host] { runWindow<TForm_Valuti>(host); });
    // "Номенклатури" / "Ценови групи ...".
    host.registerCommand(QStringLiteral("N6"), [&host] { runWindow<TForm_Cenovi_Listi>(host); });
    // "Справки" / "Наличност артикули".
    host.registerCommand(QStringLiteral("N_Spr_Nali4nosti_Art"),
                         [&host] { runWindow<TForm_Nali4nosti_Artikuli>(host); });
    // "Операции" / "Помощни" / "Поръчки...": the order lines to suppliers.
    host.registerCommand(QStringLiteral("N_Zaqvki_All"), [&host] { runWindow<TForm_Zaqvka_all>(host); });
    // "Номенклатури" / "Артикули ..." and SpdBtn_Artikuli: the catalogue for browsing.
    host.registerCommand(QStringLiteral("N_Artikuli"),
                         [&host] { pickArticles(host.session(), kBrowseArticles, host.window()); });
}

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
