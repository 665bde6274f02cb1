// One workstation of the several-workstations test: creates counterparties
// on the company database of a program directory, one transaction each,
// and says after each commit how many it has made.
//
//   torvika_test_workstation <program directory> <count> <name prefix> [pause ms]
//
// A pause between creations gives the test time to kill it halfway.
//
// The last line says how many times the database was found busy and waited
// for. The exit code is 1 when a save failed.

#include "common/errors.h"
#include "common/sql.h"
#include "counterparties/counterparties.h"
#include "shell/session.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

using namespace torvika;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4 || args.size() > 5) {
        std::fprintf(stderr, "usage: %s <program directory> <count> <name prefix> [pause ms]\n", argv[0]);
        return 2;
    }
    const unsigned long pause = args.size() == 5 ? args[4].toULong() : 0;
    int waits = 0;
    setBusyWaitIndicator([&waits](bool waiting) { waits += waiting ? 1 : 0; });
    Session session{ProgramDir(args[1])};
    try {
        session.workspace.open();
        const int count = args[2].toInt();
        for (int i = 1; i <= count; ++i) {
            FirmCard firm;
            firm.name = args[3] + u'-' + QString::number(i);
            PersonCard person;
            person.name = firm.name;
            person.egn = QStringLiteral("0");
            createCounterparty(session.db(), firm, person, 0);
            std::printf("done %d\n", i);
            std::fflush(stdout);
            if (pause > 0)
                QThread::msleep(pause);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(exceptionMessage(e)));
        return 1;
    }
    std::printf("waits %d\n", waits);
    return 0;
}
