#include "documents/ui/documents_module.h"

#include "documents/ui/document_designer.h"
#include "documents/ui/form_create_own_query.h"
#include "documents/ui/form_spr_izd_dok.h"
#include "documents/ui/kind_grids.h"

namespace torvika {

void DocumentsModule::install(Host& host) {
    // "Документация...": the document designer, maximised and modal.
    host.registerCommand(Command::N_Dokumentacia, [&host] {
        TForm_GeneralForm_Dokumentaciq designer(host.context(), host.window());
        designer.setWindowState(designer.windowState() | Qt::WindowMaximized);
        designer.exec();
    });
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
    // "Настройки" / "Системни" / "Създай собствени справки ...": queries written and stored.
    host.registerCommand(Command::N67, [&host] {
        TForm_Create_Own_Query form(host.context(), TForm_Create_Own_Query::Design, host.window());
        form.exec();
    });
    // "Справки" / "Собствени справки ...": the stored queries run as they are.
    host.registerCommand(Command::N79, [&host] {
        TForm_Create_Own_Query form(host.context(), TForm_Create_Own_Query::Use, host.window());
        form.exec();
    });
}

} // namespace torvika
