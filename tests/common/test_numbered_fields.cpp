// Numbered-field lines and files: reading a line into its fields, writing
// one that reads back the same, and files in either encoding.

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/numbered_fields.h"
#include "support/fuzz.h"

#include <QTemporaryDir>
#include <QTest>

using namespace torvika;

namespace {

// "n=v" items in line order, as a compact picture of what a line holds.
QString pictureOf(const NumberedFields& f) {
    QStringList items;
    for (const auto& [key, value] : f.fields())
        items << key + u'=' + value;
    return items.join(u'|');
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QStringList readLines(const QString& path) {
    NumberedFieldFile file(path);
    QStringList lines;
    while (auto line = file.nextLine())
        lines << *line;
    return lines;
}

} // namespace

class NumberedFieldsTest : public QObject {
    Q_OBJECT
private slots:
    void readsALine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("fields");
        QTest::newRow("two fields, a tab between") << "1:[15]\t4:[3.5]"
                                                   << "1=15|4=3.5";
        QTest::newRow("a ] ends the value") << "3:[a]b]"
                                            << "3=a";
        QTest::newRow("a : inside a value belongs to it") << "1:[Кабел 2:1]\t2:[x]"
                                                          << "1=Кабел 2:1|2=x";
        QTest::newRow("a [ inside a value stays") << "3:[a[b]"
                                                  << "3=a[b";
        QTest::newRow("an empty value is present") << "3:[]"
                                                   << "3=";
        QTest::newRow("the first occurrence counts") << "1:[a]1:[b]"
                                                     << "1=a";
        QTest::newRow("01 is not 1") << "01:[x]\t1:[y]"
                                     << "01=x|1=y";
        QTest::newRow("digits before the number do not join it") << "5 1:[x]"
                                                                 << "1=x";
        QTest::newRow("text between the : and the [ is ignored") << "7: [v]"
                                                                 << "7=v";
        QTest::newRow("a value with no number is lost") << "x:[v]\t2:[w]"
                                                        << "2=w";
        QTest::newRow("no fields") << "just text"
                                   << "";
        QTest::newRow("a stray ] outside values") << "]1:[a]]"
                                                  << "1=a";
    }
    void readsALine() {
        QFETCH(QString, line);
        QFETCH(QString, fields);
        const NumberedFields f = GET_IMPORTED_DATA(line);
        QCOMPARE(pictureOf(f), fields);
        QVERIFY(!f.unterminated());
    }

    void lookupByNumber() {
        const NumberedFields f = GET_IMPORTED_DATA(u"01:[x]\t2:[]\t10:[ten]");
        QVERIFY(!f.has(1));
        QCOMPARE(f.find(QStringLiteral("01")), std::optional<QString>(QStringLiteral("x")));
        QVERIFY(f.has(2));
        QCOMPARE(f.value(2), QString());
        QCOMPARE(f.value(10), QStringLiteral("ten"));
        QCOMPARE(f.find(3), std::nullopt);
    }

    // Each line starts with nothing of the line before; a value left open is
    // reported, not dropped.
    void unterminatedValue() {
        const NumberedFields f = GET_IMPORTED_DATA(u"1:[a]\t3:[abc");
        QVERIFY(f.unterminated());
        QCOMPARE(f.unterminatedField(), QStringLiteral("3"));
        QCOMPARE(pictureOf(f), QStringLiteral("1=a"));
        QCOMPARE(pictureOf(GET_IMPORTED_DATA(u"2:[b]")), QStringLiteral("2=b"));
    }

