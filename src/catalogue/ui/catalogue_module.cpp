#include "catalogue/ui/catalogue_module.h"

namespace torvika {

void CatalogueModule::install(Host& host) {
    Q_UNUSED(host);
}

} // namespace torvika
