#include "app/modules.h"

#include "catalogue/ui/catalogue_module.h"
#include "catalogue/ui/stock_module.h"
#include "counterparties/ui/counterparties_module.h"
#include "documents/ui/documents_module.h"
#include "fiscal_service/ui/fiscal_service_module.h"
#include "offers/ui/offers_module.h"
#include "sales/ui/sales_module.h"
#include "service/ui/service_module.h"
#include "settings/ui/settings_module.h"
#include "shell/ui/general_form.h"
#include "shell/ui/messaging_module.h"
#include "tasks/ui/tasks_module.h"

namespace torvika {

namespace {

// The list of modules, in the order the host installs them.
template <typename... M> std::vector<std::unique_ptr<Module>> makeModules() {
    std::vector<std::unique_ptr<Module>> list;
    (list.push_back(std::make_unique<M>()), ...);
    return list;
}

} // namespace

Modules::Modules()
    : list_(makeModules<CounterpartiesModule, CatalogueModule, StockModule, DocumentsModule, SalesModule,
                        ServiceModule, FiscalServiceModule, SettingsModule, TasksModule, OffersModule,
                        MessagingModule>()) {}

Modules::~Modules() = default;

void Modules::installInto(TGeneral_Form& form) {
    for (const std::unique_ptr<Module>& m : list_)
        form.install(*m);
}

} // namespace torvika
