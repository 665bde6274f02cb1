// Windows-1251 text, printf-style formats, reference texts and the exception log.

#include "common/cformat.h"
#include "common/cp1251.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ref_text.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <stdexcept>

using namespace torvika;

namespace {

QString callFormat(const QString& format, const QVariantList& a) {
    switch (a.size()) {
    case 0:
        return cformat(format, {});
    case 1:
        return cformat(format, {a[0]});
    case 2:
        return cformat(format, {a[0], a[1]});
    case 3:
        return cformat(format, {a[0], a[1], a[2]});
    default:
        return cformat(format, {a[0], a[1], a[2], a[3]});
    }
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class TextHelpersTest : public QObject {
    Q_OBJECT
private slots:
    void cp1251EveryByteRoundTrips();
    void cp1251Texts_data();
    void cp1251Texts();
    void cp1251Unmappable_data();
    void cp1251Unmappable();
    void decodeEitherEncoding_data();
    void decodeEitherEncoding();

    void cformatCases_data();
    void cformatCases();
    void cformatMalformed_data();
    void cformatMalformed();
    void cformatIgnoresNumericLocale();

    void referenceId_data();
    void referenceId();
    void referenceTextParts();

    void shortDates_data();
    void shortDates();

    void exceptionLogLineFormat();
    void exceptionLogAppends();
    void exceptionLogUnwritable();
    void exceptionNames();
};

void TextHelpersTest::cp1251EveryByteRoundTrips() {
    QSet<QChar> seen;
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) // not defined in the code page
            continue;
        const QByteArray one(1, char(b));
        const QString text = fromCp1251(one);
        QCOMPARE(text.size(), 1);
        QVERIFY2(text[0] != QChar::ReplacementCharacter, qPrintable(QString::number(b, 16)));
        QVERIFY2(!seen.contains(text[0]), qPrintable(QString::number(b, 16)));
        seen.insert(text[0]);
        QCOMPARE(toCp1251(text), one);
    }
    QCOMPARE(toCp1251(fromCp1251(QByteArray("\x98"))), QByteArray("?"));
}

void TextHelpersTest::cp1251Texts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << "Total 12.50\r\n" << QByteArray("Total 12.50\r\n");
    QTest::newRow("cyrillic") << "Чаша ЧАША" << QByteArray("\xD7\xE0\xF8\xE0 \xD7\xC0\xD8\xC0");
    QTest::newRow("first and last letters") << "АЯаяЁё" << QByteArray("\xC0\xDF\xE0\xFF\xA8\xB8");
    QTest::newRow("numero sign") << "№ 5" << QByteArray("\xB9 5");
    QTest::newRow("euro sign") << "5 €" << QByteArray("5 \x88");
    QTest::newRow("ukrainian and belarusian")
        << "ЇїІіЄєЎўҐґ" << QByteArray("\xAF\xBF\xB2\xB3\xAA\xBA\xA1\xA2\xA5\xB4");
    QTest::newRow("punctuation") << "„“”–—…«»" << QByteArray("\x84\x93\x94\x96\x97\x85\xAB\xBB");
}

void TextHelpersTest::cp1251Texts() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toCp1251(text), bytes);
    QCOMPARE(fromCp1251(bytes), text);
}

void TextHelpersTest::cp1251Unmappable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("chinese") << "a中b" << QByteArray("a?b");
    QTest::newRow("latin with accent") << "café" << QByteArray("caf?");
    QTest::newRow("replacement character") << QString(QChar::ReplacementCharacter) << QByteArray("?");
    QTest::newRow("one character outside the BMP")
        << QString::fromUtf8("x\xF0\x9F\x98\x80y") << QByteArray("x?y");
}

void TextHelpersTest::cp1251Unmappable() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toCp1251(text), bytes);
}

void TextHelpersTest::decodeEitherEncoding_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ascii") << QByteArray("[S]\r\nK=1") << "[S]\r\nK=1";
    QTest::newRow("utf-8") << QByteArray("Чаша №5 €") << "Чаша №5 €";
    QTest::newRow("windows-1251") << QByteArray("\xD7\xE0\xF8\xE0 \xB9\x35 \x88") << "Чаша №5 €";
    QTest::newRow("utf-8 with one foreign byte") << QByteArray("\xD0\xA7\xE0") << "Р§а";
    QTest::newRow("windows-1251 ending in a lead byte")
        << QByteArray("ABC\xD1") << QStringLiteral("ABC\u0421");
}

void TextHelpersTest::decodeEitherEncoding() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeUtf8OrCp1251(bytes), text);
}

