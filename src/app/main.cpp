// The program start: the program directory, the shipped files, the default
// company database on a first start, then the main window with its modules
// and the event loop. "--copy-database FROM TO" copies a company database to
// a server instead, without windows; "--check" checks an installation.

#include "app/install_check.h"
#include "app/modules.h"
#include "build_info.h"
#include "common/errors.h"
#include "common/exception_log.h"
#include "common/progress.h"
#include "common/ui/error_edge.h"
#include "shell/company_databases.h"
#include "shell/database_copy.h"
#include "shell/program_dir.h"
#include "shell/session.h"
#include "shell/ui/application.h"
#include "shell/ui/general_form.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

// The progress of the copy on the terminal.
class ConsoleProgress : public torvika::Progress {
public:
    void start(int maximum) override { maximum_ = qMax(1, maximum); }
    void setValue(int value) override {
        const int percent = int(qint64(value) * 100 / maximum_);
        if (percent != shown_)
            std::printf("\rКопиране: %d%%", shown_ = percent);
        std::fflush(stdout);
    }
    bool cancelled() override { return false; }
    void finish() override { std::printf("\n"); }

private:
    int maximum_ = 1;
    int shown_ = -1;
};

int copyDatabase(const QStringList& args) {
    const qsizetype at = args.indexOf(QStringLiteral("--copy-database"));
    if (at + 2 >= args.size()) {
        std::fprintf(stderr,
                     "usage: torvika --copy-database <company directory> "
                     "\"host=… port=… dbname=… user=… dir=<company directory on the server side>\"\n");
        return 2;
    }
    try {
        const torvika::ProgramDir dir(
            torvika::ProgramDir::choose(args, QCoreApplication::applicationDirPath()));
        dir.prepare(torvika::shippedShareDir());
        const torvika::Alias from =
            torvika::sqliteAlias(QDir::cleanPath(QDir::current().absoluteFilePath(args[at + 1])));
        const torvika::Alias to = torvika::serverAliasFromText(args[at + 2]);
        ConsoleProgress progress;
        const torvika::CopyReport r = torvika::copyCompanyDatabase(dir, from, to, QString(), progress);
        std::printf("Копирани %d таблици, %lld реда в %s\n", r.tables, static_cast<long long>(r.rows),
                    qPrintable(to.description()));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", qPrintable(torvika::exceptionMessage(e)));
        return 1;
    }
}

const char kUsage[] =
    "usage: torvika [--home DIR]\n"
    "       torvika [--home DIR] --check\n"
    "       torvika [--home DIR] --copy-database COMPANY-DIR \"host=... port=... dbname=... user=... "
    "dir=...\"\n"
    "\n"
    "Trade program for small businesses: till, stock, service desk and fiscal-device service centre.\n"
    "\n"
    "  --home DIR        use DIR as the program directory (settings, scripts, templates, the\n"
    "                    default company database); by default the directory of the executable\n"
    "                    when it is writable, else $XDG_DATA_HOME/torvika\n"
    "  --check           check an installation: open the company database, log in as the\n"
    "                    operator last used with the password read from standard input, open\n"
    "                    the main window and end (exit status 0 when it opened)\n"
    "  --copy-database   copy a company database to a PostgreSQL server, without windows\n"
    "  --help            show this text and end\n"
    "  --version         show the version and end\n"
    "\n"
    "A new company database has the operator \"Администратор\" with the password 1.\n";

} // namespace

int main(int argc, char** argv) {
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (qstrcmp(argv[i], "--version") == 0) {
            std::printf("torvika %s\n", TORVIKA_VERSION);
            return 0;
        }
        if (qstrcmp(argv[i], "--check") == 0)
            check = true;
    }
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--copy-database") == 0) {
            QCoreApplication app(argc, argv);
            return copyDatabase(app.arguments());
        }
    // Read before any window: the check answers the login with it.
    const QString checkPassword = check ? torvika::readPasswordLine() : QString();

    torvika::Application app(argc, argv);
    torvika::ProgramDir dir(
        torvika::ProgramDir::choose(app.arguments(), QCoreApplication::applicationDirPath()));
    torvika::setExceptionLog(dir.exceptionsLog());
    try {
        dir.prepare(torvika::shippedShareDir());
    } catch (const torvika::Error& e) {
        torvika::reportError(e);
        return 1;
    }
    QDir::setCurrent(dir.root());

    torvika::Session session(dir);
    QString problem = torvika::ensureDefaultDatabase(session);
    if (!problem.isEmpty())
        torvika::reportError(torvika::EDatabaseError(problem));

    torvika::Modules modules;
    torvika::TGeneral_Form form(session);
    modules.installInto(form);
    std::unique_ptr<torvika::InstallCheck> checking;
    if (check)
        checking = std::make_unique<torvika::InstallCheck>(checkPassword);
    try {
        if (!form.start())
            return check ? 1 : 0; // the operator ended the program at the working-date question or the login
    } catch (const torvika::Error& e) {
        // Firm_Data.ini is there but cannot be read: the program would work
        // with defaults and write them over it at exit.
        torvika::reportError(e);
        return 1;
    }
    form.showMaximized();
    if (checking) {
        if (session.operatorName().isEmpty() || !session.workspace.isOpen()) {
            std::fprintf(stderr, "torvika --check: the login did not open the company database\n");
            return 1;
        }
        std::printf("torvika %s: logged in as %s on %s; the main window is open.\n", TORVIKA_VERSION,
                    session.operatorName().toLocal8Bit().constData(), dir.root().toLocal8Bit().constData());
        checking.reset();
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return app.exec();
}
