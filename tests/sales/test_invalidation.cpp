// Invalidating sale lines: the stored row copied whole with the reason,
// the operator, the time, its warehouse and whether its stock went back;
// exactly one row removed; the stock back into the warehouse it was sold
// from; payments and credit lines refused; the documents' numbers kept and
// marked annulled; two workstations at once give one invalidation. And the
// report of invalidated lines with every filter working.

#include "catalogue/stock.h"
#include "common/errors.h"
#include "common/sql.h"
#include "sales/invalidation.h"
#include "support/fixture.h"

#include <QTest>
#include <QThread>

using namespace torvika;

Q_DECLARE_METATYPE(torvika::InvalidatedCriteria)

namespace {

void record(const QSqlDatabase& db, qint64 id, qint64 article, double quantity, int warehouse,
            qint64 consignment = 0, qint64 counterparty = 15) {
    execSql(
        db,
        "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, ED_Cena, Valuta, "
        "ID_Klient, T_O, Konsign_N, Pored_Ot, Pored_Do, Type_Pay, Term_N, Sklad_ID) "
        "VALUES (?, ?, 'Иван', '2025-01-02', '10:00:00', ?, 2.5, 'Лева', ?, 5, ?, 'SN1', '12, месеца', "
        "'в брой', 3, ?)",
        {id, article, quantity, counterparty, consignment, warehouse});
}

int count(const QSqlDatabase& db, const char* table) {
    return scalarSql(db, QString("SELECT COUNT(*) FROM %1").arg(table)).toInt();
}

} // namespace

class InvalidationTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }
    double stock(qint64 article, int warehouse) {
        return stockIn(db(), article, warehouse).value_or(Decimal(-999)).toDouble();
    }
    InvalidationRequest request(const QList<LineInvalidation>& lines,
                                const QString& reason = "Върната стока") {
        return {lines, reason, "Мария", QDateTime(QDate(2025, 2, 3), QTime(16, 5, 4)), 1};
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P) VALUES "
                      "(10, 'Чай', 1, 2.5, 'Лева'), (11, 'Кафе', 1, 4, 'Лева')");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK) VALUES (15, 'Бип ЕТ', '121')");
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Втори склад')");
        GET_NALI4NOST(db(), 10, 1, kSetStock, Decimal(5));
        GET_NALI4NOST(db(), 10, 2, kSetStock, Decimal(5));
        record(db(), 1, 10, 2, 2);
        record(db(), 2, 11, 1, 1);
        record(db(), 3, 0, 1, 1);      // an instalment payment
        record(db(), 4, 10, 1, 1, 7);  // a credit line
        record(db(), 5, 10, 1, 1, -1); // a credit paid off
        execSql(db(), "INSERT INTO Prodajbi_Bon (ID_Prodajba, Bon_File) VALUES (1, '/srv/Fiscal/BON4.bon')");
    }
    void cleanup() { fx_.reset(); }

    // The line sold from warehouse 2 goes back there, whatever warehouse is
    // active; the copy is the stored row with the reason as typed.
    void invalidatesALine() {
        const QString reason = "Върната \"стока\" 'днес'";
        const InvalidationResult r = invalidateSales(db(), request({{1, true, false}}, reason));
        QCOMPARE(r.invalidated, QList<qint64>{1});
        QCOMPARE(count(db(), "Prodajbi"), 4);
        QCOMPARE(stock(10, 2), 7.0);
        QCOMPARE(stock(10, 1), 5.0);
        const SqlRows rows = readRows(
            db(),
            "SELECT ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, Ed_Cena, Valuta, ID_Klient, "
            "T_O, Pored_Ot, Pored_Do, Konsign_N, Type_pay, Term_N, Osnovanie, Anuliral, Date_Invalidate, "
            "Time_Invalidate, Sklad_ID, Stock_Back FROM Invalidate_Sales");
        QCOMPARE(rows.rows.size(), 1);
        const QVariantList& x = rows.rows[0];
        const QVariantList expected{1,      10,     "Иван",  "2025-01-02", "10:00:00",   2.0, 2.5,
                                    "Лева", 15,     5.0,     "SN1",        "12, месеца", 0,   "в брой",
                                    3,      reason, "Мария", "2025-02-03", "16:05:04",   2,   "True"};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(x[i].toString(), expected[i].toString());
        // The receipt that carried it stays recorded under its number.
        QCOMPARE(scalarSql(db(), "SELECT Bon_File FROM Prodajbi_Bon WHERE ID_Prodajba = 1").toString(),
                 "/srv/Fiscal/BON4.bon");
        // Once: a second invalidation of it finds it gone.
        const InvalidationResult again = invalidateSales(db(), request({{1, true, false}}));
        QCOMPARE(again.skipped, QList<qint64>{1});
        QCOMPARE(count(db(), "Invalidate_Sales"), 1);
        QCOMPARE(stock(10, 2), 7.0);
    }

    // Without the stock back: the stock stays, and the copy says so.
    void stockKept() {
        invalidateSales(db(), request({{2, false, false}}));
        QCOMPARE(stockIn(db(), 11, 1).has_value(), false);
        QCOMPARE(scalarSql(db(), "SELECT Stock_Back FROM Invalidate_Sales").toString(), "False");
    }

    // What each chosen line is, asked before anything is written: last
    // chosen first, each once.
    void candidates() {
        execSql(
            db(),
            "INSERT INTO Printed_Dok (ID_Prod, ID_Dok, ID_Kontrag, ID_Art, N_Dok, Operator, Data, "
            "fTime, Ot_Kade_Prod) VALUES (2, 1, 15, 11, '0000000003', 'Иван', '2025-01-02', '10:01:00', 1),"
            " (2, 1, 15, 11, '0000000003', 'Иван', '2025-01-02', '10:01:00', 2)");
        const QList<InvalidationCandidate> c = invalidationCandidates(db(), {1, 2, 3, 4, 5, 99, 2});
        QCOMPARE(c.size(), 6);
        QList<qint64> order;
        for (const InvalidationCandidate& x : c)
            order << x.sale;
        QCOMPARE(order, (QList<qint64>{2, 99, 5, 4, 3, 1}));
        QCOMPARE(c[0].status, InvalidationCandidate::Ready);
        QCOMPARE(c[0].description, "Кафе");
        QCOMPARE(c[0].documents.size(), 1);
        QCOMPARE(c[0].documents[0].kind, "Фактура");
        QCOMPARE(c[0].documents[0].number, "0000000003");
        QCOMPARE(c[1].status, InvalidationCandidate::Gone);
        QCOMPARE(c[2].status, InvalidationCandidate::Credit);
        QCOMPARE(c[3].status, InvalidationCandidate::Credit);
        QCOMPARE(c[4].status, InvalidationCandidate::Payment);
        QVERIFY(c[5].documents.isEmpty());
    }

    // Payments and credit lines are no goods: left as they are.
    void paymentsAndCreditsRefused() {
        const InvalidationResult r =
            invalidateSales(db(), request({{3, true, false}, {4, true, false}, {5, true, false}}));
        QVERIFY(r.invalidated.isEmpty());
        QCOMPARE(r.skipped, (QList<qint64>{3, 4, 5}));
        QCOMPARE(count(db(), "Prodajbi"), 5);
        QCOMPARE(count(db(), "Invalidate_Sales"), 0);
        QCOMPARE(stock(10, 1), 5.0);
    }

    void badRequestsWriteNothing() {
        QVERIFY_THROWS_EXCEPTION(EConvertError, invalidateSales(db(), request({{1, true, false}}, "  ")));
        // A number recorded twice: nothing of the invalidation stays.
        record(db(), 6, 11, 1, 1);
        record(db(), 6, 11, 1, 1);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                                 invalidateSales(db(), request({{1, true, false}, {6, true, false}})));
        QCOMPARE(count(db(), "Prodajbi"), 7);
        QCOMPARE(count(db(), "Invalidate_Sales"), 0);
        QCOMPARE(stock(10, 2), 5.0);
    }

    // Kept documents keep their numbers and are marked annulled.
    void documentsAnnulled() {
        execSql(
            db(),
            "INSERT INTO Printed_Dok (ID_Prod, ID_Dok, ID_Kontrag, ID_Art, N_Dok, Operator, Data, "
            "fTime, Ot_Kade_Prod) VALUES (1, 1, 15, 10, '0000000003', 'Иван', '2025-01-02', '10:01:00', 1),"
            " (2, 1, 15, 11, '0000000003', 'Иван', '2025-01-02', '10:01:00', 1)");
        const InvalidationResult r = invalidateSales(db(), request({{2, false, true}, {1, false, true}}));
        QCOMPARE(r.annulled.size(), 1);
        QCOMPARE(r.annulled[0].kind, "Фактура");
        QCOMPARE(r.annulled[0].number, "0000000003");
        QCOMPARE(r.annulled[0].counterparty, 15);
        QCOMPARE(r.annulled[0].lines, (QList<qint64>{2, 1}));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Printed_Dok WHERE Anulirano = 'True' AND N_Dok = "
                                 "'0000000003'")
                     .toInt(),
                 2);
        QVERIFY(invalidationCandidates(db(), {1}).first().documents.isEmpty());
    }

    // Two workstations invalidating the same line at the same moment: one
    // invalidation, one stock given back.
    void twoWorkstationsAtOnce() {
        QList<int> done(2, -1);
        QList<QThread*> threads;
        for (int i = 0; i < 2; ++i)
            threads << QThread::create([&, i] {
                const QString name = QString("workstation %1").arg(i);
                {
                    QSqlDatabase conn = fx_->openWorkstation(name);
                    done[i] = int(invalidateSales(conn, request({{1, true, false}})).invalidated.size());
                }
                QSqlDatabase::removeDatabase(name);
            });
        for (QThread* t : threads)
            t->start();
        for (QThread* t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }
        QCOMPARE(done[0] + done[1], 1);
        QCOMPARE(count(db(), "Invalidate_Sales"), 1);
        QCOMPARE(stock(10, 2), 7.0);
    }

    void report_data() {
        QTest::addColumn<InvalidatedCriteria>("criteria");
        QTest::addColumn<QList<qint64>>("found");
        InvalidatedCriteria x;
        QTest::newRow("all, the one without a counterparty too") << x << QList<qint64>{1, 2, 8};
        x.invalidatedBy = "Петър";
        QTest::newRow("invalidated by") << x << QList<qint64>{8};
        x = {};
        x.reason = "ГРЕШ";
        QTest::newRow("reason, any case") << x << QList<qint64>{2};
        x = {};
        x.invalidationDate = Range<QDate>{Comparison::Between, QDate(2025, 2, 4), QDate(2025, 2, 3)};
        QTest::newRow("invalidated between") << x << QList<qint64>{1, 2, 8};
        x.invalidationDate = Range<QDate>{Comparison::AtLeast, QDate(2025, 2, 4), {}};
        QTest::newRow("invalidated from") << x << QList<qint64>{8};
        x = {};
        x.invalidationTime = Range<QTime>{Comparison::AtMost, QTime(16, 5, 4), {}};
        QTest::newRow("invalidated up to the time") << x << QList<qint64>{1, 2};
        x = {};
        x.sale.amount = Range<Decimal>{Comparison::Equal, Decimal("4.75"), {}};
        QTest::newRow("amount") << x << QList<qint64>{1};
        x = {};
        x.sale.counterparty = 0;
        QTest::newRow("counterparty") << x << QList<qint64>{8};
        x = {};
        x.sale.articles = QList<qint64>{11};
        QTest::newRow("articles") << x << QList<qint64>{2};
    }
    void report() {
        QFETCH(InvalidatedCriteria, criteria);
        QFETCH(QList<qint64>, found);
        // Without the counterparty row of "no counterparty" its lines still show.
        execSql(db(), "DELETE FROM Firmi WHERE ID = 0");
        invalidateSales(db(), request({{1, false, false}}));
        invalidateSales(db(), request({{2, false, false}}, "Грешно маркиран"));
        record(db(), 8, 10, 1, 1, 0, 0);
        InvalidationRequest late = request({{8, false, false}});
        late.operatorName = "Петър";
        late.when = QDateTime(QDate(2025, 2, 4), QTime(18, 0));
        invalidateSales(db(), late);
        const SqlStatement s = invalidatedSalesStatement(criteria, 2);
        QList<qint64> got;
        for (const QVariantList& r : readRows(db(), s.text, s.values).rows)
            got << r[0].toLongLong();
        QCOMPARE(got, found);
    }
};

QTEST_GUILESS_MAIN(InvalidationTest)
#include "test_invalidation.moc"
