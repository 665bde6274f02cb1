// The exact decimal: reading texts and database values, arithmetic and its
// limits, rounding half away from zero, and the printf-shaped amount texts.

#include "common/cformat.h"
#include "common/decimal.h"
#include "common/errors.h"

#include <QDate>
#include <QTest>
#include <cmath>
#include <limits>
#include <stdexcept>

using namespace torvika;

namespace torvika {
// Decimals in QCOMPARE failures.
char* toString(const Decimal& d) {
    return qstrdup(qPrintable(d.toString()));
}
} // namespace torvika

namespace {

Decimal dec(const char* text) {
    return Decimal(text);
}

const char* kMax = "99999999999999999999999999999999999999"; // 38 digits

} // namespace

class DecimalTest : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void textConstructorRefuses();
    void fromVariant_data();
    void fromVariant();

    void arithmetic_data();
    void arithmetic();
    void overflowThrows_data();
    void overflowThrows();
    void ordering_data();
    void ordering();

    void rounding_data();
    void rounding();
    void division_data();
    void division();
    void invalidArguments();
    void integerPartAndSign();

    void formatting_data();
    void formatting();
    void toDouble();
};

void DecimalTest::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("value"); // toString() of the accepted value

    QTest::newRow("point") << "1.5" << true << "1.5";
    QTest::newRow("comma") << "1,5" << true << "1.5";
    QTest::newRow("minus") << "-1,25" << true << "-1.25";
    QTest::newRow("plus") << "+2" << true << "2";
    QTest::newRow("blanks around") << "  12.30  " << true << "12.3";
    QTest::newRow("tabs around") << "\t7\t" << true << "7";
    QTest::newRow("leading zeros") << "007.50" << true << "7.5";
    QTest::newRow("no whole part") << ",5" << true << "0.5";
    QTest::newRow("no decimals after the point") << "5." << true << "5";
    QTest::newRow("negative zero") << "-0.00" << true << "0";
    QTest::newRow("38 digits") << kMax << true << kMax;
    QTest::newRow("18 decimals") << "-0.123456789012345678" << true << "-0.123456789012345678";
    QTest::newRow("zeros beyond 18 decimals") << "1.500000000000000000000000" << true << "1.5";
    QTest::newRow("many leading zeros") << "0000000000000000000000000000000000000000001" << true << "1";

    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("blanks only") << "   " << false << "";
    QTest::newRow("sign only") << "-" << false << "";
    QTest::newRow("point only") << "." << false << "";
    QTest::newRow("sign and point") << "+," << false << "";
    QTest::newRow("inf") << "inf" << false << "";
    QTest::newRow("negative infinity") << "-Infinity" << false << "";
    QTest::newRow("nan") << "nan" << false << "";
    QTest::newRow("NaN") << "NaN" << false << "";
    QTest::newRow("exponent") << "1e5" << false << "";
    QTest::newRow("exponent with decimals") << "1.5E-3" << false << "";
    QTest::newRow("hexadecimal") << "0x10" << false << "";
    QTest::newRow("blank as thousands separator") << "1 000" << false << "";
    QTest::newRow("comma as thousands separator") << "1,000.50" << false << "";
    QTest::newRow("point as thousands separator") << "1.000,50" << false << "";
    QTest::newRow("apostrophe as thousands separator") << "1'000" << false << "";
    QTest::newRow("two points") << "1.2.3" << false << "";
    QTest::newRow("two signs") << "--1" << false << "";
    QTest::newRow("mixed signs") << "+-1" << false << "";
    QTest::newRow("blank after the sign") << "- 1" << false << "";
    QTest::newRow("sign after the digits") << "1-" << false << "";
    QTest::newRow("currency after") << "1,50 лв" << false << "";
    QTest::newRow("letters after") << "12abc" << false << "";
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0662") << false << "";
    QTest::newRow("fullwidth digits") << QString::fromUtf8("\uFF11\uFF12") << false << "";
    QTest::newRow("39 digits") << "999999999999999999999999999999999999999" << false << "";
    QTest::newRow("38 digits with a decimal") << "9999999999999999999999999999999999999.91" << false << "";
    QTest::newRow("19 decimals") << "0.1234567890123456789" << false << "";
}

