// A till killed (SIGKILL) at any moment of its sales leaves every sale whole
// or absent: the rows come in whole sales, the stock matches them, and no
// sold line is still pending.

#include "catalogue/stock.h"
#include "common/sql.h"
#include "support/fixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <csignal>

using namespace torvika;

namespace {

constexpr int kLines = 20; // lines per sale
constexpr int kRounds = 6; // tills started and killed

} // namespace

class TillKilledTest : public QObject {
    Q_OBJECT
private slots:
    void salesAreWholeOrAbsent() {
        test::Fixture fx;
        {
            const QSqlDatabase db = fx.db();
            execSql(db, "DELETE FROM Valuti");
            execSql(db, "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('лв.', 1, 'True')");
            execSql(db, "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, "
                        "Dan_Grup, Prigotvq_Se) VALUES (1, 'Хляб', 1, 2, 'лв.', 'бр.', 0, 2, 0)");
            GET_NALI4NOST(db, 1, 1, 1, 100000);
        }
        fx.session().workspace.close(); // this process only looks afterwards

        for (int round = 0; round < kRounds; ++round) {
            QProcess till;
            till.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            till.start(QStringLiteral(TORVIKA_TILL), {fx.root(), "Иван", QString::number(kLines), "1000"});
            QVERIFY(till.waitForStarted());
            int sold = 0;
            QVERIFY(QTest::qWaitFor(
                [&] {
                    while (till.canReadLine())
                        sold = till.readLine().trimmed().mid(5).toInt();
                    return sold >= 2 || till.state() == QProcess::NotRunning;
                },
                120000));
            QCOMPARE(till.state(), QProcess::Running);
            QTest::qWait(int(QRandomGenerator::global()->bounded(60)));
            ::kill(pid_t(till.processId()), SIGKILL);
            QVERIFY(till.waitForFinished(30000));
            QCOMPARE(till.exitStatus(), QProcess::CrashExit);
        }

        fx.session().workspace.open();
        const QSqlDatabase db = fx.db();
        const int rows = scalarSql(db, "SELECT COUNT(*) FROM Prodajbi").toInt();
        QVERIFY(rows >= kRounds * 2 * kLines);
        QCOMPARE(rows % kLines, 0);
        QCOMPARE(stockIn(db, 1, 1).value_or(-1), Decimal(100000 - rows));
        QCOMPARE(scalarSql(db, "SELECT COUNT(*) FROM Prodajbi P JOIN Prodajbi_Vremenni V ON V.N_Prodajba = "
                               "P.ID_Prodajba")
                     .toInt(),
                 0);
    }
};

QTEST_MAIN(TillKilledTest)
#include "test_till_killed.moc"