void TextHelpersTest::cformatCases_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<QString>("expected");

    // Amounts: "%*.*f" with width 4 and the display decimals.
    QTest::newRow("amount whole") << "%*.*f" << QVariantList{4, 2, 5.0} << "5.00";
    QTest::newRow("amount rounded") << "%*.*f" << QVariantList{4, 2, 1234.567} << "1234.57";
    QTest::newRow("amount negative") << "%*.*f" << QVariantList{4, 2, -3.5} << "-3.50";
    QTest::newRow("amount three decimals") << "%*.*f" << QVariantList{4, 3, 0} << "0.000";
    QTest::newRow("amount no decimals") << "%*.*f" << QVariantList{4, 0, 7.4} << "   7";
    QTest::newRow("amount wider") << "%*.*f" << QVariantList{8, 2, 1.5} << "    1.50";
    QTest::newRow("amount huge") << "%*.*f" << QVariantList{4, 2, 1e20} << "100000000000000000000.00";
    QTest::newRow("amount from text") << "%*.*f" << QVariantList{4, 2, QStringLiteral("2.5")} << "2.50";
    QTest::newRow("negative star width aligns left") << "%*d|" << QVariantList{-5, 42} << "42   |";
    QTest::newRow("star width minus one") << "%*s|" << QVariantList{-1, QString()} << " |";
    QTest::newRow("negative star precision is no precision") << "%.*f" << QVariantList{-1, 1.5} << "1.500000";
    QTest::newRow("long precision") << "%.*f" << QVariantList{600, 1}
                                    << QStringLiteral("1.") + QString(600, u'0');

    // The binary value is rounded, as C printf does.
    QTest::newRow("2.675 is below the half") << "%4.2f" << QVariantList{2.675} << "2.67";
    QTest::newRow("1.005 is below the half") << "%4.2f" << QVariantList{1.005} << "1.00";
    QTest::newRow("0.125 is an exact half") << "%4.2f" << QVariantList{0.125} << "0.12";
    QTest::newRow("0.375 is an exact half") << "%4.2f" << QVariantList{0.375} << "0.38";
    QTest::newRow("2.5 with no decimals") << "%.0f" << QVariantList{2.5} << "2";
    QTest::newRow("vat") << "%4.2f" << QVariantList{3.3333} << "3.33";
    QTest::newRow("vat zero") << "%4.2f" << QVariantList{0.0} << "0.00";
    QTest::newRow("vat negative") << "%4.2f" << QVariantList{-20.0} << "-20.00";
    QTest::newRow("discount") << "%4.4f" << QVariantList{12.5} << "12.5000";
    QTest::newRow("discount tiny") << "%4.4f" << QVariantList{0.00005} << "0.0001";
    // A value that rounds to zero has no sign.
    QTest::newRow("negative rounding to zero") << "%4.2f" << QVariantList{-0.001} << "0.00";
    QTest::newRow("negative zero") << "%*.*f" << QVariantList{4, 2, -0.0} << "0.00";
    QTest::newRow("negative zero padded") << "%6.2f|" << QVariantList{-0.004} << "  0.00|";
    QTest::newRow("negative zero with plus") << "%+.1f" << QVariantList{-0.01} << "+0.0";
    QTest::newRow("negative not rounding to zero") << "%4.2f" << QVariantList{-0.005001} << "-0.01";

    // Receipt lines.
    QTest::newRow("quantity left") << "%-4.2f|" << QVariantList{12.5} << "12.50|";
    QTest::newRow("quantity cut 12.5") << "%-4.4s|" << QVariantList{QStringLiteral("12.50")} << "12.5|";
    QTest::newRow("quantity cut 100") << "%-4.4s|" << QVariantList{QStringLiteral("100.00")} << "100.|";
    QTest::newRow("quantity padded") << "%-4.4s|" << QVariantList{QStringLiteral("1")} << "1   |";
    QTest::newRow("price") << "%-8.8s|" << QVariantList{QStringLiteral("1234.5678")} << "1234.567|";
    QTest::newRow("name short") << "%-12.11s|" << QVariantList{QStringLiteral("Хляб")} << "Хляб        |";
    QTest::newRow("name cut at 11") << "%-12.11s|" << QVariantList{QStringLiteral("Кашкавал Витоша")}
                                    << "Кашкавал Ви |";
    QTest::newRow("name exactly 11") << "%-12.11s|" << QVariantList{QStringLiteral("Сирене 1 кг")}
                                     << "Сирене 1 кг |";
    QTest::newRow("operator short") << "%-16.16s|" << QVariantList{QStringLiteral("Иван")}
                                    << "Иван            |";
    QTest::newRow("operator cut") << "%-16.16s|" << QVariantList{QStringLiteral("Александър Константинов")}
                                  << "Александър Конст|";
    QTest::newRow("string right aligned") << "%5s|" << QVariantList{QStringLiteral("аб")} << "   аб|";
    QTest::newRow("string empty") << "[%s]" << QVariantList{QString()} << "[]";
    QTest::newRow("string from a number") << "%s" << QVariantList{42} << "42";

    // Integers.
    QTest::newRow("number field") << "%1.0d" << QVariantList{12} << "12";
    QTest::newRow("number field zero") << "%1.0d" << QVariantList{0} << "0";
    QTest::newRow("integer negative") << "%d" << QVariantList{-5} << "-5";
    QTest::newRow("integer width") << "%5d|" << QVariantList{42} << "   42|";
    QTest::newRow("integer left") << "%-5d|" << QVariantList{42} << "42   |";
    QTest::newRow("integer zeros") << "%05d" << QVariantList{-42} << "-0042";
    QTest::newRow("integer precision") << "%.3d" << QVariantList{7} << "007";
    QTest::newRow("zero with zeros flag and no digits") << "%05.0d|" << QVariantList{0} << "    0|";
    QTest::newRow("integer i") << "%i" << QVariantList{qint64(9000000000)} << "9000000000";
    QTest::newRow("unsigned") << "%u" << QVariantList{3000000000u} << "3000000000";

    QTest::newRow("exponent") << "%e" << QVariantList{12345.678} << "1.234568e+04";
    QTest::newRow("general") << "%g" << QVariantList{0.0001} << "0.0001";
    QTest::newRow("minus infinity") << "%4.2f" << QVariantList{-qInf()} << "-inf";

    QTest::newRow("percent") << "%%" << QVariantList{} << "%";
    QTest::newRow("percent after a number") << "%d%%" << QVariantList{5} << "5%";
    QTest::newRow("text around") << "Сума: %4.2f лв. (%s)" << QVariantList{12.3, QStringLiteral("брой")}
                                 << "Сума: 12.30 лв. (брой)";
    QTest::newRow("no conversions") << "Без формат" << QVariantList{} << "Без формат";
}