void DecimalTest::parse() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, value);
    const std::optional<Decimal> parsed = Decimal::parse(text);
    QCOMPARE(parsed.has_value(), accepted);
    if (accepted)
        QCOMPARE(parsed->toString(), value);
}

void DecimalTest::textConstructorRefuses() {
    QCOMPARE(Decimal(QStringLiteral(" 3,40 ")), dec("3.4"));
    try {
        Decimal(QStringLiteral("12 лв"));
        QFAIL("no exception");
    } catch (const EConvertError& e) {
        QCOMPARE(e.message(), QStringLiteral("\"12 лв\" не е число"));
    }
}

void DecimalTest::fromVariant_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("expected");

    QTest::newRow("int") << QVariant(42) << true << "42";
    QTest::newRow("long long") << QVariant(qlonglong(-9000000000000000000)) << true << "-9000000000000000000";
    QTest::newRow("unsigned long long")
        << QVariant(std::numeric_limits<qulonglong>::max()) << true << "18446744073709551615";
    // A double is its shortest round-trip text, not its binary value.
    QTest::newRow("double 12.3") << QVariant(12.3) << true << "12.3";
    QTest::newRow("double 2.675") << QVariant(2.675) << true << "2.675";
    QTest::newRow("double sum") << QVariant(0.1 + 0.2) << true << "0.30000000000000004";
    QTest::newRow("double negative") << QVariant(-1.95583) << true << "-1.95583";
    QTest::newRow("double large") << QVariant(1e20) << true << "100000000000000000000";
    QTest::newRow("double negative zero") << QVariant(-0.0) << true << "0";
    QTest::newRow("double too small to keep") << QVariant(1e-30) << true << "0";
    QTest::newRow("double rounded at 18 decimals") << QVariant(1.5e-18) << true << "0.000000000000000002";
    QTest::newRow("float") << QVariant(12.3f) << true << "12.3";
    QTest::newRow("text with comma") << QVariant(QStringLiteral("1,25")) << true << "1.25";
    QTest::newRow("text with blanks") << QVariant(QStringLiteral(" 20.00 ")) << true << "20";
    QTest::newRow("bytes") << QVariant(QByteArray("3.5")) << true << "3.5";

    QTest::newRow("invalid") << QVariant() << false << "";
    QTest::newRow("null text") << QVariant(QString()) << false << "";
    QTest::newRow("empty text") << QVariant(QStringLiteral("")) << false << "";
    QTest::newRow("not a number") << QVariant(QStringLiteral("abc")) << false << "";
    QTest::newRow("nan") << QVariant(std::nan("")) << false << "";
    QTest::newRow("infinity") << QVariant(std::numeric_limits<double>::infinity()) << false << "";
    QTest::newRow("double too large to hold") << QVariant(1e300) << false << "";
    QTest::newRow("bool") << QVariant(true) << false << "";
    QTest::newRow("date") << QVariant(QDate(2024, 1, 1)) << false << "";
}

void DecimalTest::fromVariant() {
    QFETCH(QVariant, value);
    QFETCH(bool, accepted);
    QFETCH(QString, expected);
    const std::optional<Decimal> d = Decimal::fromVariant(value);
    QCOMPARE(d.has_value(), accepted);
    if (accepted)
        QCOMPARE(d->toString(), expected);
}

