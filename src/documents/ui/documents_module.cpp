#include "documents/ui/documents_module.h"

#include "documents/ui/form_spr_izd_dok.h"
#include "documents/ui/kind_grids.h"

namespace torvika {

void DocumentsModule::install(Host& host) {
    // "Настройки" / "Системни" / "Работни документи ...".
    host.registerCommand(Command::N25, [&host] {
        TForm_Rab_Dokumenti form(host.context(), host.window());
        form.exec();
    });
    // "Настройки" / "Системни" / "Начален номер на документ...".
    host.registerCommand(Command::N64, [&host] {
        TForm_Na4_N_Dok form(host.context(), host.window());
        form.exec();
    });
    // "Справки" / "Издадени документи".
    host.registerCommand(Command::N_Spr_Izd_Dok, [&host] {
        TForm_Spr_Izd_Dok form(host.context(), host.window());
        form.exec();
    });
}

} // namespace torvika
