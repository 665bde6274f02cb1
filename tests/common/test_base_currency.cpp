// The base currency's kinds, the fixed lev/euro rate rounded once, and the
// dual text of an amount.

#include "common/base_currency.h"

#include <QTest>

using namespace torvika;

class BaseCurrencyTest : public QObject {
    Q_OBJECT
private slots:
    void kinds_data();
    void kinds();
    void levToEuroRoundsOnce_data();
    void levToEuroRoundsOnce();
    void euroToLev_data();
    void euroToLev();
    void dualText_data();
    void dualText();
    void namedBase();
    void dualDisplayDays_data();
    void dualDisplayDays();
};

void BaseCurrencyTest::dualDisplayDays_data() {
    QTest::addColumn<QString>("until");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<bool>("shown");
    QTest::newRow("before the first day") << "2026-12-31" << QDate(2025, 8, 7) << false;
    QTest::newRow("the first day") << "2026-12-31" << QDate(2025, 8, 8) << true;
    QTest::newRow("the last day") << "2026-12-31" << QDate(2026, 12, 31) << true;
    QTest::newRow("the day after") << "2026-12-31" << QDate(2027, 1, 1) << false;
    QTest::newRow("ended early") << "2026-08-08" << QDate(2026, 9, 1) << false;
    QTest::newRow("empty: never") << "" << QDate(2026, 1, 1) << false;
    QTest::newRow("unreadable: never") << "31.12.2026" << QDate(2026, 1, 1) << false;
}

void BaseCurrencyTest::dualDisplayDays() {
    QFETCH(QString, until);
    QFETCH(QDate, today);
    QFETCH(bool, shown);
    QCOMPARE(dualDisplayOn(until, today), shown);
    QCOMPARE(dualAmountToday(Decimal(10), CurrencyKind::Euro, until, today).isEmpty(), !shown);
    QCOMPARE(dualAmountToday(Decimal(10), CurrencyKind::Other, until, today), QString());
}

void BaseCurrencyTest::kinds_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::newRow("Лева") << "Лева" << int(CurrencyKind::Lev);
    QTest::newRow("BGL") << "BGL" << int(CurrencyKind::Lev);
    QTest::newRow("bgn blanks") << " bgn " << int(CurrencyKind::Lev);
    QTest::newRow("лв.") << "лв." << int(CurrencyKind::Lev);
    QTest::newRow("EUR") << "EUR" << int(CurrencyKind::Euro);
    QTest::newRow("евро") << "евро" << int(CurrencyKind::Euro);
    QTest::newRow("€") << "€" << int(CurrencyKind::Euro);
    QTest::newRow("USD") << "USD" << int(CurrencyKind::Other);
    QTest::newRow("empty") << "" << int(CurrencyKind::Other);
}

void BaseCurrencyTest::kinds() {
    QFETCH(QString, name);
    QFETCH(int, kind);
    QCOMPARE(int(currencyKind(name)), kind);
}

void BaseCurrencyTest::levToEuroRoundsOnce_data() {
    QTest::addColumn<QString>("leva");
    QTest::addColumn<QString>("euro");
    QTest::newRow("the rate itself") << "1.95583"
                                     << "1.00";
    QTest::newRow("1.955825 (0.99999744)") << "1.955825"
                                           << "1.00";
    QTest::newRow("one stotinka") << "0.01"
                                  << "0.01";
    QTest::newRow("0.009 (0.0046)") << "0.009"
                                    << "0.00";
    // 0.00977915 is exactly half a cent: half up.
    QTest::newRow("exactly half a cent") << "0.00977915"
                                         << "0.01";
    QTest::newRow("just below half a cent") << "0.00977914"
                                            << "0.00";
    QTest::newRow("negative half a cent") << "-0.00977915"
                                          << "-0.01";
    // Rounded once from the exact quotient: 2.9235 is 1.494762..., 1.49; a
    // rounding to thousandths first would give 1.495 and then 1.50.
    QTest::newRow("no double rounding") << "2.9235"
                                        << "1.49";
    QTest::newRow("9.99") << "9.99"
                          << "5.11";
    QTest::newRow("19.99") << "19.99"
                           << "10.22";
    QTest::newRow("2.93 (1.49808)") << "2.93"
                                    << "1.50";
    QTest::newRow("large") << "1000000000"
                           << "511291881.20";
    QTest::newRow("zero") << "0"
                          << "0.00";
}

void BaseCurrencyTest::levToEuroRoundsOnce() {
    QFETCH(QString, leva);
    QFETCH(QString, euro);
    QCOMPARE(levToEuro(Decimal(leva)).toFixed(2), euro);
}

void BaseCurrencyTest::euroToLev_data() {
    QTest::addColumn<QString>("euro");
    QTest::addColumn<QString>("leva");
    QTest::newRow("1") << "1"
                       << "1.96";
    QTest::newRow("10.00") << "10.00"
                           << "19.56";
    QTest::newRow("0.01") << "0.01"
                          << "0.02";
    QTest::newRow("large") << "511291881.20"
                           << "1000000000.01";
}

void BaseCurrencyTest::euroToLev() {
    QFETCH(QString, euro);
    QFETCH(QString, leva);
    QCOMPARE(torvika::euroToLev(Decimal(euro)).toFixed(2), leva);
}

void BaseCurrencyTest::dualText_data() {
    QTest::addColumn<QString>("amount");
    QTest::addColumn<int>("base");
    QTest::addColumn<QString>("expected");
    // Euro first whichever the base currency.
    QTest::newRow("euro base") << "10" << int(CurrencyKind::Euro) << "10.00 EUR / 19.56 лв.";
    QTest::newRow("lev base") << "19.56" << int(CurrencyKind::Lev) << "10.00 EUR / 19.56 лв.";
    // The equivalent is converted from the amount shown, not from 12.344999.
    QTest::newRow("shown amount first") << "12.345" << int(CurrencyKind::Euro) << "12.35 EUR / 24.15 лв.";
    QTest::newRow("zero") << "0" << int(CurrencyKind::Lev) << "0.00 EUR / 0.00 лв.";
    QTest::newRow("negative") << "-5" << int(CurrencyKind::Euro) << "-5.00 EUR / -9.78 лв.";
}

void BaseCurrencyTest::dualText() {
    QFETCH(QString, amount);
    QFETCH(int, base);
    QFETCH(QString, expected);
    QCOMPARE(dualAmountText(Decimal(amount), CurrencyKind(base)), expected);
}

void BaseCurrencyTest::namedBase() {
    const BaseCurrency euro = baseCurrencyNamed(QStringLiteral("Евро"));
    QVERIFY(euro.isEuro());
    QCOMPARE(euro.name, QStringLiteral("Евро"));
    QCOMPARE(euro.words.minor, QStringLiteral("цента"));
    QCOMPARE(euro.totalsCaption, QStringLiteral("Общо в евро"));
    const BaseCurrency lev = baseCurrencyNamed(QStringLiteral("BGL"));
    QCOMPARE(int(lev.kind), int(CurrencyKind::Lev));
    QCOMPARE(lev.words.major, QStringLiteral("лева"));
    QCOMPARE(lev.sign, QStringLiteral("лв."));
}

QTEST_GUILESS_MAIN(BaseCurrencyTest)
#include "test_base_currency.moc"
