#include "catalogue/ui/catalogue_module.h"

#include "catalogue/ui/article_picker.h"

namespace torvika {

void CatalogueModule::install(Host& host) {
    // "Номенклатури" / "Артикули ..." and SpdBtn_Artikuli: the catalogue for browsing.
    host.registerCommand(QStringLiteral("N_Artikuli"),
                         [&host] { pickArticles(host.session(), kBrowseArticles, host.window()); });
}

} // namespace torvika