void DecimalTest::arithmetic_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QChar>("op");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("expected");

    QTest::newRow("tenths add exactly") << "0.1" << QChar(u'+') << "0.2"
                                        << "0.3";
    QTest::newRow("stock leaves exactly zero") << "0.3" << QChar(u'-') << "0.3"
                                               << "0";
    QTest::newRow("different scales") << "1.005" << QChar(u'-') << "0.005"
                                      << "1";
    QTest::newRow("crossing zero") << "-2.50" << QChar(u'+') << "1.25"
                                   << "-1.25";
    QTest::newRow("product signs") << "-2.5" << QChar(u'*') << "-4"
                                   << "10";
    QTest::newRow("product by zero has no sign") << "-0.5" << QChar(u'*') << "0"
                                                 << "0";
    QTest::newRow("exchange rate") << "1.95583" << QChar(u'*') << "10"
                                   << "19.5583";
    QTest::newRow("18 decimals") << "0.000000001" << QChar(u'*') << "0.000000001"
                                 << "0.000000000000000001";
    QTest::newRow("large sum") << "99999999999999999999999999999999999998" << QChar(u'+') << "1" << kMax;
    QTest::newRow("large difference") << QString(u'-') + kMax << QChar(u'+') << kMax << "0";
    QTest::newRow("large product") << "12345678901234567890" << QChar(u'*') << "1234567890123456789"
                                   << "15241578753238836750190519987501905210";
    QTest::newRow("large product with decimals")
        << "123456789.123456789" << QChar(u'*') << "-987654321.987654321"
        << "-121932631356500531.347203169112635269";
    // The sum needs a 39th digit only for a trailing zero, which is dropped.
    QTest::newRow("trailing zero dropped to fit")
        << "9999999999999999999999999999999999999.5" << QChar(u'+') << "0.5"
        << "10000000000000000000000000000000000000";
}

void DecimalTest::arithmetic() {
    QFETCH(QString, a);
    QFETCH(QChar, op);
    QFETCH(QString, b);
    QFETCH(QString, expected);
    const Decimal x(a), y(b);
    Decimal r;
    if (op == u'+')
        r = x + y;
    else if (op == u'-')
        r = x - y;
    else
        r = x * y;
    QCOMPARE(r.toString(), expected);
    QCOMPARE(r, Decimal(expected));
}

void DecimalTest::overflowThrows_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QChar>("op");
    QTest::addColumn<QString>("b");

    QTest::newRow("sum beyond 38 digits") << kMax << QChar(u'+') << "1";
    QTest::newRow("difference beyond 38 digits") << QString(u'-') + kMax << QChar(u'-') << "1";
    QTest::newRow("sum needing a decimal") << kMax << QChar(u'+') << "0.1";
    QTest::newRow("product beyond 38 digits")
        << "10000000000000000000" << QChar(u'*') << "10000000000000000000";
    QTest::newRow("product of the largest") << kMax << QChar(u'*') << kMax;
    QTest::newRow("product needing 20 decimals") << "0.0000000001" << QChar(u'*') << "0.0000000001";
    QTest::newRow("quotient beyond 38 digits") << kMax << QChar(u'/') << "0.1";
}

void DecimalTest::overflowThrows() {
    QFETCH(QString, a);
    QFETCH(QChar, op);
    QFETCH(QString, b);
    const Decimal x(a), y(b);
    if (op == u'+')
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, x + y);
    else if (op == u'-')
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, x - y);
    else if (op == u'*')
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, x * y);
    else
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, x.divided(y, 0));
}

void DecimalTest::ordering_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");

    QTest::newRow("same value, other scale") << "1.5"
                                             << "1.50" << 0;
    QTest::newRow("zeros") << "-0.00"
                           << "0" << 0;
    QTest::newRow("negative below positive") << "-1"
                                             << "0.5" << -1;
    QTest::newRow("negatives") << "-2.5"
                               << "-2.4" << -1;
    QTest::newRow("integer part decides") << "100"
                                          << "99.999" << 1;
    QTest::newRow("last of 18 decimals") << "0.1"
                                         << "0.100000000000000001" << -1;
    QTest::newRow("largest against a fraction") << kMax << "0.000000000000000001" << 1;
    QTest::newRow("largest negatives")
        << QString(u'-') + kMax << "-99999999999999999999.999999999999999999" << -1;
}

void DecimalTest::ordering() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);
    const Decimal x(a), y(b);
    QCOMPARE(x == y, order == 0);
    QCOMPARE(x < y, order < 0);
    QCOMPARE(x > y, order > 0);
    QCOMPARE(y<x, order> 0);
}

