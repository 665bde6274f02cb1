// Tasks: the marks of the list, the order of the moments, the assigner,
// storing and the next occurrence of a repeated task, the search, the
// overdue count and the blank protocol.

#include "common/errors.h"
#include "common/grid_export.h"
#include "common/sql.h"
#include "support/fixture.h"
#include "tasks/tasks.h"

#include <QTest>

using namespace torvika;

namespace {

Task sampleTask(qint64 assigner = 7) {
    Task t;
    t.description = "Ремонт на каса";
    t.performers = "Иван, Петър";
    t.assigner = assigner;
    t.assignedDate = QDate(2026, 1, 10);
    t.assignedTime = QTime(9, 30);
    t.dueDate = QDate(2026, 1, 12);
    t.dueTime = QTime(17, 0);
    t.note = "ред 1\nред 2";
    return t;
}

} // namespace

class TasksTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    QList<qint64> listed(const SqlStatement& s) {
        QList<qint64> ids;
        for (const QVariantList& r : readRows(db(), s.text, s.values).rows)
            ids << r[0].toLongLong();
        return ids;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (7, 'Бета ООД', '0', 0)");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (8, 'Гама ЕТ', '0', 0)");
    }
    void cleanup() { fx_.reset(); }

    void marks_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("dueInDays");
        QTest::addColumn<int>("mark");
        QTest::newRow("assigned, due today") << "Възложен" << 0 << int(TaskMark::Overdue);
        QTest::newRow("assigned, due earlier, any case") << "възложен" << -3 << int(TaskMark::Overdue);
        QTest::newRow("assigned, due tomorrow") << "Възложен" << 1 << int(TaskMark::None);
        QTest::newRow("running, overdue") << "Изпълнява се" << -1 << int(TaskMark::Running);
        QTest::newRow("postponed") << "Отложен" << 5 << int(TaskMark::Postponed);
        QTest::newRow("done, overdue") << "Изпълнен" << -1 << int(TaskMark::None);
    }
    void marks() {
        QFETCH(QString, status);
        QFETCH(int, dueInDays);
        QFETCH(int, mark);
        const QDate today(2026, 3, 1);
        QCOMPARE(int(taskMark(status, today.addDays(dueInDays), today)), mark);
    }

    void refusals_data() {
        QTest::addColumn<QDate>("due");
        QTest::addColumn<QTime>("dueTime");
        QTest::addColumn<qint64>("assigner");
        QTest::addColumn<int>("field"); // -1: stored
        const QDate assigned(2026, 1, 10);
        QTest::newRow("a minute before, same day")
            << assigned << QTime(9, 29) << qint64(7) << int(TaskRefusal::DueTime);
        QTest::newRow("a minute after, same day") << assigned << QTime(9, 31) << qint64(7) << -1;
        QTest::newRow("5 February for 10 January") << QDate(2026, 2, 5) << QTime(8, 0) << qint64(7) << -1;
        QTest::newRow("the day before")
            << QDate(2026, 1, 9) << QTime(23, 0) << qint64(7) << int(TaskRefusal::DueDate);
        QTest::newRow("no assigner") << assigned << QTime(10, 0) << qint64(0) << int(TaskRefusal::Assigner);
        QTest::newRow("no such counterparty")
            << assigned << QTime(10, 0) << qint64(99) << int(TaskRefusal::Assigner);
    }
    void refusals() {
        QFETCH(QDate, due);
        QFETCH(QTime, dueTime);
        QFETCH(qint64, assigner);
        QFETCH(int, field);
        Task t = sampleTask(assigner);
        t.dueDate = due;
        t.dueTime = dueTime;
        const std::optional<TaskRefusal> r = taskRefusal(db(), t);
        QCOMPARE(r ? int(r->field) : -1, field);
        const qint64 before = scalarSql(db(), "SELECT COUNT(*) FROM Zada4i_Zadanie").toLongLong();
        if (field < 0) {
            QVERIFY(insertTask(db(), t) > 0);
        } else {
            QVERIFY_THROWS_EXCEPTION(EConvertError, insertTask(db(), t));
            QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Zada4i_Zadanie").toLongLong(), before);
        }
    }

    void repetition() {
        const QDateTime assigned(QDate(2026, 1, 31), QTime(23, 30));
        QVERIFY(!repeatedMoment(kOnce, assigned));
        QCOMPARE(*repeatedMoment(kHourly, assigned), QDateTime(QDate(2026, 2, 1), QTime(0, 30)));
        QCOMPARE(*repeatedMoment(kDaily, assigned), assigned.addDays(1));
        QCOMPARE(*repeatedMoment(kWeekly, assigned), QDateTime(QDate(2026, 2, 7), QTime(23, 30)));
        QCOMPARE(*repeatedMoment(kMonthly, assigned), assigned.addDays(30));
    }

    // Stored as typed, read back whole; a task whose assigner is gone is
    // not listed; a repeated task that becomes done makes one next
    // occurrence, moved on by its repetition, in the same step.
    void storeAndRepeat() {
        Task t = sampleTask();
        t.repetition = kWeekly;
        t.id = insertTask(db(), t);
        const Task loaded = *loadTask(db(), t.id);
        QCOMPARE(loaded.description, t.description);
        QCOMPARE(loaded.note, t.note);
        QCOMPARE(loaded.dueTime, t.dueTime);
        QCOMPARE(loaded.status, QStringLiteral("Възложен"));
        QCOMPARE(scalarSql(db(), "SELECT D_Izpalnenie FROM Zada4i_Zadanie WHERE ID = ?", {t.id}).toString(),
                 QStringLiteral("2026-01-12"));
        QCOMPARE(listed(tasksStatement()), QList<qint64>{t.id});

        t.status = "Изпълнява се";
        QVERIFY(!updateTask(db(), t));
        t.status = "Изпълнен";
        const std::optional<qint64> next = updateTask(db(), t);
        QVERIFY(next);
        const Task following = *loadTask(db(), *next);
        QCOMPARE(following.status, QStringLiteral("Възложен"));
        QCOMPARE(following.assignedDate, QDate(2026, 1, 17));
        QCOMPARE(following.dueDate, QDate(2026, 1, 19));
        QCOMPARE(following.dueTime, QTime(17, 0));
        QCOMPARE(following.repetition, int(kWeekly));
        // Saved again as done: no second occurrence.
        t.note = "още";
        QVERIFY(!updateTask(db(), t));
        QCOMPARE(listed(tasksStatement()), (QList<qint64>{t.id, *next}));

        execSql(db(), "DELETE FROM Firmi WHERE ID = 7");
        QCOMPARE(listed(tasksStatement()), QList<qint64>{});
        Task gone = sampleTask(8);
        gone.id = 12345;
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, updateTask(db(), gone));
    }

    void search() {
        Task a = sampleTask();
        a.description = "Смяна на ЧИП";
        const qint64 ida = insertTask(db(), a);
        Task b = sampleTask(8);
        b.description = "Почистване";
        b.dueDate = QDate(2026, 2, 1);
        b.dueTime = QTime(8, 15, 40);
        const qint64 idb = insertTask(db(), b);

        TaskSearch s;
        s.text = "чип";
        QCOMPARE(listed(taskSearchStatement(s)), QList<qint64>{ida});
        s.column = TaskColumn::Assigner;
        s.text = "гама";
        QCOMPARE(listed(taskSearchStatement(s)), QList<qint64>{idb});
        s.column = TaskColumn::DueDate;
        s.comparison = TaskComparison::Greater;
        s.fromDate = QDate(2026, 1, 12);
        QCOMPARE(listed(taskSearchStatement(s)), QList<qint64>{idb});
        s.comparison = TaskComparison::Between;
        s.toDate = QDate(2026, 2, 1);
        QCOMPARE(listed(taskSearchStatement(s)), (QList<qint64>{ida, idb}));
        s.column = TaskColumn::DueTime;
        s.comparison = TaskComparison::Equal;
        s.fromTime = QTime(8, 15);
        QCOMPARE(listed(taskSearchStatement(s)), QList<qint64>{idb});
        s.column = TaskColumn::Note;
        s.text = "  ";
        QVERIFY_THROWS_EXCEPTION(EConvertError, taskSearchStatement(s));
    }

    void overdueCount() {
        const QDate today(2026, 1, 12);
        insertTask(db(), sampleTask()); // due today, assigned
        Task running = sampleTask();
        running.status = "Изпълнява се";
        insertTask(db(), running);
        Task later = sampleTask();
        later.dueDate = QDate(2026, 1, 13);
        insertTask(db(), later);
        QCOMPARE(overdueTaskCount(db(), today), 1);
        QCOMPARE(overdueTaskCount(db(), today.addDays(-5)), 0);
    }

    void protocol() {
        TaskProtocol p;
        p.companyName = "Тест ООД";
        p.companyAddress = "ул. Роза 5";
        p.now = QDateTime(QDate(2026, 3, 4), QTime(10, 5, 6));
        p.task = sampleTask();
        p.task.id = 42;
        p.assignerText = "7:Бета ООД";
        const QStringList lines = taskProtocolLines(p);
        const QStringList expected{
            "\t",
            "\tТЕСТ ООД\tУЛ. РОЗА 5",
            "\t",
            "\tПРОТОКОЛ ЗА ИЗПЪЛНЕНИЕ НА ВЪЗЛОЖЕНА ДЕЙНОСТ \tДата:04.03.2026 10:05:06",
            "\tЗАДАНИЕ N:42\tОт дата:10.01.2026",
            "\tВЪЗЛОЖИТЕЛ: 7:Бета ООД",
            "\tЗАДАНИЕ: Ремонт на каса",
            "\tИЗПЪЛНИТЕЛИ: Иван, Петър",
            "\t",
            "\tПрестой:От ............. До ............. ",
            "\tТруд /на час/:...................",
            "\tРазстояние /в км/ :..............",
            "\t",
            "\t|N|------------------ВЛОЖЕНИ "
            "ЕЛЕМЕНТИ--------------------|---КОЛ---|--ЕД.ЦЕНА---|----ОБЩО----|",
            "\t|1|" + QString(54, '.') + "|" + QString(9, '.') + "|" + QString(12, '.') + "|" +
                QString(12, '.') + "|",
        };
        QCOMPARE(lines.mid(0, expected.size()), expected);
        QVERIFY(lines[17].startsWith("\t|4|"));
        QCOMPARE(lines[17].size(), lines[13].size());
        QCOMPARE(lines.last(), "\t" + footerLine());
        QVERIFY(lines.contains("\tДокумент N:................; От дата : ............ г"));
        const int sign = int(lines.indexOf(QRegularExpression("^\tВЪЗЛОЖИТЕЛ:\\.+ +ИЗПЪЛНИТЕЛ:\\.+$")));
        QVERIFY(sign > 0);
        QCOMPARE(lines[sign + 1].indexOf("/   име/подпис  /", 5), lines[sign].indexOf("ИЗПЪЛНИТЕЛ") + 3);
    }
};

QTEST_MAIN(TasksTest)
#include "test_tasks.moc"
