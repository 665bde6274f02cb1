// Amounts in words: the documents' exact texts, blanks included, for every
// range of amounts, negative amounts, other currencies and variant callers.

#include "common/amount_words.h"
#include "common/base_currency.h"
#include "common/errors.h"

#include <QTest>

using namespace torvika;

class AmountWordsTest : public QObject {
    Q_OBJECT
private slots:
    void words_data();
    void words();
    void euro_data();
    void euro();
    void variantAmounts_data();
    void variantAmounts();
    void variantThatIsNoNumber();
};

void AmountWordsTest::words_data() {
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("expected");

    // The documents' texts as they have always been printed.
    QTest::newRow("0") << "0"
                       << " нула лева и 00 стотинки ";
    QTest::newRow("1") << "1"
                       << "един лева и 00 стотинки ";
    QTest::newRow("5.5") << "5.5"
                         << "пет лева и 50 стотинки ";
    QTest::newRow("10") << "10"
                        << "десет  лева и 00 стотинки ";
    QTest::newRow("12") << "12"
                        << "дванадесет  лева и 00 стотинки ";
    QTest::newRow("20") << "20"
                        << "двадесет  лева и 00 стотинки ";
    QTest::newRow("21") << "21"
                        << "двадесет и един лева и 00 стотинки ";
    QTest::newRow("45") << "45"
                        << "четиридесет и пет лева и 00 стотинки ";
    QTest::newRow("100") << "100"
                         << "сто  лева и 00 стотинки ";
    QTest::newRow("101") << "101"
                         << "сто  един лева и 00 стотинки ";
    QTest::newRow("1000") << "1000"
                          << "хиляда  лева и 00 стотинки ";
    QTest::newRow("1234.56") << "1234.56"
                             << "хиляда  двеста  тридесет и четири лева и 56 стотинки ";
    QTest::newRow("2000") << "2000"
                          << "двехиляди  лева и 00 стотинки ";
    QTest::newRow("10000") << "10000"
                           << "десетхиляди  лева и 00 стотинки ";
    QTest::newRow("11000") << "11000"
                           << "единадесет хиляди  лева и 00 стотинки ";
    QTest::newRow("15000") << "15000"
                           << "петнадесет хиляди  лева и 00 стотинки ";
    QTest::newRow("20000") << "20000"
                           << "двадесетхиляди  лева и 00 стотинки ";
    QTest::newRow("25000") << "25000"
                           << "двадесет и петхиляди  лева и 00 стотинки ";
    QTest::newRow("99999.99")
        << "99999.99"
        << "деветдесет и деветхиляди  деветстотин  деветдесет и девет лева и 99 стотинки ";
    QTest::newRow("stotinki only") << "0.07"
                                   << " нула лева и 07 стотинки ";
    QTest::newRow("comma as the separator") << "3,10"
                                            << "три лева и 10 стотинки ";

    // Rounded to the stotinka half away from zero. The double 2.675 printed
    // with "%4.2f" used to give 67 stotinki; the amount typed is 2.675.
    QTest::newRow("2.675") << "2.675"
                           << "два лева и 68 стотинки ";
    QTest::newRow("rounding into the next lev") << "0.995"
                                                << "един лева и 00 стотинки ";
    QTest::newRow("rounding below half a stotinka") << "7.994"
                                                    << "седем лева и 99 стотинки ";

    // A thousands digit 1 after a ten of 2 to 9 used to read "хиляда" with
    // nothing before it ("двадесет и хиляда  "); it reads "една хиляди",
    // joined as the other thousands are ("двадесет и петхиляди  ").
    QTest::newRow("21000") << "21000"
                           << "двадесет и една хиляди  лева и 00 стотинки ";
    QTest::newRow("31500.50") << "31500.50"
                              << "тридесет и една хиляди  петстотин  лева и 50 стотинки ";
    QTest::newRow("91999") << "91999"
                           << "деветдесет и една хиляди  деветстотин  деветдесет и девет лева и 00 стотинки ";

    // From 100 000 on the higher digits used to be dropped (100000 read
    // " нула лева ..."); hundreds of thousands, millions and milliards
    // are read in the same style.
    QTest::newRow("100000") << "100000"
                            << "сто хиляди  лева и 00 стотинки ";
    QTest::newRow("200000") << "200000"
                            << "двеста хиляди  лева и 00 стотинки ";
    QTest::newRow("101000") << "101000"
                            << "сто  една хиляди  лева и 00 стотинки ";
    QTest::newRow("110000") << "110000"
                            << "сто  десетхиляди  лева и 00 стотинки ";
    QTest::newRow("111111") << "111111"
                            << "сто  единадесет хиляди  сто  единадесет  лева и 00 стотинки ";
    QTest::newRow("123456") << "123456"
                            << "сто  двадесет и трихиляди  четиристотин  петдесет и шест лева и 00 стотинки ";
    QTest::newRow("999999.99")
        << "999999.99"
        << "деветстотин  деветдесет и деветхиляди  деветстотин  деветдесет и девет лева и 99 стотинки ";
    QTest::newRow("1000000") << "1000000"
                             << "един милион  лева и 00 стотинки ";
    QTest::newRow("1000001") << "1000001"
                             << "един милион  един лева и 00 стотинки ";
    QTest::newRow("2000000") << "2000000"
                             << "два милиона  лева и 00 стотинки ";
    QTest::newRow("2001000") << "2001000"
                             << "два милиона  хиляда  лева и 00 стотинки ";
    QTest::newRow("12345678.9") << "12345678.9"
                                << "дванадесет  милиона  триста  четиридесет и петхиляди  шестстотин  "
                                   "седемдесет и осем лева и 90 стотинки ";
    QTest::newRow("1000000000") << "1000000000"
                                << "един милиард  лева и 00 стотинки ";
    QTest::newRow("999999999999.99") << "999999999999.99"
                                     << "деветстотин  деветдесет и девет милиарда  деветстотин  деветдесет и "
                                        "девет милиона  деветстотин  деветдесет и деветхиляди  деветстотин  "
                                        "деветдесет и девет лева и 99 стотинки ";
    // From a trillion on the whole units are written in figures.
    QTest::newRow("1000000000000") << "1000000000000"
                                   << "1000000000000 лева и 00 стотинки ";
    QTest::newRow("38 digits") << "999999999999999999999999999999999999.99"
                               << "999999999999999999999999999999999999 лева и 99 стотинки ";

    // A negative amount used to read " нула лева и " with its stotinki; it
    // reads "минус " and the words of its absolute value.
    QTest::newRow("-5.5") << "-5.5"
                          << "минус пет лева и 50 стотинки ";
    QTest::newRow("-1234.56") << "-1234.56"
                              << "минус хиляда  двеста  тридесет и четири лева и 56 стотинки ";
    QTest::newRow("-0.25") << "-0.25"
                           << "минус  нула лева и 25 стотинки ";
    QTest::newRow("-100000") << "-100000"
                             << "минус сто хиляди  лева и 00 стотинки ";
    QTest::newRow("-1000000000000.5") << "-1000000000000.5"
                                      << "минус 1000000000000 лева и 50 стотинки ";
    QTest::newRow("negative rounding to zero") << "-0.004"
                                               << " нула лева и 00 стотинки ";
}

