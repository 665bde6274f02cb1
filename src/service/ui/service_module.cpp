#include "service/ui/service_module.h"

#include "service/texts.h"
#include "service/ui/service_page.h"

namespace torvika {

void ServiceModule::install(Host& host) {
    auto* page = new ServicePage(host);
    page->addFollowUps(host.followUps());
    host.addPage(page, {1,
                        texts::kServiceTab,
                        texts::kServiceTitle,
                        true,
                        {Command::N_Nastr_SERVICE, Command::N_Spr_Serviz}});
}

} // namespace torvika
