// The VAT split of a gross amount, the net values of a sale line and the
// company's rate text.

#include "common/cformat.h"
#include "common/errors.h"
#include "common/vat.h"

#include <QTest>
#include <stdexcept>

using namespace torvika;

namespace torvika {
// Decimals in QCOMPARE failures.
char* toString(const Decimal& d) {
    return qstrdup(qPrintable(d.toString()));
}
} // namespace torvika

class VatTest : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void negativeRateRefused();
    void lineNet_data();
    void lineNet();
    void shopLineExample();
    void rateText_data();
    void rateText();
    void splitPerRate_data();
    void splitPerRate();
    void groupRates();
};

void VatTest::split_data() {
    QTest::addColumn<QString>("gross");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("net");
    QTest::addColumn<QString>("vat");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("words");

    QTest::newRow("24.00 at 20") << "24.00"
                                 << "20"
                                 << "20.00"
                                 << "4.00"
                                 << "24.00"
                                 << "двадесет и четири лева и 00 стотинки ";
    // 10.23 / 1.2 is exactly 8.525: the net rounds up, the VAT takes the rest.
    QTest::newRow("10.23 at 20") << "10.23"
                                 << "20"
                                 << "8.53"
                                 << "1.70"
                                 << "10.23"
                                 << "десет  лева и 23 стотинки ";
    QTest::newRow("rate 9.5") << "100"
                              << "9.5"
                              << "91.32"
                              << "8.68"
                              << "100.00"
                              << "сто  лева и 00 стотинки ";
    QTest::newRow("rate 0") << "19.99"
                            << "0"
                            << "19.99"
                            << "0"
                            << "19.99"
                            << "деветнадесет  лева и 99 стотинки ";
    QTest::newRow("zero") << "0"
                          << "20"
                          << "0"
                          << "0"
                          << "0.00"
                          << " нула лева и 00 стотинки ";
    QTest::newRow("one stotinka") << "0.01"
                                  << "20"
                                  << "0.01"
                                  << "0"
                                  << "0.01"
                                  << " нула лева и 01 стотинки ";
    // The gross is taken to the stotinka first, so net + VAT is what is shown.
    QTest::newRow("gross with three decimals") << "10.235"
                                               << "20"
                                               << "8.53"
                                               << "1.71"
                                               << "10.24"
                                               << "десет  лева и 24 стотинки ";
    QTest::newRow("refund") << "-10.23"
                            << "20"
                            << "-8.53"
                            << "-1.70"
                            << "-10.23"
                            << "минус десет  лева и 23 стотинки ";
    QTest::newRow("a million") << "1000000"
                               << "20"
                               << "833333.33"
                               << "166666.67"
                               << "1000000.00"
                               << "един милион  лева и 00 стотинки ";
}

void VatTest::split() {
    QFETCH(QString, gross);
    QFETCH(QString, rate);
    QFETCH(QString, net);
    QFETCH(QString, vat);
    QFETCH(QString, text);
    QFETCH(QString, words);
    const VatSplit s = splitVat(Decimal(gross), Decimal(rate));
    QCOMPARE(s.net, Decimal(net));
    QCOMPARE(s.vat, Decimal(vat));
    QCOMPARE(s.gross, Decimal(text));
    QCOMPARE(s.net + s.vat, s.gross);
    QCOMPARE(s.rate, Decimal(rate));
    QCOMPARE(s.grossText, text);
    QCOMPARE(s.grossWords, words);
}

void VatTest::negativeRateRefused() {
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, splitVat(Decimal(10), Decimal(-20)));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, torvika::lineNet(1, 10, 0, Decimal(-100), 2));
}

