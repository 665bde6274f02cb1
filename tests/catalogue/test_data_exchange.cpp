// Import and export of articles, counterparties and counterparty numbers as
// numbered-field files, on either engine: what each line does, the lines
// refused and why, one transaction per file, the group lookup and the tree
// file, replace mode, the export's formats and the values it cannot carry,
// and files that come back identical after a round trip through a new
// company database.

#include "catalogue/article_groups.h"
#include "catalogue/data_export.h"
#include "catalogue/data_import.h"
#include "catalogue/texts.h"
#include "common/cp1251.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/numbered_export.h"
#include "common/sql.h"
#include "common/texts.h"
#include "common/working_table.h"
#include "counterparties/counterparty_exchange.h"
#include "counterparties/texts.h"
#include "support/fixture.h"
#include "support/fuzz.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace torvika;

namespace {

// Cancels at the first look.
class CancelAtOnce : public Progress {
public:
    void start(int) override {}
    void setValue(int) override {}
    bool cancelled() override { return true; }
    void finish() override {}
};

QStringList numbered(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        out << QString::number(out.size() + 1) + "- " + l;
    return out;
}

QStringList closing(int total, int added, const QString& last, int refused = 0,
                    const QString& totalText = texts::kImportArticlesTotal) {
    QStringList out{QString(), totalText.arg(total), texts::kImportAdded.arg(added), last};
    if (refused > 0)
        out << texts::kImportRefusedLines.arg(refused);
    return out;
}

QByteArray cp(const char* utf8) {
    return toCp1251(QString::fromUtf8(utf8));
}

QList<bool> all(const ExportSource& s) {
    return QList<bool>(s.fields.size(), true);
}

} // namespace

class DataExchangeTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QTemporaryDir files_; // outside the company database, kept across a new one
    QSqlDatabase db() { return fx_->db(); }
    QString treeFile() { return articleTreeFile(fx_->session().workspace.directory()); }
    QString file(const QString& name, const QString& text) {
        const QString path = files_.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(toCp1251(text));
        return path;
    }
    ArticleImport importArticles(const QString& text, bool replace = false) {
        NoProgress progress;
        return torvika::importArticles(db(), treeFile(), file("articles.txt", text), replace, progress);
    }
    void group(qint64 id, const QString& name) {
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (?, ?)", {id, name});
    }
    void article(qint64 id, qint64 group, const QString& name, const char* price = "1") {
        execSql(
            db(),
            "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Dostavna_Cena, Valuta_D, Ed_Cena, "
            "Valuta_P, Mqrka, Garancionen, Kasovo_Ime, Etiketno_Ime, Dostav4ik, Poredica, Min_Kol, Dan_Grup, "
            "Prigotvq_Se) VALUES (?, ?, ?, ?, 2.5, 'Лева', ?, 'Лева', 'бр.', 'False', 'Каса', 'Етикет', 0, "
            "'False', 1, 1, 0)",
            {id, QStringLiteral("N%1").arg(id), group, name, numberColumnValue(Decimal(price))});
    }
    QVariantList row(const QString& sql, const QVariantList& values = {}) {
        const SqlRows rows = readRows(db(), sql, values);
        return rows.rows.isEmpty() ? QVariantList() : rows.rows[0];
    }
    int count(const QString& sql, const QVariantList& values = {}) {
        return scalarSql(db(), sql, values).toInt();
    }
    QByteArray exported(const ExportSource& source, const ExportFormat& format = {},
                        QList<bool> chosen = {}) {
        const QString path = files_.filePath("export.txt");
        NoProgress progress;
        writeExport(db(), source, chosen.isEmpty() ? all(source) : chosen, format, path, progress);
        return test::Fixture::readFile(path);
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        fx_->writeFile("Data/Opis.pdt", "Всички артикули\r\n1:Напитки\r\n5:Рай\r\n12:Храни\r\n");
        group(1, "Напитки");
        group(5, "Рай");
        group(12, "Храни");
    }
    void cleanup() { fx_.reset(); }

    // Every field of a new article, the group found by its exact name in any
    // letter case (never by a pattern: "Чай" is not "Рай"), one default
    // group for the lines without one, catalogue numbers that cannot
    // collide, and the new groups' nodes written to the tree after the
    // commit.
    void importsNewArticles() {
        const ArticleImport r = importArticles(
            "1:[10]\t2:[К-10]\t3:[Чай \"Мура\" 2:1 [BG]\t4:[3,50]\t5:[eur]\t6:[кг.]\t7:[Чай]\t10:[4]\t11:[2]"
            "\t12:[True]\t13:[false]\t14:[2]\t15:[1]\t16:[1:30]\t17:[5.5]\t18:[77]\t19:[Етикет]\t20:[Каса]"
            "\r\n"
            "1:[11]\t7:[ЧАЙ]\r\n"
            "5 1:[23]\t7:[напитки]\t10:[]\r\n"
            "\r\n"
            "1:[3]\t7:[Храни]\r\n"
            "1:[30]\t3:[Без група]\r\n"
            "1:[31]\r\n");
        QCOMPARE(r.report.outcome, ImportReport::Outcome::Stored);
        QCOMPARE(r.report.lines,
                 (numbered({texts::kImportArticleAdded.arg("10", "Чай \"Мура\" 2:1 [BG"),
                            texts::kImportArticleAdded.arg("11", ""),
                            texts::kImportArticleAdded.arg("23", ""), texts::kImportArticleAdded.arg("3", ""),
                            texts::kImportArticleAdded.arg("30", "Без група"),
                            texts::kImportArticleAdded.arg("31", "")}) +
                  closing(6, 6, texts::kImportRepeated.arg(0)) + QStringList{texts::kImportPressEsc}));
        QCOMPARE(
            row("SELECT ID, Nomenkl_N, Nomer_Grupa, Opisanie, Dostavna_Cena, Valuta_D, Ed_Cena, Valuta_P, "
                "Mqrka, Garancionen, Kasovo_Ime, Etiketno_Ime, Dostav4ik, Poredica, Min_Kol, Max_TO, "
                "Trajnost, Kod_Vezna, Dan_Grup, Prigotvq_Se FROM Produkti WHERE ID = 10"),
            (QVariantList({10,     "К-10",  13,     "Чай \"Мура\" 2:1 [BG",
                           0.0,    "EUR",   3.5,    "EUR",
                           "кг.",  "True",  "Каса", "Етикет",
                           4,      "False", 2,      5.5,
                           "1:30", 77,      2,      1})));
        // Defaults of a line with the number alone.
        QCOMPARE(
            row("SELECT Nomenkl_N, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Mqrka, Garancionen, Kasovo_Ime, "
                "Dostav4ik, Poredica, Min_Kol, Dan_Grup, Prigotvq_Se FROM Produkti WHERE ID = 31"),
            (QVariantList({"14_31", 14, "", 0.0, "Лева", "бр.", "False", "", 0, "False", 1, 1, 0})));
        QCOMPARE(scalarSql(db(), "SELECT Nomer_Grupa FROM Produkti WHERE ID = 11").toInt(), 13);
        QCOMPARE(scalarSql(db(), "SELECT Nomenkl_N FROM Produkti WHERE ID = 23").toString(),
                 QStringLiteral("1_23"));
        QCOMPARE(scalarSql(db(), "SELECT Nomenkl_N FROM Produkti WHERE ID = 3").toString(),
                 QStringLiteral("12_3"));
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), 5);
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Grupi WHERE ID = 14").toString(),
                 QStringLiteral("Група 14"));
        QCOMPARE(
            test::Fixture::readFile(treeFile()),
            QByteArray("Всички артикули\r\n1:Напитки\r\n5:Рай\r\n12:Храни\r\n13:Чай\r\n14:Група 14\r\n"));

        // The import report window's rows.
        WorkingTable table(db(), "Import_Statistic", kImportStatisticColumns);
        fillImportStatistics(db(), table.table(), r.statistics);
        const SqlStatement s = importStatisticsStatement(table.table());
        const SqlRows stats = readRows(db(), s.text, s.values);
        QCOMPARE(stats.rows.size(), 6);
        QCOMPARE(stats.rows[0], (QVariantList({1, 10, "Чай \"Мура\" 2:1 [BG", 3.5, "EUR", "НЕ", "ДА"})));
    }

    // Replace mode writes the fields the line holds and nothing else: never
    // the delivery price, nor the receipt and label names from the
    // description. A statistics row only for a price that changed.
    void replaceMode() {
        article(1, 1, "Кола", "10");
        article(2, 1, "Фанта", "2");
        const QString text = "1:[1]\t3:[Кока-Кола]\t4:[12]\t7:[Храни]\r\n1:[2]\t3:[Фанта 2л]\t4:[2.00]\r\n";
        ArticleImport off = importArticles(text);
        QCOMPARE(off.report.lines,
                 (numbered({texts::kImportArticleExists.arg("1", "Кока-Кола"),
                            texts::kImportArticleExists.arg("2", "Фанта 2л")}) +
                  closing(2, 0, texts::kImportRepeated.arg(2)) + QStringList{texts::kImportPressEsc}));
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Produkti WHERE ID = 1").toString(),
                 QStringLiteral("Кола"));

        ArticleImport on = importArticles(text, true);
        QCOMPARE(on.report.lines,
                 (numbered({texts::kImportArticleUpdated.arg("1", "Кока-Кола"),
                            texts::kImportArticleUpdated.arg("2", "Фанта 2л")}) +
                  closing(2, 0, texts::kImportReplaced.arg(2)) + QStringList{texts::kImportPressEsc}));
        QCOMPARE(
            row("SELECT Opisanie, Ed_Cena, Nomer_Grupa, Dostavna_Cena, Kasovo_Ime, Etiketno_Ime, Nomenkl_N, "
                "Valuta_P FROM Produkti WHERE ID = 1"),
            (QVariantList({"Кока-Кола", 12.0, 12, 2.5, "Каса", "Етикет", "N1", "Лева"})));
        QCOMPARE(on.statistics.size(), 1);
        QCOMPARE(on.statistics[0].id, 1);
        QVERIFY(on.statistics[0].priceCorrected && !on.statistics[0].added);
    }

    // A line that holds no valid record is refused with its reason; the
    // other lines are stored.
    void refusedLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no number") << "3:[x]" << texts::kImportMissingField.arg(1);
        QTest::newRow("number not a number")
            << "1:[abc]" << texts::kImportNotAWholeNumber.arg("1", "abc", "1", "2147483647");
        QTest::newRow("number 0") << "1:[0]"
                                  << texts::kImportNotAWholeNumber.arg("1", "0", "1", "2147483647");
        QTest::newRow("number above the column")
            << "1:[2147483648]" << texts::kImportNotAWholeNumber.arg("1", "2147483648", "1", "2147483647");
        QTest::newRow("01 is not field 1") << "01:[7]" << texts::kImportMissingField.arg(1);
        QTest::newRow("price not a number")
            << "1:[7]\t4:[1,2,3]" << texts::kImportNotANumber.arg("4", "1,2,3");
        QTest::newRow("price below 0") << "1:[7]\t4:[-1]" << texts::kImportBelow.arg("4", "-1", "0");
        QTest::newRow("unknown currency") << "1:[7]\t5:[XYZ]" << texts::kImportNoSuchCurrency.arg("XYZ");
        QTest::newRow("supplier not whole")
            << "1:[7]\t10:[2.5]" << texts::kImportNotAWholeNumber.arg("10", "2.5", "0", "2147483647");
        QTest::newRow("minimum too large")
            << "1:[7]\t11:[2000000]" << texts::kImportNotAWholeNumber.arg("11", "2000000", "0", "1000000");
        QTest::newRow("warranty not a mark") << "1:[7]\t12:[да]" << texts::kImportNotAMark.arg("12", "да");
        QTest::newRow("tax group") << "1:[7]\t14:[4]"
                                   << texts::kImportNotAWholeNumber.arg("14", "4", "0", "3");
        QTest::newRow("discount above 100")
            << "1:[7]\t17:[100.5]" << texts::kImportOutOfRange.arg("17", "100.5", "0", "100");
        QTest::newRow("description too long")
            << "1:[7]\t3:[" + QString(151, u'я') + "]" << texts::kImportTooLong.arg(3).arg(150);
        QTest::newRow("unterminated value") << "1:[7]\t3:[abc" << texts::kImportUnterminated.arg("3");
        QTest::newRow("repeated in the file")
            << "1:[40]" << texts::kImportRepeatedInFile.arg(texts::kImportArticleKey.arg(40), "1");
    }
    void refusedLines() {
        QFETCH(QString, line);
        QFETCH(QString, reason);
        const ArticleImport r = importArticles("1:[40]\r\n" + line + "\r\n1:[41]\r\n");
        QCOMPARE(r.report.outcome, ImportReport::Outcome::Stored);
        QCOMPARE(
            r.report.lines,
            (numbered({texts::kImportArticleAdded.arg("40", ""), texts::kImportLineRefused.arg(2).arg(reason),
                       texts::kImportArticleAdded.arg("41", "")}) +
             closing(2, 2, texts::kImportRepeated.arg(0), 1) + QStringList{texts::kImportPressEsc}));
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti"), 2);
    }

    // One transaction per file: a cancelled or failed import stores nothing
    // (no article, no group, no node), and says what it would have stored.
    void nothingStoredUnlessWhole() {
        const QByteArray tree = test::Fixture::readFile(treeFile());
        const QString path = file("a.txt", "1:[50]\t7:[Нова]\r\n1:[51]\r\n");
        CancelAtOnce cancel;
        ArticleImport c = torvika::importArticles(db(), treeFile(), path, false, cancel);
        QCOMPARE(c.report.outcome, ImportReport::Outcome::Cancelled);
        QCOMPARE(c.report.lines, (numbered({texts::kImportArticleAdded.arg("50", ""),
                                            texts::kImportArticleAdded.arg("51", "")}) +
                                  closing(2, 2, texts::kImportRepeated.arg(0)) +
                                  QStringList{QString(), texts::kImportCancelled, texts::kImportNothingStored,
                                              texts::kImportPressEsc}));

        article(2, 1, "Фанта");
        test::refuseUpdates(db(), "Produkti", "no updates");
        ArticleImport f = importArticles("1:[50]\t7:[Нова]\r\n1:[2]\t3:[x]\r\n", true);
        QCOMPARE(f.report.outcome, ImportReport::Outcome::Failed);
        QVERIFY2(f.report.failure.contains("no updates"), qPrintable(f.report.failure));
        QCOMPARE(f.report.lines.mid(f.report.lines.size() - 4, 2),
                 (QStringList({QString(), texts::kImportFailed.arg(f.report.failure)})));
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), 3);
        QCOMPARE(test::Fixture::readFile(treeFile()), tree);

        // A file that is no text, or cannot be read, is refused before anything.
        NoProgress progress;
        QVERIFY_THROWS_EXCEPTION(
            EConvertError,
            torvika::importArticles(db(), treeFile(), fx_->writeFile("bin.dat", QByteArray("1:[5]\0\1", 7)),
                                    false, progress));
        QVERIFY_THROWS_EXCEPTION(
            EInOutError,
            torvika::importArticles(db(), treeFile(), files_.filePath("none.txt"), false, progress));
    }

    // Counterparties: matched by a real EIK only (persons without one are
    // all added); replace mode writes the company and person fields of the
    // line over the stored ones and keeps the key and group; a firm that
    // shares the "none" person gets a person of its own.
    void importsCounterparties() {
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient, Grad, Adres_Klient, Telefon_Klient, EGN) "
                      "VALUES (5, 'Иван', 'София', 'ул. 1', '02', '7501010010')");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Grad, T_O, ID_Mol, Nomer_Grupa) VALUES "
                      "(1, 'Алфа', '111', 'Варна', 2, 5, 3), (2, 'Бета', '444', '', 0, 0, 0)");
        const QString text = "1:[111]\t3:[Алфа ООД]\t11:[Иван Иванов]\r\n"
                             "1:[]\t3:[Гама]\t11:[Петър]\r\n"
                             "1:[0]\t3:[Делта]\r\n"
                             "3:[Епсилон]\r\n"
                             "1:[222]\t3:[Зета]\t10:[5,5]\t17:[бележка]\r\n"
                             "1:[222]\t3:[Зета 2]\r\n"
                             "1:[333]\t10:[abc]\r\n"
                             "1:[444]\t11:[Мария]\r\n";
        NoProgress progress;
        const ImportReport off = importCounterparties(db(), file("k.txt", text), false, progress);
        QCOMPARE(
            off.lines,
            (numbered({kImportCounterpartyExists.arg("111", "Алфа ООД"),
                       kImportCounterpartyAdded.arg("", "Гама"), kImportCounterpartyAdded.arg("0", "Делта"),
                       kImportCounterpartyAdded.arg("", "Епсилон"),
                       kImportCounterpartyAdded.arg("222", "Зета"),
                       texts::kImportLineRefused.arg(6).arg(
                           texts::kImportRepeatedInFile.arg(kImportCounterpartyKey.arg("222"), "5")),
                       texts::kImportLineRefused.arg(7).arg(texts::kImportNotANumber.arg("10", "abc")),
                       kImportCounterpartyExists.arg("444", "")}) +
             closing(6, 4, texts::kImportRepeated.arg(2), 2, texts::kImportDataTotal) +
             QStringList{texts::kImportPressEsc}));
        QCOMPARE(
            row("SELECT Ime_Firma, Grad, T_O, Zabel, Nomer_Grupa, EIK FROM Firmi WHERE Ime_Firma = 'Зета'"),
            (QVariantList({"Зета", "", 5.5, "бележка", 0, "222"})));
        QCOMPARE(
            row("SELECT K.Ime_Klient FROM Firmi F, Klienti K WHERE K.ID = F.ID_Mol AND F.Ime_Firma = 'Гама'"),
            (QVariantList({"Петър"})));
        QCOMPARE(count("SELECT COUNT(*) FROM Firmi"), 7);
        QCOMPARE(scalarSql(db(), "SELECT Ime_Firma FROM Firmi WHERE ID = 1").toString(),
                 QStringLiteral("Алфа"));

        const ImportReport on = importCounterparties(
            db(), file("k.txt", text.section("\r\n", 0, 0) + "\r\n" + text.section("\r\n", 7, 7)), true,
            progress);
        QCOMPARE(on.lines, (numbered({kImportCounterpartyUpdated.arg("111", "Алфа ООД"),
                                      kImportCounterpartyUpdated.arg("444", "")}) +
                            closing(2, 0, texts::kImportReplaced.arg(2), 0, texts::kImportDataTotal) +
                            QStringList{texts::kImportPressEsc}));
        QCOMPARE(
            row("SELECT F.Ime_Firma, F.Grad, F.T_O, F.Nomer_Grupa, F.ID_Mol, K.Ime_Klient, K.Grad, K.EGN "
                "FROM Firmi F, Klienti K WHERE K.ID = F.ID_Mol AND F.ID = 1"),
            (QVariantList({"Алфа ООД", "Варна", 2.0, 3, 5, "Иван Иванов", "София", "7501010010"})));
        const QVariantList beta = row("SELECT F.ID_Mol, K.Ime_Klient FROM Firmi F, Klienti K "
                                      "WHERE K.ID = F.ID_Mol AND F.ID = 2");
        QVERIFY(beta[0].toLongLong() > 5);
        QCOMPARE(beta[1].toString(), QStringLiteral("Мария"));
        QCOMPARE(scalarSql(db(), "SELECT Ime_Klient FROM Klienti WHERE ID = 0").toString(),
                 QStringLiteral("Няма избран контрагент"));
    }

    // Counterparty numbers: fields 1 to 3, an article and a counterparty
    // that exist, a number no other article has for that counterparty; a
    // number stored already is skipped.
    void importsCounterpartyNumbers() {
        article(1, 1, "Кола");
        article(2, 1, "Фанта");
        execSql(
            db(),
            "INSERT INTO Firmi (ID, Ime_Firma, EIK, ID_Mol, Nomer_Grupa) VALUES (1, 'Алфа', '111', 0, 0)");
        execSql(db(), "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (1, 'X1', 1)");
        NoProgress progress;
        const ImportReport r = importCounterpartyNumbers(db(),
                                                         file("n.txt", "1:[1]\t2:[X1]\t3:[1]\r\n"
                                                                       "1:[1]\t2:[X2]\t3:[1]\r\n"
                                                                       "\r\n"
                                                                       "1:[2]\t2:[X2]\t3:[1]\r\n"
                                                                       "1:[9]\t2:[Y]\t3:[1]\r\n"
                                                                       "1:[1]\t2:[Y]\t3:[9]\r\n"
                                                                       "1:[1]\t2:[Y]\r\n"
                                                                       "1:[1]\t2:[ ]\t3:[1]\r\n"),
                                                         progress);
        QCOMPARE(
            r.lines,
            (numbered({texts::kImportNumberKept.arg("1", "Кола", "X1", "1", "Алфа"),
                       texts::kImportNumberAdded.arg("1", "Кола", "X2", "1", "Алфа"),
                       texts::kImportLineRefused.arg(4).arg(texts::kImportNumberTaken.arg("X2", "1", "1")),
                       texts::kImportLineRefused.arg(5).arg(texts::kImportNoSuchArticle.arg(9)),
                       texts::kImportLineRefused.arg(6).arg(texts::kImportNoSuchCounterparty.arg(9)),
                       texts::kImportLineRefused.arg(7).arg(texts::kImportMissingField.arg(3)),
                       texts::kImportLineRefused.arg(8).arg(texts::kImportEmptyField.arg(2))}) +
             closing(2, 1, texts::kImportRepeated.arg(1), 5, texts::kImportDataTotal) +
             QStringList{texts::kImportPressEsc}));
        QCOMPARE(count("SELECT COUNT(*) FROM Nomenklatures"), 2);
    }

    // The export's line: opener, value, closer and a tab per chosen field;
    // numbers with the chosen decimal separator; articles without a group
    // and counterparties without a person are written too.
    void exportFormats() {
        QCOMPARE(fieldOpener("N:[", 7), QStringLiteral("7:["));
        QCOMPARE(fieldOpener("N", 12), QStringLiteral("12"));
        QCOMPARE(fieldOpener("", 7), QString());
        QCOMPARE(fieldOpener("[", 7), QStringLiteral("["));

        article(1, 1, "Кола", "12.5");
        article(2, 99, "Без група", "0.1");
        execSql(db(), "UPDATE Produkti SET Max_TO = 2.25, Kod_Vezna = 5, Trajnost = '1:7' WHERE ID = 1");
        const ExportSource articles = articleExportSource();
        QCOMPARE(
            exported(articles),
            cp("1:[1]\t2:[N1]\t3:[Кола]\t4:[12.5]\t5:[Лева]\t6:[бр.]\t7:[Напитки]\t10:[0]\t11:[1]\t"
               "12:[False]\t13:[False]\t14:[1]\t15:[0]\t16:[1:7]\t17:[2.25]\t18:[5]\t19:[Етикет]\t"
               "20:[Каса]\t\r\n"
               "1:[2]\t2:[N2]\t3:[Без група]\t4:[0.1]\t5:[Лева]\t6:[бр.]\t7:[]\t10:[0]\t11:[1]\t"
               "12:[False]\t13:[False]\t14:[1]\t15:[0]\t16:[]\t17:[]\t18:[]\t19:[Етикет]\t20:[Каса]\t\r\n"));
        QList<bool> chosen(articles.fields.size(), false);
        chosen[0] = chosen[3] = chosen[6] = true;
        QCOMPARE(exported(articles, {"[", ";", u','}, chosen), cp("[1;\t[12,5;\t[Напитки;\t\r\n"
                                                                  "[2;\t[0,1;\t[;\t\r\n"));

        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient, Grad, Adres_Klient, Telefon_Klient, EGN) "
                      "VALUES (5, 'Иван', 'София', 'ул. 1', '02', '7501010010')");
        execSql(
            db(),
            "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, Grad, Adres_Firma, Telefon, Banka_Ime, "
            "Banka_Kod, Banka_Smetka, T_O, Zabel, ID_Mol, Nomer_Grupa) VALUES "
            "(1, 'Алфа', '111', 'BG111', 'Варна', 'ул. 2', '052', 'Банка', 'BIC', 'IBAN', 2.5, 'б', 5, 3), "
            "(2, 'Бета', '', '', '', '', '', '', '', '', 0, '', 0, 0)");
        QCOMPARE(exported(counterpartyExportSource()),
                 cp("1:[111]\t2:[BG111]\t3:[Алфа]\t4:[Варна]\t5:[ул. 2]\t6:[052]\t7:[Банка]\t8:[BIC]\t"
                    "9:[IBAN]\t10:[2.5]\t11:[Иван]\t12:[София]\t13:[ул. 1]\t14:[02]\t15:[7501010010]\t"
                    "17:[б]\t\r\n"
                    "1:[]\t2:[]\t3:[Бета]\t4:[]\t5:[]\t6:[]\t7:[]\t8:[]\t9:[]\t10:[0]\t11:[]\t12:[]\t13:[]\t"
                    "14:[]\t15:[]\t17:[]\t\r\n"));
    }

    // What the file cannot carry is found before anything is written, with
    // the records concerned; the writer refuses it too and leaves no file.
    void valuesTheFileCannotCarry() {
        article(1, 1, "Кабел [2]");
        article(2, 1, "Кола");
        article(3, 1, "Чай 漢");
        const ExportSource articles = articleExportSource();
        const QList<ExportProblem> problems = checkExport(db(), articles, all(articles), {});
        QCOMPARE(problems.size(), 2);
        QCOMPARE(problems[0].record, texts::kExportArticleLabel.arg("1", "Кабел [2]"));
        QCOMPARE(problems[0].field, QStringLiteral("3: Описание"));
        QCOMPARE(problems[1].record, texts::kExportArticleLabel.arg("3", "Чай 漢"));
        QList<bool> withoutNames(articles.fields.size(), true);
        withoutNames[2] = false;
        QCOMPARE(checkExport(db(), articles, withoutNames, {}).size(), 0);
        const QString path = files_.filePath("refused.txt");
        NoProgress progress;
        QVERIFY_THROWS_EXCEPTION(EConvertError,
                                 writeExport(db(), articles, all(articles), {}, path, progress));
        QVERIFY(!QFile::exists(path));
        QVERIFY_THROWS_EXCEPTION(EInOutError, writeExport(db(), articles, withoutNames, {},
                                                          files_.filePath("no/such/dir/x.txt"), progress));
        CancelAtOnce cancel;
        execSql(db(), "UPDATE Produkti SET Opisanie = 'x'");
        for (int i = 10; i < 1100; ++i)
            article(i, 1, "x");
        QCOMPARE(writeExport(db(), articles, all(articles), {}, path, cancel), -1);
        QVERIFY(!QFile::exists(path));
    }

    // What is exported comes back identical from a new company database:
    // every field, with Cyrillic text, quotes and the characters the format
    // allows.
    void roundTrip() {
        group(20, "Кафе \"Лаваца\" 1:1 [IT");
        article(1, 1, "Чай \"Мура\" 2:1 [BG\tзелен");
        article(2, 20, "Кафе 'Еспресо' №5 €", "12.3456");
        article(3, 12, "", "0");
        execSql(db(),
                "UPDATE Produkti SET Nomenkl_N = '', Garancionen = 'True', Poredica = 'True', Min_Kol = 0, "
                "Max_TO = 12.5, Trajnost = '2:12', Kod_Vezna = -4, Dan_Grup = 3, Prigotvq_Se = 2, "
                "Dostav4ik = 7, Mqrka = 'кг.', Valuta_P = 'EUR', Kasovo_Ime = 'К: [1', "
                "Etiketno_Ime = '' WHERE ID = 2");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient, Grad, Adres_Klient, Telefon_Klient, EGN) VALUES "
                      "(5, 'Иван \"Вани\"', 'София', 'ул. \"Раковски\" 1:2', '+359 2', '7501010010')");
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, Grad, Adres_Firma, Telefon, Banka_Ime, "
                "Banka_Kod, Banka_Smetka, T_O, Zabel, ID_Mol, Nomer_Grupa) VALUES "
                "(1, 'Алфа \"АБ\" ООД', '111', 'BG111', 'Варна', 'ул. [2', '052', 'ДСК', 'STSA', 'BG1', "
                "2.75, 'бел: 1', 5, 3), "
                "(2, 'Бета', '', '', '', '', '', '', '', '', 0, '', 0, 0), "
                "(3, 'Гама', '0', '', '', '', '', '', '', '', -1.5, '', 0, 0)");
        const QByteArray articlesBefore = exported(articleExportSource());
        const QByteArray firmsBefore = exported(counterpartyExportSource());

        fx_.reset(); // one company database at a time: on PostgreSQL they share the server's
        fx_ = std::make_unique<test::Fixture>();
        NoProgress progress;
        QCOMPARE(torvika::importArticles(db(), treeFile(), file("a.txt", fromCp1251(articlesBefore)), false,
                                         progress)
                     .report.refused,
                 0);
        QCOMPARE(importCounterparties(db(), file("k.txt", fromCp1251(firmsBefore)), false, progress).refused,
                 0);
        QCOMPARE(exported(articleExportSource()), articlesBefore);
        QCOMPARE(exported(counterpartyExportSource()), firmsBefore);
        // Imported again, nothing changes.
        ArticleImport again = torvika::importArticles(
            db(), treeFile(), file("a.txt", fromCp1251(articlesBefore)), false, progress);
        QCOMPARE(again.report.repeated, 3);
        QCOMPARE(exported(articleExportSource()), articlesBefore);
    }

    // The line reader of the imports never crashes or hangs on mutated lines.
    void fuzzedArticleLines() {
        const CurrencyNames currencies{{"лева", "Лева"}, {"eur", "EUR"}};
        const QList<QByteArray> seeds = {
            "1:[10]\t2:[К-10]\t3:[Чай]\t4:[3,50]\t5:[eur]\t6:[кг.]\t7:[Чай]\t10:[4]\t11:[2]\t12:[True]\t13:["
            "false]"
            "\t14:[2]\t15:[1]\t16:[1:30]\t17:[5.5]\t18:[77]\t19:[Е]\t20:[К]",
            "1:[2147483647]\t4:[99999999999999999999.99999]\t17:[100]",
        };
        const auto result = torvika::test::fuzz(seeds, 3000, [&](const QByteArray& bytes) {
            const auto r = readArticleRecord(GET_IMPORTED_DATA(decodeUtf8OrCp1251(bytes)), currencies);
            if (const ArticleRecord* a = std::get_if<ArticleRecord>(&r);
                a && (a->id < 1 || a->id > 2147483647))
                throw std::logic_error("an article number outside the column");
        });
        QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
    }

    // The three imports read mutated files whole: each stores everything
    // or nothing, never crashes or hangs, and a refused file is the
    // program's own error.
    void fuzzedImportFiles() {
        const QString path = files_.filePath("fuzz.txt");
        struct Reader {
            QByteArray seed;
            std::function<ImportReport(const QString&)> read;
        };
        const QList<Reader> readers = {
            {toCp1251(QStringLiteral(
                 "1:[10]\t2:[К-10]\t3:[Чай]\t4:[3,50]\t5:[Лева]\t6:[кг.]\t7:[Чай]\t10:[4]\t12:[True]\r\n"
                 "1:[11]\t3:[Вода]\t17:[5.5]\t19:[Е]\t20:[К]\r\n")),
             [&](const QString& f) {
                 NoProgress progress;
                 return torvika::importArticles(db(), treeFile(), f, true, progress).report;
             }},
            {toCp1251(
                 QStringLiteral("1:[123456789]\t2:[BG123456789]\t3:[Фирма \"Север\"]\t10:[5]\t11:[Иван]\r\n"
                                "1:[0]\t3:[Лице]\t15:[8001010000]\r\n")),
             [&](const QString& f) {
                 NoProgress progress;
                 return importCounterparties(db(), f, true, progress);
             }},
            {QByteArray("1:[1]\t2:[X-1]\t3:[1]\r\n1:[2]2:[Y]3:[1]\r\n"),
             [&](const QString& f) {
                 NoProgress progress;
                 return importCounterpartyNumbers(db(), f, progress);
             }},
        };
        for (const Reader& reader : readers) {
            const auto result = torvika::test::fuzz({reader.seed}, 150, [&](const QByteArray& bytes) {
                QFile f(path);
                f.open(QIODevice::WriteOnly | QIODevice::Truncate);
                f.write(bytes);
                f.close();
                const int before = count("SELECT COUNT(*) FROM Produkti") +
                                   count("SELECT COUNT(*) FROM Firmi") +
                                   count("SELECT COUNT(*) FROM Nomenklatures");
                const ImportReport r = reader.read(path);
                const int after = count("SELECT COUNT(*) FROM Produkti") +
                                  count("SELECT COUNT(*) FROM Firmi") +
                                  count("SELECT COUNT(*) FROM Nomenklatures");
                if (r.outcome != ImportReport::Outcome::Stored && after != before)
                    throw std::logic_error("an import that stored nothing changed the database");
                if (r.outcome == ImportReport::Outcome::Stored && after != before + r.added)
                    throw std::logic_error("the report's added records are not those stored");
            });
            QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
        }
    }
};

QTEST_GUILESS_MAIN(DataExchangeTest)
#include "test_data_exchange.moc"