void TextHelpersTest::cformatCases() {
    QFETCH(QString, format);
    QFETCH(QVariantList, args);
    QFETCH(QString, expected);
    QCOMPARE(callFormat(format, args), expected);
}

void TextHelpersTest::cformatMalformed_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("args");
    QTest::newRow("lone percent") << "%" << QVariantList{};
    QTest::newRow("percent at the end") << "abc%" << QVariantList{1};
    QTest::newRow("width without conversion") << "%5" << QVariantList{1};
    QTest::newRow("flag without conversion") << "%-" << QVariantList{1};
    QTest::newRow("dot without conversion") << "%4." << QVariantList{1};
    QTest::newRow("unknown conversion") << "%q" << QVariantList{1};
    QTest::newRow("length modifier") << "%ld" << QVariantList{1};
    QTest::newRow("letter outside ASCII") << "%ѳ" << QVariantList{1};
    QTest::newRow("width too large") << "%*d" << QVariantList{-2147483647 - 1, 1};
    QTest::newRow("missing argument") << "%d and %d" << QVariantList{1};
    QTest::newRow("missing star arguments") << "%*.*f" << QVariantList{4, 2};
    QTest::newRow("no arguments") << "%s" << QVariantList{};
}

void TextHelpersTest::cformatMalformed() {
    QFETCH(QString, format);
    QFETCH(QVariantList, args);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, callFormat(format, args));
}

// The application sets the process locale from the environment, and in a
// Bulgarian locale C's decimal point is a comma.
void TextHelpersTest::cformatIgnoresNumericLocale() {
    QTemporaryDir locales;
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("bg_BG"), QStringLiteral("-f"),
                     QStringLiteral("UTF-8"), locales.filePath(QStringLiteral("bg_BG.UTF-8"))});
    if (!localedef.waitForFinished(60000) || localedef.exitCode() != 0)
        QSKIP("localedef cannot build a Bulgarian locale here");
    const QByteArray oldPath = qgetenv("LOCPATH");
    qputenv("LOCPATH", QFile::encodeName(locales.path()));
    const char* set = std::setlocale(LC_NUMERIC, "bg_BG.UTF-8");
    if (!set) {
        qputenv("LOCPATH", oldPath);
        QSKIP("the Bulgarian locale cannot be selected");
    }
    const QString amount = formatFixed(1234.5, 2);
    const QString mixed = cformat(u"%e %g %-6.1f|", {1.5, 2.25, 3.0});
    std::setlocale(LC_NUMERIC, "C");
    qputenv("LOCPATH", oldPath);
    QCOMPARE(amount, QStringLiteral("1234.50"));
    QCOMPARE(mixed, QStringLiteral("1.500000e+00 2.25 3.0   |"));
}

