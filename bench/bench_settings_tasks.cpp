// Opening the settings dialog (reading Firm_Data.ini into every page) and
// the tasks window over 10,000 tasks to its first screen (the list read,
// the grid laid out and painted once). The dialog should open in under
// 200 ms, the tasks window in under 300 ms.

#include "app/modules.h"
#include "common/sql.h"
#include "settings/ui/form_sistemni_nastr.h"
#include "shell/company_databases.h"
#include "shell/program_dir.h"
#include "shell/session.h"
#include "shell/ui/general_form.h"
#include "tasks/ui/form_zada4i.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>

using namespace torvika;

namespace {

constexpr int kTasks = 10'000;
constexpr int kAssigners = 200;

struct Installation {
    QTemporaryDir dir;
    std::unique_ptr<Session> session;
    std::unique_ptr<Modules> modules;
    std::unique_ptr<TGeneral_Form> form;

    Installation() {
        if (!dir.isValid())
            throw std::runtime_error("no temporary directory");
        const ProgramDir programDir(dir.path());
        programDir.prepare(shippedShareDir());
        session = std::make_unique<Session>(programDir);
        const QString problem = ensureDefaultDatabase(*session);
        if (!problem.isEmpty())
            throw std::runtime_error(problem.toStdString());
        session->workspace.open();
        session->settings().save(Settings::Changes()
                                     .set(setting::kMessagesListen, false)
                                     .set(setting::kCompanyName, QStringLiteral("Фирма ООД"))
                                     .set(setting::kAmountDecimals, 2));
        const QSqlDatabase db = session->db();
        Transaction tx(db);
        for (int i = 1; i <= kAssigners; ++i)
            execSql(
                db,
                QStringLiteral("INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (?, ?, '0', 0)"),
                {i, QStringLiteral("Възложител %1").arg(i)});
        PreparedSql insert(
            db, QStringLiteral("INSERT INTO Zada4i_Zadanie (Opisanie_Z, Izpalniteli, Status, "
                               "Vazlojil_Klient, D_Vazlagane, T_Vazlagane, D_Izpalnenie, "
                               "T_Izpalnenie, Zabel, Povtorenie) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0)"));
        const QStringList statuses{QStringLiteral("Възложен"), QStringLiteral("Изпълнява се"),
                                   QStringLiteral("Отложен"), QStringLiteral("Изпълнен")};
        for (int i = 0; i < kTasks; ++i) {
            const QDate day = QDate(2025, 1, 1).addDays(i % 700);
            insert.exec({QStringLiteral("Задача номер %1").arg(i),
                         QStringLiteral("Изпълнител %1").arg(i % 17), statuses[i % 4], 1 + i % kAssigners,
                         day.toString(Qt::ISODate), QStringLiteral("09:00:00"),
                         day.addDays(3).toString(Qt::ISODate), QStringLiteral("17:30:00"),
                         QStringLiteral("Бележка %1").arg(i)});
        }
        tx.commit();
        modules = std::make_unique<Modules>();
        form = std::make_unique<TGeneral_Form>(*session);
        modules->installInto(*form);
    }
};

// Made on first use; taken down while the application object still
// exists, as its windows need it.
Installation& installation() {
    static Installation* i = [] {
        auto* made = new Installation;
        qAddPostRoutine([] { delete i; });
        return made;
    }();
    return *i;
}

void BM_OpenSettingsDialog(benchmark::State& state) {
    Installation& inst = installation();
    for (auto _ : state) {
        TForm_Sistemni_Nastr dialog(inst.form->context());
        dialog.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(dialog.grab());
    }
}
BENCHMARK(BM_OpenSettingsDialog)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_OpenTasksWindow(benchmark::State& state) {
    Installation& inst = installation();
    for (auto _ : state) {
        TForm_Zada4i window(inst.form->context());
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_OpenTasksWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