    void writesALine() {
        const QList<NumberedField> fields = {
            {1, QStringLiteral("15")},
            {2, QStringLiteral("Кабел 2:1 \"ДЛЪГ\" [тип")},
            {14, QString()},
        };
        QCOMPARE(numberedFieldLine(fields), QStringLiteral("1:[15]\t2:[Кабел 2:1 \"ДЛЪГ\" [тип]\t14:[]"));
    }
    void refusesWhatCannotBeCarried_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("]") << "a]b";
        QTest::newRow("line feed") << "a\nb";
        QTest::newRow("carriage return") << "a\rb";
    }
    void refusesWhatCannotBeCarried() {
        QFETCH(QString, value);
        QVERIFY(!numberedFieldCanCarry(value));
        QVERIFY_THROWS_EXCEPTION(EConvertError, numberedFieldLine({{1, value}}));
    }
    void roundTrip() {
        const QList<NumberedField> fields = {
            {1, QStringLiteral("23")},
            {2, QStringLiteral("Чай \"Мура\" 1:2 [BG")},
            {3, QString()},
            {4, QStringLiteral("12.5")},
            {20, QStringLiteral("€ № – ё")},
        };
        const QString line = numberedFieldLine(fields);
        const NumberedFields back = GET_IMPORTED_DATA(fromCp1251(numberedFieldFileLine(line).chopped(2)));
        for (const auto& field : fields)
            QCOMPARE(back.value(field.number), field.value);
        QCOMPARE(back.fields().size(), fields.size());
    }
    void fileLinesAreCp1251WithCrLf() {
        QCOMPARE(numberedFieldFileLine(QStringLiteral("1:[Я]")), QByteArray("1:[\xDF]\r\n"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, numberedFieldFileLine(QStringLiteral("1:[漢]")));
    }

    // The same lines in UTF-8 with a byte-order mark, in UTF-8 without one and
    // in Windows-1251 read alike; CR LF and LF both end a line, and the last
    // line needs no line end.
    void filesInEitherEncoding() {
        QTemporaryDir dir;
        const QString text = QStringLiteral("1:[Чай]\t4:[3,5]\r\n2:[Щ]\n\n3:[край]");
        const QStringList expected = {QStringLiteral("1:[Чай]\t4:[3,5]"), QStringLiteral("2:[Щ]"), QString(),
                                      QStringLiteral("3:[край]")};
        QCOMPARE(readLines(writeFile(dir, "bom.txt", "\xEF\xBB\xBF" + text.toUtf8())), expected);
        QCOMPARE(readLines(writeFile(dir, "utf8.txt", text.toUtf8())), expected);
        QCOMPARE(readLines(writeFile(dir, "cp1251.txt", toCp1251(text))), expected);
        QCOMPARE(readLines(writeFile(dir, "empty.txt", QByteArray())), QStringList());
        NumberedFieldFile file(writeFile(dir, "count.txt", "a\r\nb\r\n"));
        QCOMPARE(*file.nextLine(), QStringLiteral("a"));
        QCOMPARE(*file.nextLine(), QStringLiteral("b"));
        QCOMPARE(file.lineNumber(), 2);
        QCOMPARE(file.nextLine(), std::nullopt);
        QCOMPARE(file.position(), file.size());
    }
    // Lines longer than one read of the file are joined whole.
    void longLines() {
        QTemporaryDir dir;
        const QByteArray longValue(3 << 20, 'x');
        const QStringList lines = readLines(writeFile(dir, "long.txt", "1:[" + longValue + "]\r\n2:[y]"));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(GET_IMPORTED_DATA(lines[0]).value(1).size(), longValue.size());
    }
    // A line longer than any record (a file of another kind, a binary
    // without NUL bytes) is refused instead of being read into memory whole.
    void tooLongALine() {
        QTemporaryDir dir;
        const QByteArray huge(NumberedFieldFile::kMaxLineBytes + 10, 'x');
        for (const QByteArray& bytes : {"1:[a]\r\n" + huge, "1:[a]\r\n" + huge + "\r\n2:[b]"}) {
            NumberedFieldFile file(writeFile(dir, "huge.txt", bytes));
            QCOMPARE(*file.nextLine(), QStringLiteral("1:[a]"));
            QVERIFY_THROWS_EXCEPTION(EConvertError, file.nextLine());
        }
    }
    void refusedFiles() {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(EConvertError,
                                 NumberedFieldFile(writeFile(dir, "bin", QByteArray("1:[a]\0\x01", 7))));
        QVERIFY_THROWS_EXCEPTION(EInOutError, NumberedFieldFile(dir.filePath("missing.txt")));
    }

    void fuzzedLinesNeverCrashOrHang() {
        const QList<QByteArray> seeds = {
            "1:[15]\t4:[3.5]",
            "1:[23]\t2:[\xD7\xE0\xE9]\t3:[BG]\t4:[1,20]\t5:[1]\t10:[]\t12:[True]",
            "3:[a[b]c]]:[::]01:[x",
        };
        const auto result = torvika::test::fuzz(seeds, 4000, [](const QByteArray& bytes) {
            const NumberedFields f = GET_IMPORTED_DATA(decodeUtf8OrCp1251(bytes));
            for (const auto& [key, value] : f.fields())
                if (key.isEmpty())
                    throw std::logic_error("a field without a number");
        });
        QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
        QCOMPARE(result.refused, 0);
    }

    // The file reader: any bytes read as lines or refused, never a crash or
    // a hang.
    void fuzzedFilesNeverCrashOrHang() {
        QTemporaryDir dir;
        const QString path = dir.filePath("fuzz.txt");
        const QList<QByteArray> seeds = {
            "\xEF\xBB\xBF"
            "1:[1024]2:[7.5]\r\n2:[\xD0\xA7]\n",
            "1:[23]\t2:[\xD7\xE0\xE9]\r\n\r\n3:[x]",
        };
        const auto result = torvika::test::fuzz(seeds, 1000, [&](const QByteArray& bytes) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            f.close();
            NumberedFieldFile file(path);
            qint64 lines = 0;
            while (auto line = file.nextLine()) {
                GET_IMPORTED_DATA(*line);
                ++lines;
            }
            if (file.position() != file.size() || lines > bytes.count('\n') + 1)
                throw std::logic_error("lines read that the file does not hold");
        });
        QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
    }
};

QTEST_GUILESS_MAIN(NumberedFieldsTest)
#include "test_numbered_fields.moc"
