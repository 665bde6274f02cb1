// Grid export files: the kinds, the footer line, zero padding and the text
// table written for a grid.

#include "common/grid_export.h"

#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;

namespace {

const QByteArray bom = QByteArrayLiteral("\xEF\xBB\xBF");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray crlfLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += (l + QStringLiteral("\r\n")).toUtf8();
    return out;
}

// Two rows: one value longer than its column, one shorter, and a date.
std::unique_ptr<QStandardItemModel> smallModel() {
    auto m = std::make_unique<QStandardItemModel>(2, 3);
    m->setHorizontalHeaderLabels({QStringLiteral("Име"), QStringLiteral("Цена"), QStringLiteral("Дата")});
    m->setItem(0, 0, new QStandardItem(QStringLiteral("Кабел HDMI")));
    m->setItem(0, 1, new QStandardItem(QStringLiteral("12.50")));
    auto* date = new QStandardItem;
    date->setData(QDate(2024, 1, 5), Qt::DisplayRole);
    m->setItem(0, 2, date);
    m->setItem(1, 0, new QStandardItem(QStringLiteral("Много дълго име на артикул над двадесет")));
    m->setItem(1, 1, new QStandardItem(QStringLiteral("1234567.89")));
    return m;
}

// 100 px = 20 characters, 32 px = 6, 55 px = 11.
const QList<GridColumn> smallColumns{
    {0, QStringLiteral("Име"), 100}, {1, QStringLiteral("Цена"), 32}, {2, QStringLiteral("Дата"), 55}};

} // namespace

