#include "service/ui/service_module.h"

#include "service/texts.h"
#include "service/ui/form_remont.h"
#include "service/ui/form_status_remont.h"
#include "service/ui/service_page.h"

namespace torvika {

void ServiceModule::install(Host& host) {
    host.addPage(new ServicePage(host),
                 {1,
                  texts::kServiceTab,
                  texts::kServiceTitle,
                  true,
                  {QStringLiteral("N_Nastr_SERVICE"), QStringLiteral("N_Spr_Serviz")}});
    host.registerCommand(QStringLiteral("N59"), [&host] {
        TForm_Remont repairs(host.session(), host.window());
        repairs.exec();
    });
    host.registerCommand(QStringLiteral("N_Sastoqnie_Remont"), [&host] {
        TForm_Status_Remont states(host.session(), host.window());
        states.exec();
    });
}

} // namespace torvika
