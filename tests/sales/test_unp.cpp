// The unique sale number: its form, the operator's code in it, and the
// device's sequence, which two tills selling at once never repeat or skip
// and a sale rolled back does not use up.

#include "common/errors.h"
#include "common/sql.h"
#include "sales/receipt_lines.h"
#include "sales/sale_completion.h"
#include "sales/sales_report.h"
#include "sales/unp.h"
#include "shell/operators.h"
#include "support/fixture.h"

#include <QSet>
#include <QTest>
#include <QThread>

using namespace torvika;

class UnpTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    SaleContext context(const QString& op) {
        SaleContext c;
        c.operatorName = op;
        c.terminal = 3;
        c.vatRates = VatRates::uniform(20);
        return c;
    }
    qint64 enter(const QSqlDatabase& conn, const QString& op) {
        return enterLine(conn, context(op), {10, Decimal(1), Decimal(2), {}, {}}).line;
    }
    SaleResult sell(const QSqlDatabase& conn, const QString& op, const QString& device) {
        SaleRequest r;
        r.operatorName = op;
        r.lines = {enter(conn, op)};
        r.counterparty = 0;
        r.warehouse = 1;
        r.amountDue = Decimal(2);
        r.when = QDateTime(QDate(2026, 12, 10), QTime(9, 30, 5));
        r.fiscalDevice = device;
        return recordSale(conn, r);
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "DELETE FROM Valuti");
        execSql(db(), "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('лв.', 1, 'True')");
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, "
                      "Dan_Grup, Prigotvq_Se) VALUES (10, 'Чай', 1, 2, 'лв.', 'бр.', 0, 2, 0)");
    }
    void cleanup() { fx_.reset(); }

    void form_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("device");
        QTest::addColumn<bool>("code");
        QTest::addColumn<bool>("whole");
        QTest::newRow("device") << "DT279013" << true << false << false;
        QTest::newRow("device lower case") << "dt279013" << false << false << false;
        QTest::newRow("device short") << "DT27901" << false << false << false;
        QTest::newRow("device Cyrillic") << "ДТ279013" << false << false << false;
        QTest::newRow("code digits") << "0001" << false << true << false;
        QTest::newRow("code letters") << "AB1C" << false << true << false;
        QTest::newRow("code five") << "AB1CD" << false << false << false;
        QTest::newRow("whole") << "DT279013-0001-0000001" << false << false << true;
        QTest::newRow("whole six digits") << "DT279013-0001-000001" << false << false << false;
        QTest::newRow("whole lower code") << "DT279013-ab01-0000001" << false << false << false;
        QTest::newRow("whole trailing") << "DT279013-0001-0000001 " << false << false << false;
    }
    void form() {
        QFETCH(QString, text);
        QFETCH(bool, device);
        QFETCH(bool, code);
        QCOMPARE(isFiscalDeviceNumber(text), device);
        QCOMPARE(isOperatorCode(text), code);
        QFETCH(bool, whole);
        QCOMPARE(isUniqueSaleNumber(text), whole);
        QCOMPARE(uniqueSaleNumber("DT279013", "0001", 42), "DT279013-0001-0000042");
    }

    // The operator's own code, or its number in four digits; a code that
    // is not one is refused and nothing stored.
    void operatorCodes() {
        const qint64 ana = insertOperator(db(), "Ана", "1", "0=0,", "an01");
        const qint64 boris = insertOperator(db(), "Борис", "1", "0=0,");
        QCOMPARE(findOperatorById(db(), ana)->code, "AN01");
        QCOMPARE(operatorCodeFor(db(), "Ана"), "AN01");
        QCOMPARE(operatorCodeFor(db(), "Борис"), QString("%1").arg(boris, 4, 10, QChar('0')));
        QCOMPARE(operatorCodeFor(db(), "Никой"), "0000");
        QVERIFY_THROWS_EXCEPTION(Error, insertOperator(db(), "Вера", "1", "0=0,", "АБ12"));
        QVERIFY_THROWS_EXCEPTION(Error, updateOperator(db(), ana, "Ана", std::nullopt, "0=0,", "A-01"));
        QCOMPARE(findOperatorById(db(), ana)->code, "AN01");
        updateOperator(db(), ana, "Ана", std::nullopt, "0=0,", "");
        QCOMPARE(findOperatorById(db(), ana)->code, "");
    }

    // Every row of a sale carries its number; each device counts on its
    // own; a device number that is not one records nothing.
    void saleCarriesTheNumber() {
        insertOperator(db(), "Ана", "1", "0=0,", "AN01");
        const SaleResult first = sell(db(), "Ана", "DT279013");
        QCOMPARE(first.unp, "DT279013-AN01-0000001");
        QCOMPARE(sell(db(), "Ана", "DT279013").unp, "DT279013-AN01-0000002");
        QCOMPARE(sell(db(), "Ана", "ZK000001").unp, "ZK000001-AN01-0000001");
        QCOMPARE(sell(db(), "Ана", "").unp, "");
        QCOMPARE(scalarSql(db(), "SELECT UNP FROM Prodajbi WHERE ID_Prodajba = ?", {first.sold[0].number})
                     .toString(),
                 first.unp);
        QVERIFY_THROWS_EXCEPTION(EConvertError, sell(db(), "Ана", "dt27901"));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi").toInt(), 4);

        // The sales report finds a sale by its number or a part of it.
        SalesReportCriteria c;
        c.uniqueSaleNumber = "an01-0000002";
        const SqlStatement s = salesReportStatement(c, 2);
        const SqlRows rows = readRows(db(), s.text, s.values);
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(rows.rows[0].value(21).toString(), "DT279013-AN01-0000002");

        // The receipt file prints it after the operator.
        BonHeader header{"3", "Ана", "0", first.unp};
        const QStringList lines = receiptFileLines(kBonFiscal, 0, header, {}, Decimal());
        QCOMPARE(lines.value(2), ":УНП: DT279013-AN01-0000001");
    }

    // A sale rolled back gives its number back: the next sale takes it.
    void rolledBackSaleTakesNoNumber() {
        {
            Transaction t(db());
            QCOMPARE(takeSaleSequence(db(), "DT279013"), 1);
        }
        QCOMPARE(sell(db(), "Ана", "DT279013").unp, "DT279013-0000-0000001");
    }

    // Two tills selling on one device at the same moment: every number
    // from 1 up is taken once.
    void twoTillsNeverRepeatOrSkip() {
        constexpr int kSales = 15;
        QList<QStringList> numbers(2);
        QList<QString> failures(2);
        QList<QThread*> threads;
        for (int i = 0; i < 2; ++i)
            threads << QThread::create([&, i] {
                const QString name = QString("till %1").arg(i);
                {
                    QSqlDatabase conn = fx_->openWorkstation(name);
                    try {
                        for (int n = 0; n < kSales; ++n)
                            numbers[i] << sell(conn, i == 0 ? "Ана" : "Борис", "DT279013").unp;
                    } catch (const std::exception& e) {
                        failures[i] = QString::fromUtf8(e.what());
                    }
                }
                QSqlDatabase::removeDatabase(name);
            });
        for (QThread* t : threads)
            t->start();
        for (QThread* t : threads) {
            QVERIFY(t->wait(120000));
            delete t;
        }
        QCOMPARE(failures, QList<QString>(2));
        QSet<int> taken;
        for (const QStringList& till : numbers)
            for (const QString& unp : till) {
                QVERIFY2(isUniqueSaleNumber(unp), qPrintable(unp));
                taken.insert(unp.right(7).toInt());
            }
        QCOMPARE(taken.size(), 2 * kSales);
        for (int n = 1; n <= 2 * kSales; ++n)
            QVERIFY(taken.contains(n));
        QCOMPARE(scalarSql(db(), "SELECT Posleden FROM Fisk_UNP WHERE FU_Nomer = 'DT279013'").toInt(),
                 2 * kSales);
    }
};

QTEST_MAIN(UnpTest)
#include "test_unp.moc"
