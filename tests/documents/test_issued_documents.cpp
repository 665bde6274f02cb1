// The register of issued documents searched and read back, and the
// operator's own queries: their check, their read-only run with its row cap,
// time limit and cancel, their store and their totals.

#include "common/sql.h"
#include "documents/issued_documents.h"
#include "documents/own_queries.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "support/fixture.h"

#include <QTest>
#include <QThread>

using namespace torvika;

namespace {

// Registers one line of a document, as a print does.
void issue(const QSqlDatabase& db, qint64 line, qint64 kind, const QString& number, qint64 counterparty,
           qint64 article, const QString& op, const QString& date, int place = kIssuedInShop) {
    execSql(db,
            "INSERT INTO Printed_Dok (ID_Prod, ID_Dok, ID_Kontrag, ID_Art, N_Dok, Operator, Data, fTime, "
            "Ot_Kade_Prod) VALUES (?, ?, ?, ?, ?, ?, ?, '10:00:00', ?)",
            {line, kind, counterparty, article, number, op, date, place});
}

void recordSale(const QSqlDatabase& db, qint64 line, qint64 article, double kol, double price,
                const QString& currency, double discount) {
    execSql(db,
            "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, Kol, ED_Cena, Valuta, T_O) "
            "VALUES (?, ?, 'Иван', '2026-01-05', ?, ?, ?, ?)",
            {line, article, kol, price, currency, discount});
}

// Five documents: two invoices and a delivery note from the shop, an
// invoice from the service. Joined rows are missing on purpose: invoice 2
// has no counterparty and its line is not recorded yet; note 1's
// counterparty (7) and article (999) are gone and its currency has no rate.
struct Register {
    explicit Register(const QSqlDatabase& db) {
        execSql(db, "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol) VALUES (5, 'Алфа ООД', 0)");
        execSql(db, "INSERT INTO Produkti (ID, Opisanie, Dan_Grup) VALUES (100, 'Чай', 1), (101, 'Кафе', 3)");
        recordSale(db, 11, 100, 2, 10.0, "Лева", 0);
        recordSale(db, 12, 101, 1, 5.0, "EUR", 10);
        issue(db, 11, 1, "0000000001", 5, 100, "Иван", "2026-01-05");
        issue(db, 12, 1, "0000000001", 5, 101, "Иван", "2026-01-05");
        execSql(db, "INSERT INTO Prodajbi_Vremenni (N_Prodajba, Barkod, Opisanie, Kol, Ed_Cena, Valuta, "
                    "Operator, T_O) VALUES (21, 100, 'Чай', 3, 1.5, 'Лева', 'Мария', 0)");
        issue(db, 21, 1, "0000000002", 0, 100, "Мария", "2026-02-10");
        recordSale(db, 31, 999, 1, 7.0, "XYZ", 0);
        issue(db, 31, 2, "0000000001", 7, 999, "Иван", "2026-02-10");
        issue(db, 41, 1, "0000000003", 5, 100, "Иван", "2026-03-01", kIssuedInService);
    }
};

QStringList found(const QSqlDatabase& db, const IssuedDocumentFilter& filter) {
    const SqlStatement s = issuedDocumentsStatement(filter);
    QStringList out;
    for (const QVariantList& r : readRows(db, s.text, s.values).rows)
        out << r[0].toString() + u'/' + r[1].toString().right(1);
    out.sort();
    return out;
}

IssuedDocumentRef ref(qint64 kind, const QString& number, qint64 counterparty, const QString& date) {
    IssuedDocumentRef d;
    d.kind = kind;
    d.number = number;
    d.counterparty = counterparty;
    d.date = date;
    d.time = QStringLiteral("10:00:00");
    return d;
}

} // namespace

Q_DECLARE_METATYPE(IssuedDocumentFilter)