void DecimalTest::rounding_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected"); // toFixed(decimals)

    // printf on the double 2.675 (2.67499999...) gives "2.67"; the exact value rounds up.
    QTest::newRow("2.675") << "2.675" << 2 << "2.68";
    QTest::newRow("-2.675") << "-2.675" << 2 << "-2.68";
    QTest::newRow("2.665") << "2.665" << 2 << "2.67";
    QTest::newRow("half a stotinka") << "0.005" << 2 << "0.01";
    QTest::newRow("minus half a stotinka") << "-0.005" << 2 << "-0.01";
    QTest::newRow("just below half") << "0.004999" << 2 << "0.00";
    QTest::newRow("negative rounding to zero has no sign") << "-0.004" << 2 << "0.00";
    QTest::newRow("half to whole") << "2.5" << 0 << "3";
    QTest::newRow("minus half to whole") << "-2.5" << 0 << "-3";
    QTest::newRow("one and a half") << "1.5" << 0 << "2";
    QTest::newRow("carry into a new digit") << "9.995" << 2 << "10.00";
    QTest::newRow("carry at 38 digits")
        << "99999999999999999999999999999999999.995" << 2 << "100000000000000000000000000000000000.00";
    QTest::newRow("18th decimal") << "0.000000000000000015" << 17 << "0.00000000000000002";
    QTest::newRow("padded") << "12" << 2 << "12.00";
    QTest::newRow("padded from one decimal") << "-3.5" << 4 << "-3.5000";
    QTest::newRow("more than 18 decimals") << "1.5" << 20 << "1.50000000000000000000";
    QTest::newRow("no decimals") << "1234" << 0 << "1234";
}

void DecimalTest::rounding() {
    QFETCH(QString, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    const Decimal d(value);
    QCOMPARE(d.toFixed(decimals), expected);
    if (decimals <= Decimal::kMaxScale)
        QCOMPARE(d.rounded(decimals), Decimal(expected));
}

void DecimalTest::division_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("expected");

    QTest::newRow("thirds") << "10"
                            << "3" << 2 << "3.33";
    QTest::newRow("two thirds up") << "20"
                                   << "3" << 2 << "6.67";
    QTest::newRow("negative dividend") << "-20"
                                       << "3" << 2 << "-6.67";
    QTest::newRow("tie up") << "1"
                            << "8" << 2 << "0.13";
    QTest::newRow("tie, negative divisor") << "1"
                                           << "-8" << 2 << "-0.13";
    QTest::newRow("tie, both negative") << "-1"
                                        << "-8" << 2 << "0.13";
    QTest::newRow("net of 10.23 at 20 percent") << "1023"
                                                << "120" << 2 << "8.53";
    QTest::newRow("18 decimals") << "1"
                                 << "3" << 18 << "0.333333333333333333";
    QTest::newRow("largest by one") << kMax << "1" << 0 << kMax;
    QTest::newRow("largest by seven") << kMax << "7" << 0 << "14285714285714285714285714285714285714";
    QTest::newRow("largest divisor") << "1" << kMax << 18 << "0.000000000000000000";
    QTest::newRow("fewer decimals than the dividend") << "0.5"
                                                      << "1" << 0 << "1";
    QTest::newRow("just below half") << "0.499999999999999999"
                                     << "1" << 0 << "0";
    QTest::newRow("divisor beyond 128 bits") << "0.000000000000000001" << kMax << 0 << "0";
    QTest::newRow("divisor near 2^128, rounding up") << "99999999999999999999.999999999999999999"
                                                     << "190000000000000000000" << 0 << "1";
    QTest::newRow("divisor near 2^128, rounding down") << "99999999999999999999.999999999999999999"
                                                       << "200000000000000000000" << 0 << "0";
}

void DecimalTest::division() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, scale);
    QFETCH(QString, expected);
    const Decimal q = Decimal(a).divided(Decimal(b), scale);
    QCOMPARE(q.toFixed(scale), expected);
    QCOMPARE(q.scale(), scale);
}

