// The currencies: one base currency at rate 1, rates above 0, names given
// and unique, and a name in use by stored amounts neither changed nor
// deleted; a refused change writes nothing.

#include "catalogue/currencies.h"
#include "catalogue/texts.h"
#include "common/sql.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

namespace {

// The table as "name rate base", by name.
QStringList table(const QSqlDatabase& db) {
    QStringList out;
    QSqlQuery q = execSql(db, "SELECT Opisanie, Kurs, Osn FROM Valuti ORDER BY Opisanie");
    while (q.next())
        out << QStringLiteral("%1 %2 %3")
                   .arg(q.value(0).toString())
                   .arg(q.value(1).toDouble())
                   .arg(q.value(2).toString());
    return out;
}

// The new company database: Лева (base), BGL, EUR, USD.
const QStringList kFirstRows{"BGL 1 False", "EUR 1.95583 False", "USD 1.7 False", "Лева 1 True"};

} // namespace

Q_DECLARE_METATYPE(Currency)

class CurrenciesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() { fx_ = std::make_unique<test::Fixture>(); }
    void cleanup() { fx_.reset(); }

    void listAndLoad() {
        const SqlStatement s = currenciesStatement();
        const SqlRows rows = readRows(db(), s.text, s.values);
        QCOMPARE(rows.rows.size(), 4);
        QCOMPARE(rows.rows.front().front().toString(), "Лева"); // the base currency first
        QCOMPARE(loadCurrency(db(), "EUR"), (Currency{"EUR", Decimal("1.95583"), false}));
        QCOMPARE(loadCurrency(db(), "GBP"), std::nullopt);
    }

    // Input a rule refuses: nothing written, the field to correct named.
    void refusedInput_data() {
        QTest::addColumn<Currency>("currency");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty name") << Currency{"", 2, false} << int(CurrencyWrite::Name)
                                    << texts::kCurrencyNameEmpty;
        QTest::newRow("blank name") << Currency{"  ", 2, false} << int(CurrencyWrite::Name)
                                    << texts::kCurrencyNameEmpty;
        QTest::newRow("name too long") << Currency{QString(21, u'Щ'), 2, false} << int(CurrencyWrite::Name)
                                       << texts::kCurrencyNameTooLong.arg(20);
        QTest::newRow("same name") << Currency{"EUR", 2, false} << int(CurrencyWrite::Name)
                                   << texts::kCurrencyNameTaken.arg("EUR");
        QTest::newRow("same name, other case") << Currency{" лева ", 1, false} << int(CurrencyWrite::Name)
                                               << texts::kCurrencyNameTaken.arg("лева");
        QTest::newRow("rate 0") << Currency{"GBP", 0, false} << int(CurrencyWrite::Rate)
                                << texts::kCurrencyRateInvalid;
        QTest::newRow("negative rate") << Currency{"GBP", Decimal("-2.3"), false} << int(CurrencyWrite::Rate)
                                       << texts::kCurrencyRateInvalid;
        QTest::newRow("base not at 1") << Currency{"EUR2", Decimal("1.95583"), true}
                                       << int(CurrencyWrite::Rate) << texts::kCurrencyBaseRate;
    }
    void refusedInput() {
        QFETCH(Currency, currency);
        QFETCH(int, field);
        QFETCH(QString, message);
        const CurrencyWrite added = insertCurrency(db(), currency);
        QCOMPARE(int(added.field), field);
        QCOMPARE(added.refusal, message);
        // The same values as a change of USD; a name taken by USD itself is
        // no clash.
        const CurrencyWrite changed = updateCurrency(db(), "USD", currency);
        QCOMPARE(int(changed.field), field);
        QCOMPARE(changed.refusal, message);
        QCOMPARE(table(db()), kFirstRows);
    }

    void addAndChange() {
        QVERIFY(insertCurrency(db(), {" GBP ", Decimal("2.28"), false}).stored());
        QCOMPARE(loadCurrency(db(), "GBP"), (Currency{"GBP", Decimal("2.28"), false}));
        // Its own name in another case is a rename, not a clash.
        QVERIFY(updateCurrency(db(), "GBP", {"gbp", Decimal("2.3"), false}).stored());
        QCOMPARE(loadCurrency(db(), "gbp"), (Currency{"gbp", Decimal("2.3"), false}));
        QCOMPARE(loadCurrency(db(), "GBP"), std::nullopt);
        QCOMPARE(updateCurrency(db(), "CHF", {"CHF", 2, false}).refusal, texts::kCurrencyGone.arg("CHF"));
    }

    // There is always exactly one base currency: it moves by giving the
    // mark to another currency, never by taking it away.
    void oneBaseCurrency() {
        QCOMPARE(updateCurrency(db(), "Лева", {"Лева", 1, false}).field, CurrencyWrite::Base);
        QCOMPARE(updateCurrency(db(), "Лева", {"Лева", Decimal("1.2"), true}).field, CurrencyWrite::Rate);
        QCOMPARE(table(db()), kFirstRows);

        QVERIFY(updateCurrency(db(), "BGL", {"BGL", 1, true}).stored());
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Valuti WHERE Osn = 'True'").toString(), "BGL");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Valuti WHERE Osn = 'True'").toInt(), 1);

        QVERIFY(insertCurrency(db(), {"EUR лв", 1, true}).stored());
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Valuti WHERE Osn = 'True'").toString(), "EUR лв");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Valuti WHERE Osn = 'True'").toInt(), 1);
        QCOMPARE(deleteCurrency(db(), "EUR лв").refusal, texts::kCurrencyBaseNotDeleted);
    }

    // A currency that stored amounts name keeps its name and stays; its
    // rate still changes. The message says where it is used.
    void currencyInUse_data() {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("use");
        QTest::newRow("article price")
            << "INSERT INTO Produkti (ID, Valuta_P, Valuta_D) VALUES (1, 'USD', 'Лева')"
            << texts::kCurrencyUsedByArticles;
        QTest::newRow("article delivery price")
            << "INSERT INTO Produkti (ID, Valuta_P, Valuta_D) VALUES (1, 'Лева', 'USD')"
            << texts::kCurrencyUsedByArticles;
        QTest::newRow("pending sale line")
            << "INSERT INTO Prodajbi_Vremenni (Barkod, Valuta) VALUES (1, 'USD')"
            << texts::kCurrencyUsedByPendingSales;
        QTest::newRow("completed sale")
            << "INSERT INTO Prodajbi (ID_Prodajba, Valuta) VALUES (1, 'USD')" << texts::kCurrencyUsedBySales;
        QTest::newRow("delivery line") << "INSERT INTO Dostavka_Art (ID_Dostavka, Valuta_D) VALUES (1, 'USD')"
                                       << texts::kCurrencyUsedByDeliveries;
        QTest::newRow("repair") << "INSERT INTO R_Remont (Valuta) VALUES ('USD')"
                                << texts::kCurrencyUsedByRepairs;
    }
    void currencyInUse() {
        QFETCH(QString, amount);
        QFETCH(QString, use);
        execSql(db(), amount);
        QCOMPARE(currencyUses(db(), "USD"), QStringList{use});
        QCOMPARE(currencyUses(db(), "EUR"), QStringList{});

        const CurrencyWrite renamed = updateCurrency(db(), "USD", {"Долар", Decimal("1.7"), false});
        QCOMPARE(renamed.field, CurrencyWrite::Name);
        QCOMPARE(renamed.refusal, texts::kCurrencyInUseRename.arg("USD", use));
        QCOMPARE(deleteCurrency(db(), "USD").refusal, texts::kCurrencyInUseDelete.arg("USD", use));
        QCOMPARE(table(db()), kFirstRows);

        QVERIFY(updateCurrency(db(), "USD", {"USD", Decimal("1.72"), false}).stored());
        QCOMPARE(loadCurrency(db(), "USD")->rate, Decimal("1.72"));
        // An unused currency goes.
        QVERIFY(deleteCurrency(db(), "EUR").stored());
        QCOMPARE(loadCurrency(db(), "EUR"), std::nullopt);
        QCOMPARE(deleteCurrency(db(), "EUR").refusal, texts::kCurrencyGone.arg("EUR"));
    }

    // Every use is named once.
    void severalUses() {
        execSql(db(), "INSERT INTO Produkti (ID, Valuta_P, Valuta_D) VALUES (1, 'EUR', 'EUR')");
        execSql(db(), "INSERT INTO Prodajbi (ID_Prodajba, Valuta) VALUES (1, 'EUR')");
        QCOMPARE(currencyUses(db(), "EUR"),
                 QStringList({texts::kCurrencyUsedByArticles, texts::kCurrencyUsedBySales}));
    }
};

QTEST_GUILESS_MAIN(CurrenciesTest)
#include "test_currencies.moc"
