// Stock revision on either engine: the lines being counted (one per
// article, the books' quantity kept exactly from when the line was made),
// the count file read and written, saving with the number taken under the
// lock and the stock moved by the difference, and the saved revisions.

#include "catalogue/revision.h"
#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "common/cp1251.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "common/texts.h"
#include "support/fixture.h"
#include "support/fuzz.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>
#include <memory>

using namespace torvika;

namespace {

// Cancels at the first look.
class CancelAtOnce : public Progress {
public:
    void start(int) override {}
    void setValue(int) override {}
    bool cancelled() override { return true; }
    void finish() override {}
};

// The index of a column of the rows (PostgreSQL names them in lower case).
int column(const SqlRows& rows, const QString& name) {
    for (int i = 0; i < rows.fields.size(); ++i)
        if (rows.fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

class RevisionTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    void article(qint64 id, const QString& name, const char* price, const QString& currency = "Лева") {
        execSql(db(),
                "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Mqrka) "
                "VALUES (?, ?, 1, ?, ?, ?, 'бр.')",
                {id, QString::number(id), name, numberColumnValue(Decimal(price)), currency});
    }
    QString file(const QString& name, const QByteArray& bytes) {
        return fx_->writeFile("TEMP/" + name, bytes);
    }
    Decimal stock(qint64 article, qint64 warehouse = 1) {
        return stockIn(db(), article, warehouse).value_or(Decimal(-999));
    }
    // "article:recorded:counted" for each line, in entry order.
    QStringList lines(const RevisionDraft& d) {
        QStringList out;
        const SqlRows rows = readRows(
            db(), QStringLiteral("SELECT Art_ID, Nal_Kol, Otkr_Kol FROM %1 ORDER BY Nomer").arg(d.table()));
        for (const QVariantList& r : rows.rows)
            out << QStringLiteral("%1:%2:%3")
                       .arg(r[0].toString(), fromNumberColumn(r[1], 6).toString(),
                            fromNumberColumn(r[2]).toString());
        return out;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Напитки')");
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Бус')");
        article(1024, "Кабел 2:1", "2.50");
        article(7, "Вода", "1.20");
        article(8, "Сок", "3", "EUR");
    }
    void cleanup() { fx_.reset(); }

    // The books' quantity is kept exactly, not to two places; one article
    // counted twice is one line whose count is the sum; the warehouse is
    // fixed once lines exist; the reasons offered.
    void linesOfTheDraft() {
        GET_NALI4NOST(db(), 7, 1, kSetStock, Decimal("2.125"));
        GET_NALI4NOST(db(), 7, 2, kSetStock, Decimal("40"));
        RevisionDraft draft(db(), 2);
        QVERIFY(draft.setWarehouse(1));
        QCOMPARE(draft.recordedQuantity(7), Decimal("2.125"));
        QVERIFY(draft.addCount(7, Decimal("1.5")));
        QVERIFY(draft.addCount(1024, Decimal(0)));
        QVERIFY(draft.addCount(7, Decimal("0.25")));
        QVERIFY(!draft.addCount(555, Decimal(1)));
        QCOMPARE(lines(draft), QStringList({"7:2.125:1.75", "1024:0:0"}));
        QVERIFY(!draft.setWarehouse(2));
        QCOMPARE(draft.warehouse(), 1);
        draft.setCount(1024, Decimal("3"));
        QCOMPARE(draft.countedQuantity(1024), std::optional<Decimal>(Decimal(3)));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, draft.addCount(7, Decimal("-1")));
        draft.removeLines({7});
        QCOMPARE(draft.articles(), QList<qint64>({1024}));
        draft.clear();
        QVERIFY(draft.isEmpty());
        QVERIFY(draft.setWarehouse(2));

        QCOMPARE(revisionReasons(db()), QStringList({kRevisionDefaultReason}));
        execSql(db(), "INSERT INTO Revision (ID, Osnovanie) VALUES (1, 'Годишна'), (2, 'Справка налично'), "
                      "(3, 'Брак'), (4, 'Годишна')");
        QCOMPARE(revisionReasons(db()), QStringList({kRevisionDefaultReason, "Брак", "Годишна"}));
        QCOMPARE(expectedRevisionNumber(db()), 5);
    }

    // The values in the base currency at the currencies' rates; a line
    // whose currency has no rate is shown and counted apart, never hidden.
    void totals() {
        article(9, "Мистерия", "10", "XYZ");
        GET_NALI4NOST(db(), 7, 1, kSetStock, 10);
        GET_NALI4NOST(db(), 8, 1, kSetStock, 2);
        RevisionDraft draft(db(), 1);
        draft.addCount(7, 8);              // 10 * 1.20 recorded, 8 * 1.20 found
        draft.addCount(8, Decimal("2.5")); // 2 * 3 EUR recorded, 2.5 * 3 EUR found
        draft.addCount(9, 1);
        const RevisionTotals t = draft.totals();
        QCOMPARE(t.recorded, Decimal("12") + Decimal("6") * Decimal("1.95583"));
        QCOMPARE(t.counted, Decimal("9.6") + Decimal("7.5") * Decimal("1.95583"));
        QCOMPARE(t.difference(), t.counted - t.recorded);
        QCOMPARE(t.unvalued, 1);
        const SqlStatement s = draft.linesStatement();
        const SqlRows rows = readRows(db(), s.text, s.values);
        QCOMPARE(rows.rows.size(), 3);
        QCOMPARE(fromNumberColumn(rows.rows[0][column(rows, "Difrents")]), Decimal(-2));
        QVERIFY(rows.rows[2][column(rows, "Otkr_Sum")].isNull());
    }

    // A count file, in Windows-1251 or UTF-8: fields in any order, "," or
    // "." in the count; an article on several lines is counted once with
    // the sum; every line that is not a valid count is listed and left out.
    void readsACountFile() {
        const QString text = "1:[1024]2:[7.5]\r\n"
                             "2:[2,5]\t1:[7]\r\n"
                             "\r\n"
                             "1:[1024]\t2:[0.5]\t9:[Кабел 2:1]\r\n"
                             "1:[7]\r\n"
                             "1:[7]2:[]\r\n"
                             "1:[abc]2:[1]\r\n"
                             "1:[7]2:[-1]\r\n"
                             "1:[999]2:[1]\r\n"
                             "1:[8]2:[4\r\n"
                             "2:[3]\r\n";
        const QStringList problems = {
            texts::kCountLineLeftOut.arg("5", texts::kImportMissingField.arg(2)),
            texts::kCountLineLeftOut.arg("6", texts::kImportEmptyField.arg(2)),
            texts::kCountLineLeftOut.arg("7",
                                         texts::kImportNotAWholeNumber.arg("1", "abc", "1", "2147483647")),
            texts::kCountLineLeftOut.arg("8", texts::kImportBelow.arg("2", "-1", "0")),
            texts::kCountLineLeftOut.arg("9", texts::kImportNoSuchArticle.arg(999)),
            texts::kCountLineLeftOut.arg("10", texts::kImportUnterminated.arg("2")),
            texts::kCountLineLeftOut.arg("11", texts::kImportMissingField.arg(1)),
        };
        for (const QByteArray& bytes : {toCp1251(text), "\xEF\xBB\xBF" + text.toUtf8()}) {
            RevisionDraft draft(db(), 1);
            NoProgress progress;
            const CountFileImport r = draft.importCountFile(file("count.txt", bytes), progress);
            QCOMPARE(r.lines, 3);
            QCOMPARE(r.articles, 2);
            QCOMPARE(r.problems, problems);
            QCOMPARE(lines(draft), QStringList({"1024:0:8", "7:0:2.5"}));
        }
        // A cancelled reading adds nothing; a file that is no text is refused.
        RevisionDraft draft(db(), 1);
        CancelAtOnce cancel;
        QVERIFY(draft.importCountFile(file("count.txt", toCp1251(text)), cancel).cancelled);
        QVERIFY(draft.isEmpty());
        NoProgress progress;
        QVERIFY_THROWS_EXCEPTION(EConvertError,
                                 draft.importCountFile(file("bin.txt", QByteArray("1:[7]\0", 6)), progress));
    }

    // The count file's reader on mutated files: never a crash or a hang,
    // a refused file is the program's own error, and only the articles
    // that exist get lines.
    void fuzzedCountFiles() {
        const QString path = fx_->writeFile("TEMP/fuzz.txt", "");
        const QList<QByteArray> seeds = {"1:[1024]2:[7.5]\r\n2:[2,5]\t1:[7]\r\n1:[8]\t2:[0.125]\t3:[4]\r\n",
                                         QByteArray("\xEF\xBB\xBF") + "1:[7]2:[1]\n1:[7]2:[3]\n"};
        const auto result = torvika::test::fuzz(seeds, 1000, [&](const QByteArray& bytes) {
            QFile f(path);
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(bytes);
            f.close();
            RevisionDraft draft(db(), 1);
            NoProgress progress;
            const CountFileImport r = draft.importCountFile(path, progress);
            for (const qint64 a : draft.articles())
                if (a != 1024 && a != 7 && a != 8)
                    throw std::logic_error("a line for an article that does not exist");
            if (draft.lineCount() != r.articles)
                throw std::logic_error("the lines are not the articles read");
        });
        QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
    }

    // "ЕКСПОРТ" writes 1 article, 2 counted, 3 recorded; "ИМПОРТ" reads it back.
    void countFileRoundTrip() {
        GET_NALI4NOST(db(), 1024, 1, kSetStock, Decimal("3.000125"));
        RevisionDraft draft(db(), 1);
        draft.addCount(1024, Decimal("7.5"));
        draft.addCount(7, Decimal("12"));
        const QString path = fx_->root() + "TEMP/out.txt";
        QDir().mkpath(fx_->root() + "TEMP");
        draft.exportCountFile(path);
        QCOMPARE(test::Fixture::readFile(path), QByteArray("1:[1024]\t2:[7.5]\t3:[3.000125]\r\n"
                                                           "1:[7]\t2:[12]\t3:[0]\r\n"));
        RevisionDraft again(db(), 1);
        NoProgress progress;
        QCOMPARE(again.importCountFile(path, progress).problems, QStringList());
        QCOMPARE(lines(again), lines(draft));
        QVERIFY_THROWS_EXCEPTION(EInOutError, draft.exportCountFile(fx_->root() + "no/such/dir/x.txt"));
    }

    // Saving moves the stock by found - recorded: a sale made on another
    // workstation after the article was counted stays sold; an article
    // without a stock row in the warehouse gets one. The revision and its
    // lines keep both quantities exactly.
    void savingKeepsLaterSales() {
        GET_NALI4NOST(db(), 7, 1, kSetStock, 10);
        GET_NALI4NOST(db(), 7, 2, kSetStock, 5);
        RevisionDraft draft(db(), 1);
        draft.addCount(7, 8);
        draft.addCount(1024, Decimal("7.5"));
        {
            QSqlDatabase other = fx_->openWorkstation("other");
            GET_NALI4NOST(other, 7, 1, kAddStock, Decimal("-2")); // sold after the count
        }
        QSqlDatabase::removeDatabase("other");
        const std::optional<qint64> number =
            draft.save(QDate(2024, 3, 1), QTime(9, 30, 5), QStringLiteral("Годишна"));
        QCOMPARE(number, std::optional<qint64>(1));
        QVERIFY(draft.isEmpty());
        QCOMPARE(stock(7), Decimal(6));
        QCOMPARE(stock(7, 2), Decimal(5));
        QCOMPARE(stock(1024), Decimal("7.5"));
        const SqlRows saved =
            readRows(db(), "SELECT ID, Date_Rev, Time_Rev, Osnovanie, Sklad_ID FROM Revision");
        QCOMPARE(saved.rows.size(), 1);
        QCOMPARE(saved.rows[0][1].toString(), QStringLiteral("2024-03-01"));
        QCOMPARE(saved.rows[0][2].toString(), QStringLiteral("09:30:05"));
        QCOMPARE(saved.rows[0][3].toString(), QStringLiteral("Годишна"));
        QCOMPARE(saved.rows[0][4].toLongLong(), 1);
        const SqlRows art =
            readRows(db(), "SELECT Art_ID, Nal_Kol, Otkr_Kol, Mqrka, Ed_Cena, Valuta FROM Revision_Art "
                           "WHERE ID_Rev = 1 ORDER BY Art_ID");
        QCOMPARE(art.rows.size(), 2);
        QCOMPARE(fromNumberColumn(art.rows[0][1]), Decimal(10));
        QCOMPARE(fromNumberColumn(art.rows[0][2]), Decimal(8));
        QCOMPARE(art.rows[1][0].toLongLong(), 1024);
        QCOMPARE(fromNumberColumn(art.rows[1][4]), Decimal("2.5"));

        // The saved revisions and their lines.
        const SqlStatement list = revisionListStatement({QDate(2024, 1, 1), QDate(2024, 12, 31), 1});
        const SqlRows listed = readRows(db(), list.text, list.values);
        QCOMPARE(listed.rows.size(), 1);
        QCOMPARE(listed.rows[0][column(listed, "Art_Count")].toInt(), 2);
        QCOMPARE(listed.rows[0][column(listed, "Opis_Sklad")].toString(), QStringLiteral("Основен склад"));
        const SqlStatement other = revisionListStatement({QDate(2024, 1, 1), QDate(2024, 12, 31), 2});
        QCOMPARE(readRows(db(), other.text, other.values).rows.size(), 0);
        const SqlStatement ls = revisionLinesStatement(1);
        const SqlRows shown = readRows(db(), ls.text, ls.values);
        QCOMPARE(shown.rows[0][column(shown, "Art_Opis")].toString(), QStringLiteral("Вода"));
        const RevisionTotals t = revisionTotals(db(), 1);
        QCOMPARE(t.recorded, Decimal(12));
        QCOMPARE(t.counted, Decimal("9.6") + Decimal("18.75"));

        // Nothing to save; a reason too long; an article gone meanwhile
        // refuses the whole save.
        QCOMPARE(draft.save(QDate::currentDate(), QTime::currentTime(), "x"), std::nullopt);
        draft.addCount(8, 1);
        QVERIFY_THROWS_EXCEPTION(EConvertError, draft.save(QDate::currentDate(), QTime(), QString(16, u'я')));
        execSql(db(), "DELETE FROM Produkti WHERE ID = 8");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, draft.save(QDate::currentDate(), QTime(), "x"));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Revision").toInt(), 1);
        QVERIFY(!stockIn(db(), 8, 1));
    }

