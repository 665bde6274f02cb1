#include "fiscal_service/ui/fiscal_service_module.h"

#include "fiscal_service/texts.h"
#include "fiscal_service/ui/device_list_window.h"
#include "fiscal_service/ui/fiscal_service_page.h"
#include "fiscal_service/ui/form_sv_bim.h"

namespace torvika {

void FiscalServiceModule::install(Host& host) {
    host_ = &host;
    host.addPage(new FiscalServicePage(host.context()), {2,
                                                         texts::kFiscalServiceTab,
                                                         texts::kFiscalServiceTitle,
                                                         false,
                                                         {Command::N_Nastr_Fisk_Ser},
                                                         setting::kFiscalServicePage});
    host.registerCommand(Command::N_SV_BIM, [this, &host] {
        if (!certificates_)
            certificates_ = new TForm_Sv_BIM(host.context(), host.window());
        certificates_->exec();
    });
    auto list = [&host](DeviceList kind) {
        return [&host, kind] {
            TForm_Fisk_Spravka window(host.context(), kind, host.window());
            window.exec();
        };
    };
    host.registerCommand(Command::N17, list(DeviceList::ForbiddenModels));
    host.registerCommand(Command::N72, list(DeviceList::Devices));
    host.registerCommand(Command::N73, list(DeviceList::ExpiredContracts));
    host.registerCommand(Command::N74, list(DeviceList::InService));
    TForm_Sv_BIM::addFollowUps(host.followUps());
}

void FiscalServiceModule::databaseChanged() {
    // The register shows the new database's certificates.
    delete certificates_;
    certificates_ = nullptr;
}

} // namespace torvika
