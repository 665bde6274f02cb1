// What choosing a sale counterparty does to the operator's pending lines:
// the discount of each article and the counterparty's own article numbers.

#include "common/sql.h"
#include "sales/sale_counterparty.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

namespace {

void addFirm(const QSqlDatabase& db, qint64 id, const QString& name, double discount) {
    execSql(db,
            QStringLiteral("INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, T_O, ID_Mol, Nomer_Grupa) "
                           "VALUES (?, ?, '0', '0', ?, ?, 0)"),
            {id, name, discount, id});
}

} // namespace

class SaleCounterpartyTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() { fx_ = std::make_unique<test::Fixture>(); }
    void cleanup() { fx_.reset(); }

    void discountOfAnArticle() {
        addFirm(db(), 5, "Клиент", 5);
        execSql(db(),
                "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa) VALUES (10, 'Чай', 2), (11, 'Кафе', 2), "
                "(12, 'Захар', 3)");
        execSql(db(), "INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O) VALUES "
                      "(5, 'G', 2, 3), (5, 'A', 10, -1.5), (6, 'A', 12, 50)");
        QCOMPARE(counterpartyDiscount(db(), 5, 10), Decimal("-1.5")); // the article's own
        QCOMPARE(counterpartyDiscount(db(), 5, 11), Decimal(3));      // its group's
        QCOMPARE(counterpartyDiscount(db(), 5, 12), Decimal(5));      // the standing discount
        execSql(db(), "DROP TABLE Sp_Otstapka");
        QCOMPARE(counterpartyDiscount(db(), 0, 10), Decimal(0)); // none chosen: no table read
    }

    // The lines of the operator's current bill change; his other bills and
    // the other operators' lines keep theirs.
    void pendingLines() {
        addFirm(db(), 5, "Клиент", 12.345678);
        execSql(db(), "INSERT INTO Prodajbi_Vremenni (Barkod, Operator, T_O, Nomenkl_N, Sm_N) VALUES "
                      "(10, 'Иван', 0, '0', 0), (11, 'Иван', 0, '0', 0), (10, 'Иван', 0, '0', 0), "
                      "(10, 'Мария', 0, '0', 0), (10, 'Иван', 0, '0', 4), (12, 'Иван', 0, '0', 4)");
        execSql(db(),
                "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (10, 'K-10', 5), (11, 'X', 6)");
        const QList<qint64> articles = pendingArticles(db(), "Иван", 0);
        QCOMPARE(articles, (QList<qint64>{10, 11}));
        QCOMPARE(pendingArticles(db(), "Иван", 4), (QList<qint64>{10, 12}));
        updatePendingLines(db(), "Иван", 0, 5, articles, {true, false});
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE T_O = 12.3457").toInt(), 3);
        QCOMPARE(scalarSql(db(), "SELECT T_O FROM Prodajbi_Vremenni WHERE Operator = 'Мария'").toDouble(),
                 0.0);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE Sm_N = 4 AND T_O = 0").toInt(),
                 2);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE Nomenkl_N = '0'").toInt(), 6);
        updatePendingLines(db(), "Иван", 0, 5, articles, {false, true});
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE Nomenkl_N = 'K-10'").toInt(),
                 2);
        QCOMPARE(scalarSql(db(), "SELECT Nomenkl_N FROM Prodajbi_Vremenni WHERE Barkod = 11").toString(), "");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE Sm_N = 4 AND Nomenkl_N = '0'")
                     .toInt(),
                 2);
        QCOMPARE(
            scalarSql(db(), "SELECT Nomenkl_N FROM Prodajbi_Vremenni WHERE Operator = 'Мария'").toString(),
            "0");
    }
};

QTEST_GUILESS_MAIN(SaleCounterpartyTest)
#include "test_sale_counterparty.moc"
