#include "shell/ui/application.h"

#include "common/errors.h"
#include "common/exception_log.h"
#include "common/texts.h"
#include "common/ui/messages.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace torvika {

namespace {

// Qt's own texts (the buttons of message boxes, the file dialogs) in
// Bulgarian, like the rest of the program: the catalogue "qt_bg" with the
// modules it names, else the base module alone. Without either the texts
// stay English.
void installQtTranslation(QApplication& app) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qt_bg"), dir) || translator->load(QStringLiteral("qtbase_bg"), dir))
        app.installTranslator(translator);
    else
        delete translator;
}

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    installQtTranslation(*this);
    setApplicationName(QStringLiteral("torvika"));
    // The application title names the message boxes. It is not Qt's display
    // name: the desktop platforms append that to every window title, and the
    // titles are to read exactly "ТОРВИКА - МАГАЗИН", "ЗА НАС", ...
    setProperty(kApplicationTitleProperty, texts::kProgramName);
}

Application* Application::instance() {
    return dynamic_cast<Application*>(QCoreApplication::instance());
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        logException(e);
    } catch (...) {
        std::runtime_error unknown("unknown exception");
        logException(unknown);
    }
    return false;
}

} // namespace torvika
