// The program start: the program directory, the shipped files, the default
// company database on a first start, then the main window with its modules
// and the event loop.

#include "app/modules.h"
#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ui/messages.h"
#include "shell/company_databases.h"
#include "shell/program_dir.h"
#include "shell/session.h"
#include "shell/ui/application.h"
#include "shell/ui/general_form.h"

#include <QDir>

int main(int argc, char** argv) {
    torvika::Application app(argc, argv);
    torvika::ProgramDir dir(
        torvika::ProgramDir::choose(app.arguments(), QCoreApplication::applicationDirPath()));
    torvika::setExceptionLog(dir.exceptionsLog());
    try {
        dir.prepare(torvika::shippedShareDir());
    } catch (const torvika::Error& e) {
        torvika::showMessage(e.message());
        return 1;
    }
    QDir::setCurrent(dir.root());

    torvika::Session session(dir);
    QString problem = torvika::ensureDefaultDatabase(session);
    if (!problem.isEmpty()) {
        torvika::logException(torvika::EDatabaseError(problem));
        torvika::showMessage(problem);
    }

    torvika::Modules modules;
    torvika::TGeneral_Form form(session);
    modules.installInto(form);
    try {
        if (!form.start())
            return 0; // the operator ended the program at the working-date question or the login
    } catch (const torvika::Error& e) {
        // Firm_Data.ini is there but cannot be read: the program would work
        // with defaults and write them over it at exit.
        torvika::logException(e);
        torvika::showMessage(e.message());
        return 1;
    }
    form.showMaximized();
    return app.exec();
}
