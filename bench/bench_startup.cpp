// The program's start on an installation that has run before (a program
// directory with its SQLite company database), from the first object main()
// makes after the application object to the login dialog ready for a
// password: the program directory prepared with the shipped files, the
// session, the check for the default company database (which finds the
// existing one), the main window with every module installed, and the login
// dialog's showing, which opens the workspace and lists the operators.
//
// The working-date question and the modal login of TGeneral_Form::start are
// left out: they wait for the operator. Tearing the objects down is not
// timed. The application object is made once per process (support/main.cpp
// times it: application_object_ms in the context), and the first start in
// the process, which also loads fonts and styles for good, is reported as
// the counter first_start_ms (the SQL driver is loaded by then: making the
// installation loaded it).

#include "app/modules.h"
#include "common/exception_log.h"
#include "shell/company_databases.h"
#include "shell/program_dir.h"
#include "shell/session.h"
#include "shell/ui/general_form.h"
#include "shell/ui/login.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>

using namespace torvika;

namespace {

// A program directory whose company database the program's own first
// start created.
class Installation {
public:
    Installation() {
        if (!dir_.isValid())
            throw std::runtime_error("no temporary directory for the program directory");
        const ProgramDir programDir(dir_.path());
        programDir.prepare(shippedShareDir());
        Session session(programDir);
        const QString problem = ensureDefaultDatabase(session);
        if (!problem.isEmpty())
            throw std::runtime_error(problem.toStdString());
        if (!isCompanyDatabase(QDir::cleanPath(programDir.dataDir())))
            throw std::runtime_error("the first start made no company database");
    }
    QString root() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// What main() makes, in its order, up to the login dialog with the
// operators listed. The members go in the reverse order, as main()'s do.
class Start {
public:
    explicit Start(const QString& root) : dir_(root) {
        setExceptionLog(dir_.exceptionsLog());
        dir_.prepare(shippedShareDir());
        QDir::setCurrent(dir_.root());
        session_ = std::make_unique<Session>(dir_);
        problem_ = ensureDefaultDatabase(*session_);
        modules_ = std::make_unique<Modules>();
        form_ = std::make_unique<TGeneral_Form>(*session_);
        modules_->installInto(*form_);
        form_->login().dialog()->FormShow();
    }

    // What ensureDefaultDatabase had to say (empty: it found the database).
    const QString& problem() const { return problem_; }
    // The operators the login dialog lists.
    int operators() const {
        const auto* list =
            form_->login().dialog()->findChild<const QComboBox*>(QStringLiteral("ComboBox_Operators"));
        return list ? list->count() : -1;
    }

private:
    ProgramDir dir_;
    std::unique_ptr<Session> session_;
    QString problem_;
    std::unique_ptr<Modules> modules_;
    std::unique_ptr<TGeneral_Form> form_;
};

// Deletions the windows posted, run between starts as the event loop would.
void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The first start in the process, timed once.
double firstStartMs(const QString& root) {
    static const double ms = [&] {
        QElapsedTimer timer;
        timer.start();
        { Start first(root); }
        const double elapsed = double(timer.nsecsElapsed()) / 1e6;
        settle();
        return elapsed;
    }();
    return ms;
}

void BM_StartToLogin(benchmark::State& state) {
    static Installation installation;
    const QString cwd = QDir::currentPath();
    const double first = firstStartMs(installation.root());

    auto check = std::make_unique<Start>(installation.root());
    if (!check->problem().isEmpty()) {
        state.SkipWithError(qPrintable(check->problem()));
        return;
    }
    const int operators = check->operators();
    check.reset();
    settle();
    if (operators <= 0) {
        state.SkipWithError("the login dialog lists no operator");
        return;
    }

    for (auto _ : state) {
        auto start = std::make_unique<Start>(installation.root());
        state.PauseTiming();
        start.reset();
        settle();
        state.ResumeTiming();
    }
    QDir::setCurrent(cwd);
    state.counters["operators"] = operators;
    state.counters["first_start_ms"] = first;
}

} // namespace

BENCHMARK(BM_StartToLogin)->Unit(benchmark::kMillisecond)->UseRealTime();