    // The number is taken when saving, under the lock: a revision opened
    // earlier and saved while another workstation's save is in progress
    // waits for it and takes the next number.
    void numberTakenWhenSaving() {
        RevisionDraft draft(db(), 1);
        draft.addCount(7, 1);
        std::optional<qint64> mine;
        QString failure;
        {
            QSqlDatabase other = fx_->openWorkstation("other");
            QSqlQuery o(other);
            QVERIFY(o.exec(test::onPostgres() ? "BEGIN" : "BEGIN IMMEDIATE"));
            if (test::onPostgres())
                QVERIFY(o.exec("LOCK TABLE Revision IN SHARE ROW EXCLUSIVE MODE"));
            QVERIFY(o.exec("INSERT INTO Revision (ID, Sklad_ID) VALUES (1, 1)"));
            QThread* saver = QThread::create([&] {
                {
                    QSqlDatabase db = fx_->openWorkstation("mine");
                    try {
                        RevisionDraft d(db, 1);
                        d.addCount(1024, 2);
                        mine = d.save(QDate::currentDate(), QTime::currentTime(), "x");
                    } catch (const std::exception& e) {
                        failure = QString::fromUtf8(e.what());
                    }
                }
                QSqlDatabase::removeDatabase("mine");
            });
            saver->start();
            saver->wait(QDeadlineTimer(1000));
            QVERIFY(o.exec("COMMIT"));
            QVERIFY(saver->wait(QDeadlineTimer(120000)));
            delete saver;
        }
        QSqlDatabase::removeDatabase("other");
        QCOMPARE(failure, QString());
        QCOMPARE(mine, std::optional<qint64>(2));
        QCOMPARE(draft.save(QDate::currentDate(), QTime::currentTime(), "x"), std::optional<qint64>(3));
    }
};

QTEST_GUILESS_MAIN(RevisionTest)
#include "test_revision.moc"