void DecimalTest::invalidArguments() {
    const Decimal d = dec("1.5");
    QVERIFY_THROWS_EXCEPTION(std::domain_error, d.divided(Decimal(), 2));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, d.divided(dec("2"), 19));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, d.divided(dec("2"), -1));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, d.rounded(-1));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, d.rounded(19));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, d.toFixed(-1));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, Decimal::fromScaled(1, 19));
    QVERIFY_THROWS_EXCEPTION(
        std::overflow_error,
        Decimal::fromScaled(Decimal::Mantissa(1) * 1000000000000000000 * 1000000000000000000 * 100, 0));
}

void DecimalTest::integerPartAndSign() {
    QCOMPARE(dec("-12.99").integerPart(), dec("-12"));
    QCOMPARE(dec("0.99").integerPart(), Decimal(0));
    QCOMPARE(dec("-12.99").abs(), dec("12.99"));
    QCOMPARE(-dec("12.99"), dec("-12.99"));
    QCOMPARE(dec("-0.01").sign(), -1);
    QCOMPARE(dec("0.00").sign(), 0);
    QVERIFY(dec("0.00").isZero());
    QCOMPARE(Decimal::fromScaled(-1250, 3), dec("-1.25"));
}

void DecimalTest::formatting_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("sameAsDouble"); // "%*.*f" of the double gives the same text

    QTest::newRow("%4.2f short") << "5" << 2 << 4 << "5.00" << true;
    QTest::newRow("%4.1f padded") << "0.5" << 1 << 4 << " 0.5" << true;
    QTest::newRow("%4.2f wider than 4") << "1234.5" << 2 << 4 << "1234.50" << true;
    QTest::newRow("%4.4f") << "25" << 4 << 4 << "25.0000" << true;
    QTest::newRow("%4.0f") << "7" << 0 << 4 << "   7" << true;
    QTest::newRow("negative padded") << "-1.5" << 1 << 6 << "  -1.5" << true;
    QTest::newRow("width 10") << "19.5583" << 2 << 10 << "     19.56" << true;
    QTest::newRow("width 0") << "19.5583" << 3 << 0 << "19.558" << true;
    QTest::newRow("negative width aligns left") << "3.1" << 2 << -8 << "3.10    " << true;
    QTest::newRow("negative decimals mean 6") << "1.25" << -1 << 4 << "1.250000" << true;
    QTest::newRow("negative zero") << "-0.001" << 2 << 4 << "0.00" << true;
    QTest::newRow("large") << "123456789012345678901234.5" << 1 << 4 << "123456789012345678901234.5" << false;
    // Ties: the double rounds its binary value (2.675 is 2.67499999...,
    // 0.125 is an exact tie that printf rounds to even); the decimal rounds
    // half away from zero.
    QTest::newRow("2.675") << "2.675" << 2 << 4 << "2.68" << false;
    QTest::newRow("-2.675") << "-2.675" << 2 << 4 << "-2.68" << false;
    QTest::newRow("0.125") << "0.125" << 2 << 4 << "0.13" << false;
}

void DecimalTest::formatting() {
    QFETCH(QString, value);
    QFETCH(int, decimals);
    QFETCH(int, width);
    QFETCH(QString, expected);
    QFETCH(bool, sameAsDouble);
    const Decimal d(value);
    QCOMPARE(formatFixed(d, decimals, width), expected);
    QCOMPARE(cformat(u"%*.*f", {width, decimals, value.toDouble()}) == expected, sameAsDouble);
    if (width == 4 && decimals == 2)
        QCOMPARE(format42(d), expected);
    if (width == 4 && decimals == 4)
        QCOMPARE(format44(d), expected);
}

void DecimalTest::toDouble() {
    QCOMPARE(dec("12.3").toDouble(), 12.3);
    QCOMPARE(dec("-0.1").toDouble(), -0.1);
    QCOMPARE(dec("1.95583").toDouble(), 1.95583);
    QCOMPARE(Decimal(kMax).toDouble(), 1e38);
}

QTEST_GUILESS_MAIN(DecimalTest)
#include "test_decimal.moc"