void VatTest::lineNet_data() {
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("discount");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("unitNet");
    QTest::addColumn<QString>("lineNet");

    QTest::newRow("no discount") << "2"
                                 << "12.00"
                                 << "0"
                                 << "20" << 2 << "10.00"
                                 << "20.00";
    QTest::newRow("discount 10") << "2"
                                 << "12.00"
                                 << "10"
                                 << "20" << 2 << "9.00"
                                 << "18.00";
    // The line is the quantity times the exact unit net (2.50), not 3 x 0.83.
    QTest::newRow("line from the exact unit net") << "3"
                                                  << "1.00"
                                                  << "0"
                                                  << "20" << 2 << "0.83"
                                                  << "2.50";
    QTest::newRow("weighed, with a discount") << "1.5"
                                              << "3.99"
                                              << "2.5"
                                              << "20" << 2 << "3.24"
                                              << "4.86";
    QTest::newRow("surcharge") << "1"
                               << "12.00"
                               << "-10"
                               << "20" << 2 << "11.00"
                               << "11.00";
    QTest::newRow("rate 0") << "2"
                            << "12.00"
                            << "10"
                            << "0" << 2 << "10.80"
                            << "21.60";
    QTest::newRow("three decimals") << "1"
                                    << "1.00"
                                    << "0"
                                    << "20" << 3 << "0.833"
                                    << "0.833";
    QTest::newRow("no decimals") << "3"
                                 << "10"
                                 << "0"
                                 << "20" << 0 << "8"
                                 << "25";
    QTest::newRow("decimals beyond 18") << "1"
                                        << "1"
                                        << "0"
                                        << "20" << 25 << "0.833333333333333333"
                                        << "0.833333333333333333";
    QTest::newRow("returned goods") << "-2"
                                    << "12.00"
                                    << "10"
                                    << "20" << 2 << "9.00"
                                    << "-18.00";
}

void VatTest::lineNet() {
    QFETCH(QString, quantity);
    QFETCH(QString, price);
    QFETCH(QString, discount);
    QFETCH(QString, rate);
    QFETCH(int, decimals);
    QFETCH(QString, unitNet);
    QFETCH(QString, lineNet);
    const LineNet net =
        torvika::lineNet(Decimal(quantity), Decimal(price), Decimal(discount), Decimal(rate), decimals);
    QCOMPARE(net.unitNet, Decimal(unitNet));
    QCOMPARE(net.lineNet, Decimal(lineNet));
}

// A sale line of 2 x 12.00 leva at a rate of 20 %, without and with a
// discount of 10 %, and a line priced in a foreign currency.
void VatTest::shopLineExample() {
    const Decimal quantity(2), price("12.00"), rate(20);
    const Decimal total = quantity * price;
    QCOMPARE(formatFixed(total, 2), QStringLiteral("24.00"));
    const VatSplit split = splitVat(total, rate);
    QCOMPARE(format42(split.net), QStringLiteral("20.00"));
    QCOMPARE(format42(split.vat), QStringLiteral("4.00"));
    QCOMPARE(format42(rate), QStringLiteral("20.00"));

    const Decimal discount(10);
    const Decimal suma = quantity * price * (Decimal(100) - discount);
    QCOMPARE(formatFixed(suma.divided(100, 2), 2), QStringLiteral("21.60"));
    const LineNet net = torvika::lineNet(quantity, price, discount, rate, 2);
    QCOMPARE(formatFixed(net.unitNet, 2), QStringLiteral("9.00"));
    QCOMPARE(formatFixed(net.lineNet, 2), QStringLiteral("18.00"));

    // 10 units of a currency worth 1.95583 leva: the amount in leva is
    // 19.56, the net stays in the line's currency and comes from 10.
    const Decimal kurs("1.95583"), foreignPrice(10);
    QCOMPARE(formatFixed(foreignPrice * kurs, 2), QStringLiteral("19.56"));
    QCOMPARE(formatFixed(torvika::lineNet(1, foreignPrice, 0, rate, 2).unitNet, 2), QStringLiteral("8.33"));
}

void VatTest::rateText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("rate");

    QTest::newRow("integer") << "20" << true << "20";
    QTest::newRow("two decimals") << "20.00" << true << "20";
    QTest::newRow("comma") << "9,5" << true << "9.5";
    QTest::newRow("zero") << "0" << true << "0";
    QTest::newRow("empty") << "" << true << "0";
    QTest::newRow("blanks") << "  " << true << "0";
    QTest::newRow("blanks around") << " 20 " << true << "20";
    QTest::newRow("percent sign") << "20%" << false << "";
    QTest::newRow("letters") << "ДДС" << false << "";
    QTest::newRow("negative") << "-20" << false << "";
    QTest::newRow("exponent") << "2e1" << false << "";
}