class TestIssuedDocuments : public QObject {
    Q_OBJECT
private slots:
    void search_data() {
        QTest::addColumn<IssuedDocumentFilter>("filter");
        QTest::addColumn<QStringList>("expected");
        const QStringList shop{"1/1", "1/2", "2/1"};
        IssuedDocumentFilter f;
        QTest::newRow("no filter: every shop document once") << f << shop;
        f = {};
        f.kind = 1;
        QTest::newRow("kind") << f << QStringList{"1/1", "1/2"};
        f = {};
        f.number = QStringLiteral("0000000001");
        QTest::newRow("number") << f << QStringList{"1/1", "2/1"};
        f = {};
        f.date = ValueComparison::Equal;
        f.dateFrom = QDate(2026, 2, 10);
        QTest::newRow("date equal") << f << QStringList{"1/2", "2/1"};
        f.date = ValueComparison::AtMost;
        f.dateFrom = QDate(2026, 1, 31);
        QTest::newRow("date at most") << f << QStringList{"1/1"};
        f.date = ValueComparison::AtLeast;
        f.dateFrom = QDate(2026, 2, 10);
        QTest::newRow("date at least") << f << QStringList{"1/2", "2/1"};
        f.date = ValueComparison::Between;
        f.dateFrom = QDate(2026, 1, 1);
        f.dateTo = QDate(2026, 2, 9);
        QTest::newRow("date between") << f << QStringList{"1/1"};
        f = {};
        f.counterparty = 0;
        QTest::newRow("issued without counterparty") << f << QStringList{"1/2"};
        f.counterparty = 7;
        QTest::newRow("counterparty that is gone") << f << QStringList{"2/1"};
        f = {};
        f.article = 101;
        QTest::newRow("article of one line") << f << QStringList{"1/1"};
        f = {};
        f.operatorName = QStringLiteral("Мария");
        QTest::newRow("operator") << f << QStringList{"1/2"};
        f = {};
        f.kind = 1;
        f.operatorName = QStringLiteral("Иван");
        f.date = ValueComparison::AtLeast;
        f.dateFrom = QDate(2026, 1, 1);
        QTest::newRow("filters together") << f << QStringList{"1/1"};
        f = {};
        f.place = kIssuedInService;
        QTest::newRow("service") << f << QStringList{"1/3"};
        f = {};
        f.number = QStringLiteral("' OR 1=1 --");
        QTest::newRow("typed text is a value") << f << QStringList{};
    }
    void search() {
        QFETCH(IssuedDocumentFilter, filter);
        QFETCH(QStringList, expected);
        test::Fixture fx;
        Register r(fx.db());
        QCOMPARE(found(fx.db(), filter), expected);
    }

    // The joined texts of a document; its rows come grouped, newest first.
    void searchRows() {
        test::Fixture fx;
        Register r(fx.db());
        const SqlStatement s = issuedDocumentsStatement({});
        const SqlRows rows = readRows(fx.db(), s.text, s.values);
        QCOMPARE(rows.rows.size(), 3);
        auto value = [&rows](int row, const char* field) {
            for (int i = 0; i < rows.fields.size(); ++i)
                if (rows.fields[i].compare(QLatin1String(field), Qt::CaseInsensitive) == 0)
                    return rows.rows[row][i];
            return QVariant();
        };
        QCOMPARE(value(2, "Data").toString(), QStringLiteral("2026-01-05"));
        QCOMPARE(value(2, "Opisanie").toString(), QStringLiteral("Фактура"));
        QCOMPARE(value(2, "Opisanie_K").toString(), QStringLiteral("Алфа ООД"));
        // A counterparty that is gone leaves the document with an empty name.
        for (int i = 0; i < 2; ++i)
            if (value(i, "ID_Dok").toInt() == 2)
                QVERIFY(value(i, "Opisanie_K").isNull());
        QSet<QString> keys;
        for (int i = 0; i < 3; ++i)
            keys.insert(value(i, "Doc_Key").toString());
        QCOMPARE(keys.size(), 3);
    }