class GridExportTest : public QObject {
    Q_OBJECT
private slots:
    void kinds_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("separator");
        // clang-format off
        QTest::newRow("text") << 0 << "Текстов файл" << 0 << ".txt" << "|";
        QTest::newRow("excel") << 1 << "Excel" << 1 << ".xls" << "\t";
        QTest::newRow("word") << 2 << "Word" << 2 << ".rtf" << "\t";
        QTest::newRow("html") << 3 << "HTML" << 3 << ".html" << "\t";
        QTest::newRow("unknown is the unchosen kind") << 7 << "" << 0 << "" << "";
        // clang-format on
    }
    void kinds() {
        QFETCH(int, choice);
        QFETCH(QString, caption);
        QFETCH(int, number);
        QFETCH(QString, extension);
        QFETCH(QString, separator);
        const ExportKind k = exportKindFor(choice);
        QCOMPARE(k.number, number);
        QCOMPARE(k.extension, extension);
        QCOMPARE(k.separator, separator);
        if (choice < int(exportKindChoices.size()))
            QCOMPARE(exportKindChoices[choice].caption.toString(), caption);
    }

    void footerIsOneLineOf101Characters() {
        const QString f = footerLine();
        QCOMPARE(f.size(), 101);
        QVERIFY(f.startsWith(QStringLiteral("Този документ е издаден от програма \"Торвика\".")));
        QVERIFY(!f.contains(u'\r') && !f.contains(u'\n'));
    }

    void formatNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("padded") << "125" << 6 << "000125";
        QTest::newRow("longer unchanged") << "1234" << 3 << "1234";
        QTest::newRow("exact width") << "12" << 2 << "12";
        QTest::newRow("empty") << "" << 3 << "000";
        // clang-format on
    }
    void formatNumbers() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(FORMAT_NUMBERS(text, width), expected);
    }

    // The whole file, byte for byte, for each kind.
    void gridFile_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("sep");
        QTest::addColumn<bool>("html");
        // clang-format off
        QTest::newRow("text") << 0 << "|" << false;
        QTest::newRow("excel") << 1 << "\t" << false;
        QTest::newRow("word") << 2 << "\t" << false;
        QTest::newRow("html") << 3 << "\t" << true;
        // clang-format on
    }
    void gridFile() {
        QFETCH(int, choice);
        QFETCH(QString, sep);
        QFETCH(bool, html);
        QTemporaryDir dir;
        const ExportKind kind = exportKindFor(choice);
        const QString file = exportFileName(dir.path(), QStringLiteral("Spr_Prod"), kind);
        QCOMPARE(file, dir.path() + "/Spr_Prod" + kind.extension);
        auto model = smallModel();
        QVERIFY(PRINT_INTO(*model, smallColumns, file, kind));

        QStringList lines{QString()};
        if (html)
            lines << QStringLiteral("<pre>");
        lines << sep + "Име                 " + sep + "Цена  " + sep + "Дата       " << QString() //
              << sep + "Кабел HDMI          " + sep + "12.50 " + sep + "05.01.2024 "
              << sep + "Много дълго име на а" + sep + "123456" + sep + "           " //
              << QString();
        QCOMPARE(readAll(file), bom + crlfLines(lines));
    }

    void cellText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("fraction of a character dropped") << "abcdef" << 24 << 0 << "abcd";
        QTest::newRow("narrower than a character") << "abc" << 4 << 0 << "";
        QTest::newRow("line breaks and tabs become blanks") << "a\r\nb\tc" << 40 << 0 << "a  b c  ";
        QTest::newRow("html escaped after cutting") << "<b>&x" << 20 << 3 << "&lt;b&gt;&amp;";
        QTest::newRow("no escaping in text") << "<b>" << 20 << 0 << "<b> ";
        QTest::newRow("pair kept whole") << QString::fromUtf8("ab\xF0\x9F\x98\x80") << 15 << 0 << "ab ";
        // clang-format on
    }
    void cellText() {
        QFETCH(QString, text);
        QFETCH(int, pixels);
        QFETCH(int, choice);
        QFETCH(QString, expected);
        QCOMPARE(exportCell(text, pixels, exportKindFor(choice)), expected);
    }

    // The caller's heading lines stay in front of the table, with one
    // byte-order mark at the very start; rewriting drops an older file.
    void appendingKeepsHeading() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Export.txt"));
        QVERIFY(writeExportLines(file, {QStringLiteral("old content")}));
        QVERIFY(
            writeExportLines(file, {QString(), QStringLiteral("\tЕкспорт артикули ")}, ExportWrite::Rewrite));
        QStandardItemModel model(1, 1);
        model.setItem(0, 0, new QStandardItem(QStringLiteral("x")));
        const ExportKind kind = exportKindFor(0);
        QVERIFY(PRINT_INTO(model, {{0, QStringLiteral("A"), 10}}, file, kind));
        QVERIFY(writeExportLines(file, {QString(), QString(), footerLine()}));
        QCOMPARE(readAll(file), bom + crlfLines({QString(), QStringLiteral("\tЕкспорт артикули "), QString(),
                                                 QStringLiteral("|A "), QString(), QStringLiteral("|x "),
                                                 QString(), QString(), QString(), footerLine()}));
    }

    // A query model hands out its rows in portions; the file has every row.
    void allRowsOfAQueryModel() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Big.txt"));
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("grid_export"));
            db.setDatabaseName(QStringLiteral(":memory:"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE t (n INTEGER)")));
            QVERIFY(q.exec(QStringLiteral("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c "
                                          "WHERE n < 700) INSERT INTO t SELECT n FROM c")));
            QSqlQueryModel model;
            model.setQuery(QStringLiteral("SELECT n FROM t ORDER BY n"), db);
            QVERIFY(!model.lastError().isValid());
            QVERIFY(model.canFetchMore());
            QVERIFY(PRINT_INTO(model, {{0, QStringLiteral("N"), 20}}, file, exportKindFor(0)));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("grid_export"));
        const QList<QByteArray> lines = readAll(file).mid(bom.size()).split('\n');
        // Empty, titles, empty, 700 rows, empty, and nothing after the last CR LF.
        QCOMPARE(lines.size(), 3 + 700 + 1 + 1);
        QCOMPARE(lines.at(3), QByteArray("|1   \r"));
        QCOMPARE(lines.at(702), QByteArray("|700 \r"));
    }

    void writeErrorsEndSilently_data() {
        QTest::addColumn<QString>("file");
        // clang-format off
        QTest::newRow("missing directory") << "/nonexistent-torvika-dir/Spr.txt";
        QTest::newRow("full device") << "/dev/full";
        // clang-format on
    }
    void writeErrorsEndSilently() {
        QFETCH(QString, file);
        if (file == QLatin1String("/dev/full") && !QFile::exists(file))
            QSKIP("no /dev/full here");
        auto model = smallModel();
        QVERIFY(!PRINT_INTO(*model, smallColumns, file, exportKindFor(0)));
        QVERIFY(!writeExportLines(file, {QStringLiteral("x")}));
    }
};

QTEST_GUILESS_MAIN(GridExportTest)
#include "test_grid_export.moc"
