// Moving a company to the server: a company made on SQLite, with
// counterparties, operators and its text files, copied into a new
// PostgreSQL database; the copy logs in with the same operators and finds
// the same counterparties. A failed or cancelled copy leaves nothing.

#include "common/errors.h"
#include "common/sql.h"
#include "counterparties/counterparties.h"
#include "sales/sale_completion.h"
#include "shell/company_databases.h"
#include "shell/database_copy.h"
#include "shell/nts_script.h"
#include "shell/operators.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

using namespace torvika;

namespace {

// Gives up after a number of rows, as an operator's cancel would.
class CancelAfter : public Progress {
public:
    explicit CancelAfter(int rows) : rows_(rows) {}
    void start(int maximum) override { maximum_ = maximum; }
    void setValue(int value) override { value_ = value; }
    bool cancelled() override { return rows_ >= 0 && value_ >= rows_; }
    void finish() override {}
    int maximum_ = 0;
    int value_ = 0;

private:
    int rows_;
};

QString serverName(const char* what) {
    return QStringLiteral("torvika_copy_%1_%2").arg(QCoreApplication::applicationPid()).arg(what);
}

} // namespace

class CopyDatabaseTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> source_; // a SQLite company database
    Alias target_;

private slots:
    void initTestCase() {
        if (!test::onPostgres())
            QSKIP("copying to a server needs the PostgreSQL test server");
    }

    void init() {
        // The source is a SQLite company, whatever engine the fixtures use.
        qunsetenv("TORVIKA_TEST_ENGINE");
        source_ = std::make_unique<test::Fixture>();
        qputenv("TORVIKA_TEST_ENGINE", "postgres");
        const QSqlDatabase db = source_->db();
        insertOperator(db, "Касиер", "тайна", "0=0,");
        for (const QString& name : {QStringLiteral("Агротех ЕООД"), QStringLiteral("Родопа Трейд ООД"),
                                    QStringLiteral("ЕТ Мария Колева")}) {
            FirmCard firm;
            firm.name = name;
            firm.discount = Decimal("2.5");
            createCounterparty(db, firm, PersonCard{name, {}, {}, {}, QStringLiteral("0")}, 0);
        }
        execSql(db, "UPDATE Produkti SET Snimka = ? WHERE 1 = 0", {QByteArray("\x00\x01", 2)});
        execSql(db, "INSERT INTO Produkti (ID, Opisanie, Snimka) VALUES (?, ?, ?)",
                {5, "Чаша", QByteArray("\x89PNG\x00\xff", 6)});
        source_->writeFile("Data/Opis_Kontrag.pdt", "0:Всички контрагенти\r\n\t1:Клиенти\r\n");
        target_ = test::testServer();
        target_.path = QDir::cleanPath(source_->root() + "Server");
    }

    void cleanup() {
        if (!target_.database.isEmpty())
            dropServerDatabase(target_, QString());
        source_.reset();
    }

    void everyRowAndFileComesAlong() {
        target_.database = serverName("whole");
        CancelAfter never(-1);
        const CopyReport r =
            copyCompanyDatabase(source_->session().programDir, source_->alias(), target_, QString(), never);
        QVERIFY(r.tables > 40);
        QCOMPARE(never.maximum_, int(r.rows));

        QSqlDatabase copy = openCompanyConnection("copy", target_);
        for (const char* table : {"Firmi", "Klienti", "Operators", "Valuti", "Sklad", "Produkti"})
            QCOMPARE(scalarSql(copy, QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(),
                     scalarSql(source_->db(), QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt());
        // Keys go on beyond the copied ones; the version is the program's.
        const qint64 key = insertOperator(copy, "Нов", "1", "0=0,");
        QVERIFY(key > scalarSql(source_->db(), "SELECT MAX(ID) FROM Operators").toLongLong());
        QCOMPARE(storedDatabaseVersion(copy), storedDatabaseVersion(source_->db()));
        QCOMPARE(scalarSql(copy, "SELECT Snimka FROM Produkti WHERE ID = 5").toByteArray(),
                 QByteArray("\x89PNG\x00\xff", 6));
        // The same operators log in; the same counterparties are found in any letter case.
        QVERIFY(checkCredentials(copy, "Касиер", "тайна"));
        QVERIFY(!checkCredentials(copy, "Касиер", "друга"));
        for (const QString& text : {QStringLiteral("трейд"), QStringLiteral("ТРЕЙД"), QStringLiteral("агро")})
            QCOMPARE(quickSearch(copy, text, QuickSearchPage::Service),
                     quickSearch(source_->db(), text, QuickSearchPage::Service));
        QCOMPARE(quickSearch(copy, "ТрЕйД", QuickSearchPage::Service).size(), 1);
        copy = QSqlDatabase();
        closeConnection("copy");
        QCOMPARE(test::Fixture::readFile(target_.path + "/Opis_Kontrag.pdt"),
                 QByteArray("0:Всички контрагенти\r\n\t1:Клиенти\r\n"));
        QVERIFY(!QFile::exists(target_.path + "/Torvika.db"));
    }

    // Sales made before the move keep their numbers; the server's sale lines
    // take numbers past every one ever taken: past the recorded sales (whose
    // pending lines are gone), the invalidated one and the lines cancelled
    // last, which only SQLite's own record remembers. The same for the
    // intake numbers of the service desk.
    void numbersGoOnPastEveryOneTaken() {
        const QSqlDatabase src = source_->db();
        execSql(src, "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('лв.', 1, 'False')");
        execSql(src, "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, "
                     "Dan_Grup, Prigotvq_Se) VALUES (7, 'Хляб', 1, 2, 'лв.', 'бр.', 0, 2, 0)");
        SaleContext context;
        context.operatorName = "Иван";
        auto enter = [](const QSqlDatabase& db, const SaleContext& c) {
            return enterLine(db, c, {7, 1, 2, {}, {}}).line;
        };
        auto sell = [](const QSqlDatabase& db, const QList<qint64>& lines) {
            SaleRequest r;
            r.operatorName = "Иван";
            r.lines = lines;
            r.warehouse = 1;
            r.amountDue = Decimal(2) * qint64(lines.size());
            r.when = QDateTime::currentDateTime();
            return recordSale(db, r).status == SaleResult::Sold;
        };
        QList<qint64> lines;
        for (int i = 0; i < 45; ++i)
            lines << enter(src, context);
        // Lines 1 to 10 stay pending; 11 to 40 are sold, three a sale; 41
        // is sold and invalidated; 42 to 45 are cancelled.
        for (int i = 10; i < 40; i += 3)
            QVERIFY(sell(src, lines.mid(i, 3)));
        QVERIFY(sell(src, {lines[40]}));
        execSql(src,
                "INSERT INTO Invalidate_Sales SELECT ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, "
                "Kol, ED_Cena, Valuta, ID_Klient, T_O, Pored_Ot, Pored_Do, Konsign_N, Type_Pay, Term_N, "
                "'Върната стока', 'Иван', D_Prodajba, T_Prodajba, Sklad_ID, 'False', UNP, NULL FROM Prodajbi "
                "WHERE ID_Prodajba = ?",
                {lines[40]});
        execSql(src, "DELETE FROM Prodajbi WHERE ID_Prodajba = ?", {lines[40]});
        execSql(src, "DELETE FROM Prodajbi_Vremenni WHERE N_Prodajba > ?", {lines[39]});
        const qint64 highest = lines.last();
        // The service desk: one line being taken in, items in service and archived.
        execSql(src, "INSERT INTO Priem_Ser_Vremen (N_Prodajba, Barkod, Operator) VALUES (1, 7, 'Иван')");
        execSql(src, "INSERT INTO Priem_Ser (N_Prodajba, Barkod, Operator) VALUES (6, 7, 'Иван')");
        execSql(src, "INSERT INTO R_Priem (N_Priem, Barkod, Operator) VALUES (9, 7, 'Иван')");

        target_.database = serverName("numbers");
        CancelAfter never(-1);
        copyCompanyDatabase(source_->session().programDir, source_->alias(), target_, QString(), never);
        QSqlDatabase copy = openCompanyConnection("copy", target_);
        // Thirty sales on the server, of the new lines and of the pending ones.
        QList<qint64> sold = lines.mid(0, 10);
        for (int i = 0; i < 20; ++i)
            sold << enter(copy, context);
        for (qint64 line : sold)
            QVERIFY(sell(copy, {line}));
        const SqlRows repeated = readRows(
            copy, "SELECT ID_Prodajba, COUNT(*) FROM (SELECT ID_Prodajba FROM Prodajbi UNION ALL "
                  "SELECT ID_Prodajba FROM Invalidate_Sales) AS N GROUP BY ID_Prodajba HAVING COUNT(*) > 1");
        QVERIFY2(repeated.rows.isEmpty(), qPrintable(QString("ID_Prodajba %1 held %2 times")
                                                         .arg(repeated.rows.value(0).value(0).toString(),
                                                              repeated.rows.value(0).value(1).toString())));
        QCOMPARE(scalarSql(copy, "SELECT COUNT(*) FROM Prodajbi").toInt(), 60);
        QVERIFY(sold[10] > highest); // not even the numbers only SQLite remembers
        QVERIFY(insertReturningKey(copy, "INSERT INTO Priem_Ser_Vremen (Barkod, Operator) VALUES (7, 'Иван')",
                                   {}, "N_Prodajba") > 9);
        copy = QSqlDatabase();
        closeConnection("copy");
    }

    // A cancel, an existing database of that name or a source of another
    // version: nothing is left on the server or in the target directory.
    void failuresLeaveNothing_data() {
        QTest::addColumn<QString>("cause");
        QTest::newRow("cancelled halfway") << "cancel";
        QTest::newRow("database already there") << "exists";
        QTest::newRow("source not updated") << "old";
        QTest::newRow("not a company database") << "empty";
    }
    void failuresLeaveNothing() {
        QFETCH(QString, cause);
        target_.database = serverName("failed");
        CancelAfter progress(cause == "cancel" ? 5 : -1);
        Alias from = source_->alias();
        if (cause == "exists")
            createServerDatabaseOnly(target_, QString());
        if (cause == "old")
            execSql(source_->db(), "UPDATE DB_Info SET Value = '3' WHERE Name = 'Ver'");
        if (cause == "empty") {
            QDir().mkpath(source_->root() + "Empty");
            from = sqliteAlias(source_->root() + "Empty");
            source_->writeFile("Empty/Torvika.db", QByteArray());
        }
        QVERIFY_THROWS_EXCEPTION(
            Error, copyCompanyDatabase(source_->session().programDir, from, target_, QString(), progress));
        QCOMPARE(serverDatabaseExists(target_, QString()), cause == "exists");
        QVERIFY(!QFile::exists(target_.path + "/Opis_Kontrag.pdt"));
    }

    void commandLineAddress() {
        const Alias a =
            serverAliasFromText("host=/run/pg port=6543 dbname=firma user=ivan sslmode=require dir=/srv/f");
        QCOMPARE(a.host, "/run/pg");
        QCOMPARE(a.port, 6543);
        QCOMPARE(a.database, "firma");
        QCOMPARE(a.user, "ivan");
        QCOMPARE(a.sslMode, "require");
        QCOMPARE(a.path, "/srv/f");
        QVERIFY(a.isPostgres());
        QVERIFY_THROWS_EXCEPTION(EConvertError, serverAliasFromText("host=x dbname=firma"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, serverAliasFromText("host=x dbname=f dir=/d colour=blue"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, serverAliasFromText("dbname"));
    }
};

QTEST_GUILESS_MAIN(CopyDatabaseTest)
#include "test_copy_database.moc"