    // The lines of a document: recorded ones, ones still in the sale list,
    // and ones whose article and currency are gone, each listed once.
    void lines() {
        test::Fixture fx;
        Register r(fx.db());
        auto linesOf = [&fx](const IssuedDocumentRef& d) {
            const SqlStatement s = issuedLinesStatement(d);
            return readRows(fx.db(), s.text, s.values);
        };
        const IssuedDocumentRef invoice = ref(1, "0000000001", 5, "2026-01-05");
        const SqlRows a = linesOf(invoice);
        QCOMPARE(a.rows.size(), 2);
        QCOMPARE(a.rows[0][2].toString(), QStringLiteral("Чай"));
        QCOMPARE(a.rows[0][7].toDouble(), 20.0);
        // 1 × 5 EUR at 1.95583, 10 % off: 8.80
        QCOMPARE(issuedDocumentTotal(fx.db(), invoice), Decimal("28.80"));
        QCOMPARE(issuedDocumentLines(fx.db(), invoice), (QList<qint64>{11, 12}));
        QVERIFY(issuedLinesRecorded(fx.db(), {11, 12}));

        const IssuedDocumentRef pending = ref(1, "0000000002", 0, "2026-02-10");
        const SqlRows b = linesOf(pending);
        QCOMPARE(b.rows.size(), 1);
        QCOMPARE(b.rows[0][3].toDouble(), 3.0);
        QCOMPARE(issuedDocumentTotal(fx.db(), pending), Decimal("4.50"));
        QVERIFY(!issuedLinesRecorded(fx.db(), {21}));

        const IssuedDocumentRef gone = ref(2, "0000000001", 7, "2026-02-10");
        const SqlRows c = linesOf(gone);
        QCOMPARE(c.rows.size(), 1);
        QVERIFY(c.rows[0][2].isNull());
        QVERIFY(c.rows[0][7].isNull());
        QCOMPARE(issuedDocumentTotal(fx.db(), gone), Decimal());

        // The amounts of a copy: each line at its article's tax group.
        const VatTotals amounts = issuedDocumentAmounts(fx.db(), invoice, VatRates::defaults());
        QCOMPARE(amounts.gross, Decimal("28.80"));
        QCOMPARE(amounts.rates.size(), 2);

        IssuedDocumentRef service = ref(1, "0000000003", 5, "2026-03-01");
        service.place = kIssuedInService;
        QCOMPARE(linesOf(service).rows.size(), 1);
    }

    void lists() {
        test::Fixture fx;
        execSql(fx.db(), "UPDATE Dokumenti SET N_Dok = '0' WHERE ID_Dokument = 3");
        QCOMPARE(numberedKindItems(fx.db()),
                 (QStringList{"1:Фактура", "2:Стокова разписка", "4:Кредитно известие"}));
        QCOMPARE(operatorNames(fx.db()).value(0), QStringLiteral("Администратор"));
    }

    // ---- own queries

