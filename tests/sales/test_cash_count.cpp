// The cash desk count: the cash this terminal took today (cash sales and
// instalments, foreign lines converted; bank transfers, other terminals
// and other days apart), exact in cents, the report byte for byte, and a
// report file written whole or not at all.

#include "common/errors.h"
#include "common/sql.h"
#include "sales/cash_count.h"
#include "support/fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace torvika;

namespace {

void record(const QSqlDatabase& db, qint64 id, const char* date, int terminal, double quantity, double price,
            const char* currency, const char* pay, double discount = 0) {
    execSql(
        db,
        "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, ED_Cena, Valuta, "
        "ID_Klient, T_O, Konsign_N, Pored_Ot, Pored_Do, Type_Pay, Term_N, Sklad_ID) "
        "VALUES (?, 10, 'Иван', ?, '10:00:00', ?, ?, ?, 0, ?, 0, '', '', ?, ?, 1)",
        {id, QString::fromLatin1(date), quantity, price, QString::fromUtf8(currency), discount,
         QString::fromUtf8(pay), terminal});
}

QList<qint64> counts(std::initializer_list<std::pair<const char*, qint64>> given, const CashCurrency& c) {
    QList<qint64> out(c.denominations.size(), 0);
    for (const auto& [field, n] : given)
        for (int i = 0; i < c.denominations.size(); ++i)
            if (c.denominations[i].field == QLatin1String(field))
                out[i] = n;
    return out;
}

} // namespace

class CashCountTest : public QObject {
    Q_OBJECT

private slots:
    void turnover() {
        test::Fixture fx;
        const QDate today(2025, 3, 4);
        QCOMPARE(cashTurnover(fx.db(), today, 1, 2).cash, Decimal());
        record(fx.db(), 1, "2025-03-04", 1, 2, 2.5, "Лева", "в брой");
        record(fx.db(), 2, "2025-03-04", 1, 1, 3, "BGL", "в брой"); // an instalment paid here
        record(fx.db(), 3, "2025-03-04", 1, 2, 10, "EUR", "в брой", 10);
        record(fx.db(), 4, "2025-03-04", 1, 1, 100, "Лева", "по банков път");
        record(fx.db(), 5, "2025-03-04", 2, 1, 7, "Лева", "в брой");
        record(fx.db(), 6, "2025-03-03", 1, 1, 7, "Лева", "в брой");
        record(fx.db(), 7, "2025-03-04", 1, 1, 9, "Лева", "отложено плащане");
        record(fx.db(), 8, "2025-03-04", 1, 1, 9, "GBP", "в брой");
        const Turnover t = cashTurnover(fx.db(), today, 1, 2);
        // 5.00 + 3.00 + 35.20
        QCOMPARE(t.cash, Decimal("43.20"));
        QCOMPARE(t.currenciesWithoutRate, QStringList{"GBP"});
        QCOMPARE(cashTurnover(fx.db(), today, 2, 2).cash, Decimal("7.00"));
    }

    void inHand_data() {
        QTest::addColumn<QList<qint64>>("counts");
        QTest::addColumn<QString>("total");
        const CashCurrency lev = levCash();
        QTest::newRow("three 2 leva and a 50 stotinki")
            << counts({{"SpEdit_2lv", 3}, {"SpEdit_50st", 1}}, lev) << "6.50";
        QTest::newRow("cents exact") << counts({{"SpEdit_10st", 3}, {"SpEdit_20st", 1}}, lev) << "0.50";
        QTest::newRow("every kind once") << QList<qint64>(13, 1) << "188.88";
        QTest::newRow("nothing") << QList<qint64>{} << "0";
    }
    void inHand() {
        QFETCH(QList<qint64>, counts);
        QFETCH(QString, total);
        QCOMPARE(cashInHand(levCash(), counts), Decimal(total));
    }

    // The euro's coins and notes replace the lev's with the base currency.
    void currencies() {
        QCOMPARE(cashCurrencyFor("Лева").denominations.size(), 13);
        QCOMPARE(cashCurrencyFor("Лева").denominations.first().field, "SpEdit_1st");
        const CashCurrency euro = cashCurrencyFor("EUR");
        QCOMPARE(euro.word, "Евро");
        QCOMPARE(euro.denominations.size(), 15);
        QCOMPARE(euro.denominations.last().value, Decimal(500));
        QCOMPARE(cashInHand(euro, counts({{"SpEdit_2eur", 2}, {"SpEdit_200eur", 1}}, euro)), Decimal(204));
    }

    // The count of 6.50 against a turnover of 7.00.
    void report() {
        CashCountReport r;
        r.now = QDateTime(QDate(2025, 3, 4), QTime(18, 30, 1));
        r.turnover = Decimal(7);
        r.currency = levCash();
        r.counts = counts({{"SpEdit_2lv", 3}, {"SpEdit_50st", 1}}, r.currency);
        r.inHand = cashInHand(r.currency, r.counts);
        r.operatorPanel = "Оператор: Иван";
        QCOMPARE(cashCountReport(r), (QStringList{"ОТЧЕТ - КАСА",
                                                  "ЗА ДАТА: 04.03.2025 18:30:01",
                                                  "СУМА ОБОРОТ: 7.00 Лева",
                                                  "НАЛИЧНОСТ: 6.50 Лева",
                                                  "Оператор: Иван",
                                                  "",
                                                  "ВАЛУТЕН ОПИС",
                                                  "-------------------------",
                                                  "0 x 0.01  = 0.00",
                                                  "0 x 0.02  = 0.00",
                                                  "0 x 0.05  = 0.00",
                                                  "0 x 0.10  = 0.00",
                                                  "0 x 0.20  = 0.00",
                                                  "1 x 0.50  = 0.50",
                                                  "0 x 1.00  = 0.00",
                                                  "3 x 2.00  = 6.00",
                                                  "0 x 5.00  = 0.00",
                                                  "0 x 10.00  = 0.00",
                                                  "0 x 20.00  = 0.00",
                                                  "0 x 50.00  = 0.00",
                                                  "0 x 100.00  = 0.00",
                                                  "-------------------------",
                                                  "ОБЩО: 6.50"}));
    }

    // Written whole, in place of the one before; a file that cannot be
    // written is named with the reason, and nothing is left behind.
    void reportFile() {
        test::Fixture fx(false);
        const QString path = fx.root() + "TEMP/Account.tmp";
        writeReportFile(path, {"ОТЧЕТ - КАСА", "ОБЩО: 6.50"});
        QCOMPARE(test::Fixture::readFile(path), QByteArray("ОТЧЕТ - КАСА\r\nОБЩО: 6.50\r\n"));
        // A directory in the file's place: the report cannot go there.
        const QString taken = fx.root() + "TEMP/Taken.tmp";
        QVERIFY(QDir().mkpath(taken));
        try {
            writeReportFile(taken, {"друг"});
            QFAIL("no error");
        } catch (const EInOutError& e) {
            QVERIFY2(e.message().contains("Taken.tmp"), qPrintable(e.message()));
        }
        QVERIFY(QFileInfo(taken).isDir());
        QCOMPARE(QDir(fx.root() + "TEMP").entryList(QDir::Files), QStringList{"Account.tmp"});
    }
};

QTEST_GUILESS_MAIN(CashCountTest)
#include "test_cash_count.moc"