void VatTest::rateText() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, rate);
    if (accepted) {
        QCOMPARE(vatRateFromText(text), Decimal(rate));
        return;
    }
    try {
        vatRateFromText(text);
        QFAIL("no exception");
    } catch (const EConvertError& e) {
        QCOMPARE(e.message(), QStringLiteral("Ставката на ДДС \"%1\" не е число от 0 нагоре").arg(text));
    }
}

// Lines "rate:gross" split per rate: each rate's lines summed and split
// once; the totals are the sums of the parts.
void VatTest::splitPerRate_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("parts"); // "rate gross net vat", by rising rate
    QTest::addColumn<QString>("totals");    // "gross net vat"

    QTest::newRow("9 % and 20 %") << QStringList{"20:24.00", "9:24.00"}
                                  << QStringList{"9 24.00 22.02 1.98", "20 24.00 20.00 4.00"}
                                  << "48.00 42.02 5.98";
    // Two lines of one rate: the VAT of their sum (each line's would be
    // 0.17, 0.34 together).
    QTest::newRow("one rate, summed first")
        << QStringList{"20:1.05", "20:1.05"} << QStringList{"20 2.10 1.75 0.35"} << "2.10 1.75 0.35";
    QTest::newRow("groups Б and В share 20 %")
        << QStringList{"20:10.23", "0:5.00", "20:1.77"} << QStringList{"0 5.00 5.00 0", "20 12.00 10.00 2.00"}
        << "17.00 15.00 2.00";
    QTest::newRow("no lines") << QStringList{} << QStringList{} << "0.00 0 0";
    // Display decimals above 2: each rate's sum is taken to the stotinka.
    QTest::newRow("three decimals") << QStringList{"20:10.235", "9:1.004"}
                                    << QStringList{"9 1.00 0.92 0.08", "20 10.24 8.53 1.71"}
                                    << "11.24 9.45 1.79";
}

void VatTest::splitPerRate() {
    QFETCH(QStringList, lines);
    QFETCH(QStringList, parts);
    QFETCH(QString, totals);
    QList<VatLine> in;
    for (const QString& l : lines)
        in << VatLine{in.size() + 1, Decimal(l.section(u':', 0, 0)), Decimal(l.section(u':', 1))};
    const VatTotals t = splitVatByRate(in);
    QStringList got;
    for (const VatByRate& r : t.rates)
        got << QStringList{r.rate.toString(), format42(r.gross), format42(r.net), r.vat.toString()}.join(
            u' ');
    QStringList expected;
    for (const QString& p : parts) {
        QStringList f = p.split(u' ');
        f[3] = Decimal(f[3]).toString();
        expected << f.join(u' ');
    }
    QCOMPARE(got, expected);
    const QStringList sums = totals.split(u' ');
    QCOMPARE(t.gross, Decimal(sums[0]));
    QCOMPARE(t.net, Decimal(sums[1]));
    QCOMPARE(t.vat, Decimal(sums[2]));
    QCOMPARE(t.grossText, format42(Decimal(sums[0])));
    for (int i = 0; i < in.size(); ++i)
        QCOMPARE(t.lineRates.value(in[i].line), in[i].rate);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, splitVatByRate({{1, Decimal(-1), Decimal(1)}}));
}

// The default rates of the groups, and a group no line should have.
void VatTest::groupRates() {
    const VatRates r = VatRates::defaults();
    QCOMPARE(r.of(0), Decimal(0));
    QCOMPARE(r.of(1), Decimal(20));
    QCOMPARE(r.of(2), Decimal(20));
    QCOMPARE(r.of(3), Decimal(9));
    QCOMPARE(r.of(7), Decimal(20));
    QCOMPARE(r.of(-1), Decimal(20));
    QCOMPARE(taxGroupLetter(3), QStringLiteral("Г"));
}

QTEST_GUILESS_MAIN(VatTest)
#include "test_vat.moc"
