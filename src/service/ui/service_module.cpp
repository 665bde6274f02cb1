#include "service/ui/service_module.h"

#include "service/texts.h"
#include "service/ui/service_page.h"

namespace torvika {

void ServiceModule::install(Host& host) {
    host.addPage(new ServicePage(host), {1,
                                         texts::kServiceTab,
                                         texts::kServiceTitle,
                                         true,
                                         {Command::N_Nastr_SERVICE, Command::N_Spr_Serviz}});
}

} // namespace torvika