void TextHelpersTest::referenceId_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("id");
    QTest::newRow("plain") << "12:Име" << 12;
    QTest::newRow("leading blanks") << "  12:Име" << 12;
    QTest::newRow("blank before the colon") << "12 :Име" << 12;
    QTest::newRow("none") << "0: Няма избран контрагент" << 0;
    QTest::newRow("only the first colon") << "3:Склад 3: горе" << 3;
    QTest::newRow("warehouse without name") << "5:" << 5;
    QTest::newRow("negative") << "-1:x" << -1;
    QTest::newRow("no number") << ":Име" << -1;
    QTest::newRow("letters") << "абв:x" << -1;
    QTest::newRow("digits and letters") << "12a:x" << -1;
    QTest::newRow("blank inside") << "1 2:x" << -1;
    QTest::newRow("decimal") << "1.5:x" << -1;
    QTest::newRow("too large") << "99999999999:x" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("lone colon") << ":" << -1;
    QTest::newRow("no colon, a number") << "7" << -1;
    QTest::newRow("no colon, a number and blanks") << " 12 " << -1;
    QTest::newRow("no colon, no number") << "Склад" << -1;
}

void TextHelpersTest::referenceId() {
    QFETCH(QString, text);
    QFETCH(int, id);
    QCOMPARE(GetID_MFromTreeNodeName(text), id);
}

void TextHelpersTest::referenceTextParts() {
    const QString text = refText(12, QStringLiteral("Склад: горе"));
    QCOMPARE(text, QStringLiteral("12:Склад: горе"));
    QCOMPARE(GetID_MFromTreeNodeName(text), 12);
    QCOMPARE(refDescription(text), QStringLiteral("Склад: горе"));
    QCOMPARE(refDescription(QStringLiteral("0: Няма")), QStringLiteral(" Няма"));
    QCOMPARE(refDescription(QStringLiteral("без двоеточие")), QString());
}

void TextHelpersTest::shortDates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid when the text is refused
    QTest::newRow("plain") << "05.03.2007" << QDate(2007, 3, 5);
    QTest::newRow("blanks around") << " 31.12.2024 " << QDate(2024, 12, 31);
    QTest::newRow("leap day") << "29.02.2024" << QDate(2024, 2, 29);
    QTest::newRow("no such day") << "29.02.2023" << QDate();
    QTest::newRow("single digits") << "5.3.2007" << QDate();
    QTest::newRow("iso") << "2007-03-05" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TextHelpersTest::shortDates() {
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(parseShortDate(text), date);
    if (date.isValid())
        QCOMPARE(shortDate(date), text.trimmed());
}

void TextHelpersTest::exceptionLogLineFormat() {
    const QDateTime when(QDate(2007, 3, 5), QTime(14, 21, 9));
    QCOMPARE(exceptionLogLine(when, QStringLiteral("X"), QStringLiteral("M")),
             QStringLiteral("05.03.2007 14:21:09:X: !M!"));
}

void TextHelpersTest::exceptionLogAppends() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Exceptions.log"));
    const QDateTime first(QDate(2007, 3, 5), QTime(14, 21, 9));
    const QDateTime second(QDate(2024, 12, 31), QTime(23, 59, 59));
    QVERIFY(appendExceptionLog(path, first, QStringLiteral("EDatabaseError"), QStringLiteral("Грешка")));
    QVERIFY(appendExceptionLog(path, second, QStringLiteral("X"), QStringLiteral("M")));
    // One line per exception, even when the message has line breaks.
    QVERIFY(appendExceptionLog(path, second, QStringLiteral("X"), QStringLiteral("ред 1\r\nред 2\nред 3")));
    QCOMPARE(readAll(path), QByteArray("05.03.2007 14:21:09:EDatabaseError: !Грешка!\r\n"
                                       "31.12.2024 23:59:59:X: !M!\r\n"
                                       "31.12.2024 23:59:59:X: !ред 1 ред 2 ред 3!\r\n"));
}

void TextHelpersTest::exceptionLogUnwritable() {
    QTemporaryDir dir;
    QVERIFY(!appendExceptionLog(dir.filePath(QStringLiteral("missing/Exceptions.log")),
                                QDateTime::currentDateTime(), QStringLiteral("X"), QStringLiteral("M")));
}

void TextHelpersTest::exceptionNames() {
    try {
        throw EDatabaseError(QStringLiteral("няма връзка"));
    } catch (const std::exception& e) {
        QCOMPARE(exceptionClassName(e), QStringLiteral("EDatabaseError"));
        QCOMPARE(exceptionMessage(e), QStringLiteral("няма връзка"));
    }
    try {
        throw std::invalid_argument("лош формат");
    } catch (const std::exception& e) {
        QCOMPARE(exceptionClassName(e), QStringLiteral("std::invalid_argument"));
        QCOMPARE(exceptionMessage(e), QStringLiteral("лош формат"));
    }
}

QTEST_GUILESS_MAIN(TextHelpersTest)
#include "test_text_helpers.moc"
