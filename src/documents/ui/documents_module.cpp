#include "documents/ui/documents_module.h"

#include "documents/ui/document_designer.h"
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
}

} // namespace torvika
