#pragma once
// The main window with every module of the program, as the program starts
// it, for the tests of the pages (link the test to the app library).

#include "app/modules.h"
#include "shell/ui/general_form.h"
#include "support/login_script.h"

#include <memory>

namespace torvika::test {

struct MainWindow {
    Modules modules;
    TGeneral_Form form;

    explicit MainWindow(Session& session) : form(session) { modules.installInto(form); }
    // Starts the window with the operator logging in.
    bool start(const QString& name = kFirstOperator, const QString& password = kFirstPassword) {
        answerNextLogin(form.login(), name, password);
        return form.start();
    }
};

} // namespace torvika::test
