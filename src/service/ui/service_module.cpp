#include "service/ui/service_module.h"

#include "common/ui/error_edge.h"
#include "service/texts.h"
#include "service/ui/form_garanc_produkti.h"
#include "service/ui/form_oborotni_serviz.h"
#include "service/ui/form_remont.h"
#include "service/ui/form_spr_garanc_prod.h"
#include "service/ui/form_spr_izdadeni_ser.h"
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
    host.registerCommand(QStringLiteral("N_Gar_Prod"), [&host] {
        std::unique_ptr<TForm_Garanc_Produkti> cards;
        if (guarded([&] { cards = std::make_unique<TForm_Garanc_Produkti>(host.session(), host.window()); }))
            cards->exec();
    });
    host.registerCommand(QStringLiteral("N_Spr_Izdadeni_Ser"), [&host] {
        TForm_Spr_Izdadeni_Ser issued(host.session(), host.window());
        issued.exec();
    });
    host.registerCommand(QStringLiteral("N_Garanc_Prod"), [&host] {
        TForm_Spr_Garanc_Prod report(host.session(), host.window());
        report.exec();
    });
    host.registerCommand(QStringLiteral("N60"), [&host] {
        TForm_Oborotni_Serviz turnover(host.session(), host.window());
        turnover.exec();
    });
    host.registerCommand(QStringLiteral("N_Import_Garanc_Prod"),
                         [&host] { importWarrantyFile(host.session(), host.progress(), host.window()); });
}

} // namespace torvika
