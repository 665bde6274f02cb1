// Several workstations on one company database at once: four processes
// create counterparties together and one of them is killed halfway.
// Afterwards exactly the completed creations are there, each company with
// its person, no key taken twice, no save failed for a busy moment, and the
// database is sound.

#include "common/sql.h"
#include "support/fixture.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <csignal>

using namespace torvika;

namespace {

constexpr int kWorkstations = 4;
constexpr int kEach = 250;
constexpr int kKilled = 1; // the workstation killed halfway
// The killed one pauses after each creation, so that it is surely still at
// work when half of its creations are reported.
constexpr int kKilledPauseMs = 20;

struct Workstation {
    QProcess process;
    int done = 0; // creations it reported committed
    int waits = 0;
    QByteArray errors;
};

} // namespace

class WorkstationsTest : public QObject {
    Q_OBJECT
private slots:
    void fourWorkstationsOneKilled() {
        test::Fixture fx;
        fx.session().workspace.close(); // this process only looks afterwards
        Workstation ws[kWorkstations];
        QElapsedTimer clock;
        clock.start();
        for (int w = 0; w < kWorkstations; ++w) {
            auto& station = ws[w];
            QObject::connect(&station.process, &QProcess::readyReadStandardOutput, [&station] {
                while (station.process.canReadLine()) {
                    const QByteArray line = station.process.readLine().trimmed();
                    if (line.startsWith("done "))
                        station.done = line.mid(5).toInt();
                    else if (line.startsWith("waits "))
                        station.waits = line.mid(6).toInt();
                }
            });
            QStringList args{fx.root(), QString::number(kEach), QStringLiteral("WS%1").arg(w)};
            if (w == kKilled)
                args << QString::number(kKilledPauseMs);
            station.process.start(QStringLiteral(TORVIKA_WORKSTATION), args);
            QVERIFY(station.process.waitForStarted());
        }
        QVERIFY(QTest::qWaitFor([&] { return ws[kKilled].done >= kEach / 2; }, 120000));
        ::kill(pid_t(ws[kKilled].process.processId()), SIGKILL);
        for (auto& station : ws) {
            QVERIFY(station.process.state() == QProcess::NotRunning ||
                    station.process.waitForFinished(180000));
            station.process.readAllStandardOutput();
            station.errors = station.process.readAllStandardError();
        }
        const qint64 elapsed = clock.elapsed();
        QCOMPARE(ws[kKilled].process.exitStatus(), QProcess::CrashExit);
        QVERIFY(ws[kKilled].done < kEach);
        for (int w = 0; w < kWorkstations; ++w) {
            if (w == kKilled)
                continue;
            QVERIFY2(ws[w].errors.isEmpty(), ws[w].errors.constData());
            QCOMPARE(ws[w].process.exitCode(), 0);
            QCOMPARE(ws[w].done, kEach);
        }

        fx.session().workspace.open();
        const QSqlDatabase db = fx.db();
        for (int w = 0; w < kWorkstations; ++w) {
            const int stored = scalarSql(db, "SELECT COUNT(*) FROM Firmi WHERE Ime_Firma LIKE ?",
                                         {QStringLiteral("WS%1-%").arg(w)})
                                   .toInt();
            // The killed one may have committed one more than it could say.
            if (w == kKilled)
                QVERIFY2(stored == ws[w].done || stored == ws[w].done + 1,
                         qPrintable(QStringLiteral("%1 stored, %2 reported").arg(stored).arg(ws[w].done)));
            else
                QCOMPARE(stored, kEach);
            // The ones stored are the first ones, none skipped.
            QCOMPARE(scalarSql(db, "SELECT COUNT(*) FROM Firmi WHERE Ime_Firma = ?",
                               {QStringLiteral("WS%1-%2").arg(w).arg(stored)})
                         .toInt(),
                     stored > 0 ? 1 : 0);
        }
        // Each company with its own person, no key twice.
        QCOMPARE(scalarSql(db,
                           "SELECT COUNT(*) FROM Firmi f WHERE f.ID > 0 AND NOT EXISTS "
                           "(SELECT 1 FROM Klienti k WHERE k.ID = f.ID_Mol AND k.Ime_Klient = f.Ime_Firma)")
                     .toInt(),
                 0);
        QCOMPARE(scalarSql(db, "SELECT COUNT(DISTINCT ID_Mol) FROM Firmi").toInt(),
                 scalarSql(db, "SELECT COUNT(*) FROM Firmi").toInt());
        QCOMPARE(scalarSql(db, "SELECT COUNT(*) FROM Klienti").toInt(),
                 scalarSql(db, "SELECT COUNT(*) FROM Firmi").toInt());
        for (const char* table : {"Firmi", "Klienti"})
            QCOMPARE(scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM (SELECT ID FROM %1 GROUP BY ID "
                                                  "HAVING COUNT(*) > 1) d")
                                       .arg(QLatin1String(table)))
                         .toInt(),
                     0);
        if (isSqlite(db)) {
            QCOMPARE(scalarSql(db, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        } else {
            // Every key sequence stands at or past the largest key of its
            // column, so the next key taken is a new one.
            const SqlRows sequences =
                readRows(db, "SELECT s.relname, t.relname, a.attname FROM pg_class s "
                             "JOIN pg_depend d ON d.objid = s.oid AND d.classid = 'pg_class'::regclass "
                             "AND d.refclassid = 'pg_class'::regclass "
                             "JOIN pg_class t ON t.oid = d.refobjid "
                             "JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = d.refobjsubid "
                             "WHERE s.relkind = 'S' ORDER BY s.relname");
            QVERIFY(!sequences.rows.isEmpty());
            for (const QVariantList& row : sequences.rows) {
                const qint64 max = scalarSql(db, QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2")
                                                     .arg(row[2].toString(), row[1].toString()))
                                       .toLongLong();
                const qint64 last =
                    scalarSql(db, "SELECT COALESCE(pg_sequence_last_value(?::regclass), 0)", {row[0]})
                        .toLongLong();
                QVERIFY2(last >= max, qPrintable(row[0].toString()));
            }
            // The indexes agree with their tables (amcheck, shipped with the
            // server): no row missing from an index, no key there twice.
            execScriptStatement(db, "CREATE EXTENSION IF NOT EXISTS amcheck");
            const SqlRows indexes = readRows(db, "SELECT c.relname FROM pg_index i "
                                                 "JOIN pg_class c ON c.oid = i.indexrelid "
                                                 "JOIN pg_am m ON m.oid = c.relam "
                                                 "JOIN pg_namespace n ON n.oid = c.relnamespace "
                                                 "WHERE m.amname = 'btree' AND n.nspname = 'public' "
                                                 "ORDER BY c.relname");
            QVERIFY(!indexes.rows.isEmpty());
            for (const QVariantList& row : indexes.rows)
                execSql(db, "SELECT bt_index_check(?::regclass, true)", {row[0]});
        }
        int waits = 0;
        for (const auto& station : ws)
            waits += station.waits;
        qInfo("%d workstations, %d creations each, one killed: %lld ms, %d busy waits", kWorkstations, kEach,
              elapsed, waits);
    }
};

QTEST_GUILESS_MAIN(WorkstationsTest)
#include "test_workstations.moc"