    void check_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal"); // empty: accepted
        QTest::addColumn<QString>("statement");
        const QString selectOnly = texts::kOwnQuerySelectOnly;
        const QString one = texts::kOwnQueryOneStatement;
        QTest::newRow("delete") << "DELETE FROM Produkti" << selectOnly << "";
        QTest::newRow("update") << "update Produkti set Opisanie = 'x'" << selectOnly << "";
        QTest::newRow("pragma") << "PRAGMA writable_schema = ON" << selectOnly << "";
        QTest::newRow("insert after a comment")
            << "/* SELECT */ INSERT INTO Valuti VALUES ('a', 1, 'x')" << selectOnly << "";
        QTest::newRow("second statement") << "SELECT 1; DELETE FROM Produkti" << one << "";
        QTest::newRow("second statement after blanks") << "SELECT 1 ;\n\n  DROP TABLE Produkti" << one << "";
        QTest::newRow("two semicolons") << "SELECT 1;;" << one << "";
        QTest::newRow("empty") << "  \n " << texts::kOwnQueryEmpty << "";
        QTest::newRow("comment only") << "-- nothing" << texts::kOwnQueryEmpty << "";
        QTest::newRow("final semicolon") << "SELECT 1;\n"
                                         << ""
                                         << "SELECT 1";
        QTest::newRow("final semicolon and comment") << "select 1; -- done"
                                                     << ""
                                                     << "select 1";
        QTest::newRow("semicolon in a text") << "SELECT ';DELETE' AS x"
                                             << ""
                                             << "SELECT ';DELETE' AS x";
        QTest::newRow("semicolon in a name") << "SELECT 1 AS \"a;b\""
                                             << ""
                                             << "SELECT 1 AS \"a;b\"";
        QTest::newRow("semicolon in a comment") << "SELECT 1 /* ; */ -- ;\n"
                                                << ""
                                                << "SELECT 1 /* ; */ -- ;";
        QTest::newRow("with") << "WITH x AS (SELECT 1 AS a) SELECT a FROM x"
                              << ""
                              << "WITH x AS (SELECT 1 AS a) SELECT a FROM x";
        QTest::newRow("parenthesised union") << "(SELECT 1) UNION (SELECT 2)"
                                             << ""
                                             << "(SELECT 1) UNION (SELECT 2)";
        QTest::newRow("selected name") << "SELECTED" << selectOnly << "";
        // Functions that act on the server, other sessions or files, even
        // inside a read-only transaction.
        QTest::newRow("ends other sessions")
            << "SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
            << texts::kOwnQueryServerFunction.arg("pg_terminate_backend") << "";
        QTest::newRow("quoted function name")
            << "SELECT \"PG_CANCEL_BACKEND\"(1)" << texts::kOwnQueryServerFunction.arg("PG_CANCEL_BACKEND")
            << "";
        QTest::newRow("server file") << "select lo_import('/etc/passwd')"
                                     << texts::kOwnQueryServerFunction.arg("lo_import") << "";
        QTest::newRow("extension") << "SELECT load_extension('x')"
                                   << texts::kOwnQueryServerFunction.arg("load_extension") << "";
        QTest::newRow("function name as a text") << "SELECT 'pg_terminate_backend' AS f"
                                                 << ""
                                                 << "SELECT 'pg_terminate_backend' AS f";
    }
    void check() {
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        QFETCH(QString, statement);
        try {
            const QString checked = checkedOwnQuery(text);
            QVERIFY2(refusal.isEmpty(), qPrintable(checked));
            QCOMPARE(checked, statement);
        } catch (const EDocumentError& e) {
            QCOMPARE(e.message(), refusal);
        }
    }

    // The operator keeps the whole of SELECT: joins, grouping, a CTE, a union.
    void runsSelect() {
        test::Fixture fx;
        Register r(fx.db());
        const OwnQueryResult joined = runOwnQuery(
            fx.db(),
            "SELECT A.Opisanie, SUM(S.Kol) AS Kol\n FROM Prodajbi S JOIN Produkti A ON A.ID = S.ID_Art\n"
            " GROUP BY A.Opisanie ORDER BY A.Opisanie;");
        QCOMPARE(joined.fields.size(), 2);
        QCOMPARE(joined.rows.size(), 2);
        QCOMPARE(joined.rows[0][0].toString(), QStringLiteral("Кафе"));
        QVERIFY(!joined.capped);
        const OwnQueryResult cte =
            runOwnQuery(fx.db(), "WITH d AS (SELECT DISTINCT N_Dok FROM Printed_Dok) SELECT COUNT(*) FROM d "
                                 "UNION ALL SELECT COUNT(*) FROM Valuti");
        QCOMPARE(cte.rows.size(), 2);
        QCOMPARE(cte.rows[0][0].toInt(), 3);
    }

    // What the check lets through still cannot write: the connection is
    // read-only. A database error is given with the database's text.
    void refusedByTheDatabase() {
        test::Fixture fx;
        const qint64 before = scalarSql(fx.db(), "SELECT COUNT(*) FROM Valuti").toLongLong();
        QVERIFY_THROWS_EXCEPTION(
            EDocumentError,
            runOwnQuery(fx.db(), "WITH d AS (DELETE FROM Valuti RETURNING *) SELECT * FROM d"));
        QCOMPARE(scalarSql(fx.db(), "SELECT COUNT(*) FROM Valuti").toLongLong(), before);
        // Locking rows for a change is a write as well.
        QVERIFY_THROWS_EXCEPTION(EDocumentError, runOwnQuery(fx.db(), "SELECT * FROM Valuti FOR UPDATE"));
        try {
            runOwnQuery(fx.db(), "SELECT * FROM No_Such_Table");
            QFAIL("ran");
        } catch (const EDocumentError& e) {
            QVERIFY2(e.message().contains("no_such_table", Qt::CaseInsensitive), qPrintable(e.message()));
        }
        // Writes refused by the check leave the database as it was.
        for (const char* text :
             {"DELETE FROM Valuti", "SELECT 1; DELETE FROM Valuti", "PRAGMA writable_schema = ON"})
            QVERIFY_THROWS_EXCEPTION(EDocumentError, runOwnQuery(fx.db(), text));
        QCOMPARE(scalarSql(fx.db(), "SELECT COUNT(*) FROM Valuti").toLongLong(), before);
    }

    void rowCap() {
        test::Fixture fx;
        const QString numbers =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "SELECT i FROM n";
        OwnQueryLimits limits;
        limits.rowCap = 10;
        const OwnQueryResult over = runOwnQuery(fx.db(), numbers.arg(50), limits);
        QCOMPARE(over.rows.size(), 10);
        QVERIFY(over.capped);
        const OwnQueryResult exact = runOwnQuery(fx.db(), numbers.arg(10), limits);
        QCOMPARE(exact.rows.size(), 10);
        QVERIFY(!exact.capped);
    }

    // A query that would run for ever ends at its time limit, or at once
    // when cancelled.
    void timeLimitAndCancel() {
        test::Fixture fx;
        const QString endless =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT COUNT(*) FROM n";
        OwnQueryLimits limits;
        limits.timeoutMs = 300;
        OwnQueryRun timed(fx.db(), endless, limits);
        timed.start();
        timed.wait();
        QCOMPARE(timed.outcome(), OwnQueryRun::Outcome::TimedOut);
        QCOMPARE(timed.message(), texts::kOwnQueryTimedOut.arg(1));

        limits.timeoutMs = 120000;
        OwnQueryRun cancelled(fx.db(), endless, limits);
        QElapsedTimer clock;
        clock.start();
        cancelled.start();
        QThread::msleep(300);
        cancelled.cancel();
        cancelled.wait();
        QCOMPARE(cancelled.outcome(), OwnQueryRun::Outcome::Cancelled);
        QVERIFY(clock.elapsed() < 60000);
        QCOMPARE(cancelled.message(), texts::kOwnQueryCancelled);
        // The company connection works on.
        QCOMPARE(scalarSql(fx.db(), "SELECT COUNT(*) FROM Dokumenti").toInt(), 4);
    }

    void store() {
        test::Fixture fx(false);
        const QString path = fx.root() + "SQLs/Own_SQL.ini";
        OwnQueryStore queries(path);
        QCOMPARE(queries.items(), QStringList());
        const QString multiLine = "SELECT A.Opisanie,\r\n  SUM(S.Kol)\nFROM Prodajbi S -- a \\ b\n"
                                  "JOIN Produkti A ON A.ID = S.ID_Art GROUP BY A.Opisanie";
        QCOMPARE(queries.add("Продажби по артикул", multiLine), 1);
        QCOMPARE(queries.add("Валути", "SELECT * FROM Valuti"), 2);
        QCOMPARE(queries.items(), (QStringList{"1:Продажби по артикул", "2:Валути"}));
        QString expected = multiLine;
        expected.replace("\r\n", "\n");
        QCOMPARE(OwnQueryStore(path).statement(1), expected);
        QCOMPARE(queries.statement(ownQueryNumber("2:Валути")), QStringLiteral("SELECT * FROM Valuti"));
        // A file written by hand: a missing name, a missing statement.
        ProfileFile(path).writeInteger("Count", "Max", 3);
        QCOMPARE(queries.items().value(2), "3:" + texts::kNoQueryName);
        QCOMPARE(queries.statement(3), QString());
        QCOMPARE(queries.statement(0), QString());
    }

    void totals() {
        const QList<QVariantList> rows{
            {QVariant(1.5), QVariant("a")}, {QVariant(2), QVariant()}, {QVariant(), QVariant("b")}};
        const ColumnTotals t = columnTotals(rows, 0);
        QCOMPARE(*t.sum, Decimal("3.5"));
        QCOMPARE(*t.average, Decimal("1.75"));
        QVERIFY(isNumericColumn(rows, 0));
        QVERIFY(!isNumericColumn(rows, 1));
        const ColumnTotals none = columnTotals({}, 0);
        QVERIFY(!none.sum && !none.average);
    }
};

QTEST_GUILESS_MAIN(TestIssuedDocuments)
#include "test_issued_documents.moc"