void AmountWordsTest::words() {
    QFETCH(QString, amount);
    QFETCH(QString, expected);
    QCOMPARE(Sum_To_Words(Decimal(amount)), expected);
}

void AmountWordsTest::euro_data() {
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("expected");
    // A euro amount reads its cents as "цента", never "стотинки".
    QTest::newRow("0") << "0"
                       << " нула евро и 00 цента ";
    QTest::newRow("one cent") << "0.01"
                              << " нула евро и 01 цента ";
    QTest::newRow("21.05") << "21.05"
                           << "двадесет и един евро и 05 цента ";
    QTest::newRow("36") << "36"
                        << "тридесет и шест евро и 00 цента ";
    QTest::newRow("half a cent rounds up") << "10.005"
                                           << "десет  евро и 01 цента ";
    QTest::newRow("1234.56") << "1234.56"
                             << "хиляда  двеста  тридесет и четири евро и 56 цента ";
    QTest::newRow("-0.5") << "-0.5"
                          << "минус  нула евро и 50 цента ";
}

void AmountWordsTest::euro() {
    QFETCH(QString, amount);
    QFETCH(QString, expected);
    QCOMPARE(Sum_To_Words(Decimal(amount), euroBase().words), expected);
}

void AmountWordsTest::variantAmounts_data() {
    QTest::addColumn<QVariant>("amount");
    QTest::addColumn<QString>("expected");
    QTest::newRow("double") << QVariant(1234.56) << "хиляда  двеста  тридесет и четири лева и 56 стотинки ";
    QTest::newRow("integer") << QVariant(12) << "дванадесет  лева и 00 стотинки ";
    QTest::newRow("text with point") << QVariant(QStringLiteral("45.00"))
                                     << "четиридесет и пет лева и 00 стотинки ";
    QTest::newRow("text with comma") << QVariant(QStringLiteral("5,5")) << "пет лева и 50 стотинки ";
    QTest::newRow("double 2.675 as typed") << QVariant(2.675) << "два лева и 68 стотинки ";
}

void AmountWordsTest::variantAmounts() {
    QFETCH(QVariant, amount);
    QFETCH(QString, expected);
    QCOMPARE(Sum_To_Words(amount), expected);
}

void AmountWordsTest::variantThatIsNoNumber() {
    QVERIFY_THROWS_EXCEPTION(EConvertError, Sum_To_Words(QVariant(QStringLiteral("сто"))));
    QVERIFY_THROWS_EXCEPTION(EConvertError, Sum_To_Words(QVariant()));
}

QTEST_GUILESS_MAIN(AmountWordsTest)
#include "test_amount_words.moc"
