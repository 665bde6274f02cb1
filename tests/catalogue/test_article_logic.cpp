// The article catalogue's logic on either engine: the group tree file and
// the groups, saving, renumbering and deleting articles with their codes,
// the numbering helpers, the searches and lookups, the stock of marked
// articles, the scale file, the delivery of a group and the common data.

#include "catalogue/article_groups.h"
#include "catalogue/article_lists.h"
#include "catalogue/articles.h"
#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "catalogue/warehouses.h"
#include "common/cp1251.h"
#include "common/errors.h"
#include "common/progress.h"
#include "common/sql.h"
#include "common/vat.h"
#include "support/fixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QThread>
#include <memory>
#include <stdexcept>

using namespace torvika;

namespace {

QList<qint64> ids(const QSqlDatabase& db, const SqlStatement& s) {
    QSqlQuery q = execSql(db, s.text, s.values);
    QList<qint64> out;
    while (q.next())
        out << q.value(QStringLiteral("ID")).toLongLong();
    return out;
}

QStringList lineTexts(const QList<TreeLine>& lines) {
    QStringList out;
    for (const TreeLine& l : lines)
        out << QString(l.depth, u'\t') + l.text;
    return out;
}

QByteArray imageBytes(int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Cancels when asked the nth time.
class CancellingProgress : public Progress {
public:
    explicit CancellingProgress(int at) : at_(at) {}
    void start(int) override {}
    void setValue(int) override {}
    bool cancelled() override { return ++asked_ >= at_; }
    void finish() override {}
    int asked_ = 0;

private:
    int at_;
};

} // namespace

class ArticleLogicTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    test::Fixture& fx() {
        if (!fx_)
            fx_ = std::make_unique<test::Fixture>();
        return *fx_;
    }
    QSqlDatabase db() { return fx().db(); }
    QString treeFile() { return articleTreeFile(fx().session().workspace.directory()); }

    void group(qint64 id, const QString& name) {
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (?, ?)", {id, name});
    }
    void article(qint64 id, qint64 groupId, const QString& name, double price = 1,
                 const QString& catalogue = {}, const QString& unit = QStringLiteral("бр.")) {
        execSql(
            db(),
            "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Dostavna_Cena, Valuta_D, Ed_Cena, "
            "Valuta_P, Mqrka, Garancionen, Kasovo_Ime, Etiketno_Ime, Dostav4ik, Poredica, Min_Kol, Max_TO, "
            "Trajnost, Kod_Vezna, Dan_Grup, Prigotvq_Se) VALUES (?, ?, ?, ?, 0, 'Лева', ?, 'Лева', ?, "
            "'False', "
            "?, ?, 0, 'False', 1, 0, '', ?, 1, 0)",
            {id, catalogue.isNull() ? QString::number(groupId) + u'_' + QString::number(id) : catalogue,
             groupId, name, price, unit, name, name, id});
    }
    int count(const QString& sql, const QVariantList& values = {}) {
        return scalarSql(db(), sql, values).toInt();
    }
    Article newArticle(qint64 id, qint64 groupId, const QString& name) {
        Article a;
        a.id = id;
        a.group = groupId;
        a.description = name;
        a.catalogueNumber = QString::number(groupId) + u'_' + QString::number(id);
        a.price = Decimal("2.5");
        a.currency = QStringLiteral("Лева");
        a.unit = QStringLiteral("бр.");
        a.receiptName = a.labelName = name;
        a.shelfLife = QStringLiteral("1:10");
        a.scaleCode = id;
        return a;
    }

private slots:
    // The tax groups offered name the company's rates, not fixed texts.
    void taxGroupChoicesNameTheRates() {
        QCOMPARE(vatGroupItems(VatRates::defaults()),
                 (QStringList{"0:Данъчна група А - 0 %", "1:Данъчна група Б - 20 %",
                              "2:Данъчна група В - 20 %", "3:Данъчна група Г - 9 %"}));
        VatRates rates = VatRates::defaults();
        rates.groups[3] = Decimal("7.5");
        QCOMPARE(vatGroupItems(rates).last(), "3:Данъчна група Г - 7.5 %");
    }

    void cleanup() { fx_.reset(); }

    // The tree file: the root is always there; a change re-reads the file
    // and changes only its own node.
    void treeChanges_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("group before the bin")
            << "add 9:Нова" << QStringList{"Всички артикули", "1:Напитки", "\t3:Бира",
                                           "2:Храни",         "9:Нова",    "Изтрити артикули"};
        QTest::newRow("sub-group") << "child 1:Напитки 9:Нова"
                                   << QStringList{"Всички артикули", "1:Напитки", "\t3:Бира",
                                                  "\t9:Нова",        "2:Храни",   "Изтрити артикули"};
        QTest::newRow("rename") << "rename 3:Бира 4:Пиво"
                                << QStringList{"Всички артикули", "1:Напитки", "\t4:Пиво", "2:Храни",
                                               "Изтрити артикули"};
        QTest::newRow("group into a group")
            << "move 1:Напитки 2:Храни"
            << QStringList{"Всички артикули", "2:Храни", "\t1:Напитки", "\t\t3:Бира", "Изтрити артикули"};
        QTest::newRow("sub-group to the top level (onto the root)")
            << "move 3:Бира Всички артикули"
            << QStringList{"Всички артикули", "1:Напитки", "2:Храни", "3:Бира", "Изтрити артикули"};
    }
    void treeChanges() {
        QFETCH(QString, change);
        QFETCH(QStringList, after);
        fx().writeFile("Data/Opis.pdt",
                       "Всички артикули\r\n1:Напитки\r\n\t3:Бира\r\n2:Храни\r\nИзтрити артикули\r\n");
        const QStringList w = change.split(u' ');
        QList<TreeLine> shown;
        if (w[0] == "add")
            shown = addArticleTreeNode(treeFile(), w[1]);
        else if (w[0] == "child")
            shown = addArticleTreeChild(treeFile(), w[1], w[2]);
        else if (w[0] == "rename")
            shown = renameArticleTreeNode(treeFile(), w[1], w[2]);
        else
            shown = moveArticleTreeNode(treeFile(), w[1], change.section(u' ', 2));
        QCOMPARE(lineTexts(shown), after);
        QCOMPARE(test::Fixture::readFile(treeFile()), (after.join("\r\n") + "\r\n").toUtf8());
    }

    void treeChangesRefused() {
        const QByteArray before = "1:Напитки\r\n\t3:Бира\r\nИзтрити артикули\r\n";
        fx().writeFile("Data/Opis.pdt", before);
        // The root is always first, also when the file lacks it.
        QCOMPARE(lineTexts(readArticleTree(treeFile())),
                 (QStringList{"Всички артикули", "1:Напитки", "\t3:Бира", "Изтрити артикули"}));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 moveArticleTreeNode(treeFile(), "1:Напитки", "3:Бира"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 moveArticleTreeNode(treeFile(), "1:Напитки", "1:Напитки"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 moveArticleTreeNode(treeFile(), "1:Напитки", "Изтрити артикули"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 moveArticleTreeNode(treeFile(), "Всички артикули", "1:Напитки"));
        QVERIFY_THROWS_EXCEPTION(EInOutError, addArticleTreeChild(treeFile(), "7:Изтрита", "9:Нова"));
        QCOMPARE(test::Fixture::readFile(treeFile()), before);
    }

    // Two workstations showing the same tree each add a group: both stay.
    void staleTreesKeepEachOthersGroups() {
        const QList<TreeLine> first = readArticleTree(treeFile());
        addArticleTreeNode(treeFile(), "1:Напитки");
        addArticleTreeChild(treeFile(), first[0].text, "2:Храни");
        QCOMPARE(lineTexts(readArticleTree(treeFile())),
                 (QStringList{"Всички артикули", "\t2:Храни", "1:Напитки"}));
    }

    void nodes_data() {
        QTest::addColumn<QString>("node");
        QTest::addColumn<qint64>("group");
        QTest::newRow("group") << "12:Бира" << qint64(12);
        QTest::newRow("root") << "Всички артикули" << qint64(-1);
        QTest::newRow("bin") << "Изтрити артикули" << qint64(-1);
        QTest::newRow("number 0") << "0:Нищо" << qint64(-1);
        QTest::newRow("not a number") << "x:Бира" << qint64(-1);
    }
    void nodes() {
        QFETCH(QString, node);
        QFETCH(qint64, group);
        QCOMPARE(groupOfNode(node).value_or(-1), group);
    }

    // A group and its node are stored together.
    void groups() {
        QList<TreeLine> tree;
        QVERIFY(addArticleGroup(db(), treeFile(), 1, "Напитки", {}, &tree));
        QVERIFY(!addArticleGroup(db(), treeFile(), 1, "Друга"));
        QVERIFY(addArticleGroup(db(), treeFile(), 2, "Храни", "1:Напитки", &tree));
        QCOMPARE(lineTexts(tree), (QStringList{"Всички артикули", "1:Напитки", "\t2:Храни"}));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, addArticleGroup(db(), treeFile(), 0, "Нула"));
        article(10, 1, "Кола");
        execSql(db(),
                "INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O) VALUES (5, 'G', 1, 3)");
        QVERIFY(!updateArticleGroup(db(), treeFile(), 1, 2, "Напитки"));
        // A new number takes the group's articles, discounts and node along.
        QVERIFY(updateArticleGroup(db(), treeFile(), 1, 7, "Безалкохолни", &tree));
        QCOMPARE(lineTexts(tree), (QStringList{"Всички артикули", "7:Безалкохолни", "\t2:Храни"}));
        QCOMPARE(lineTexts(readArticleTree(treeFile())), lineTexts(tree));
        QCOMPARE(articleGroupName(db(), 7), std::optional<QString>("Безалкохолни"));
        QCOMPARE(articleGroupName(db(), 1), std::nullopt);
        QCOMPARE(count("SELECT Nomer_Grupa FROM Produkti WHERE ID = 10"), 7);
        QCOMPARE(count("SELECT ID_Art_Gr FROM Sp_Otstapka WHERE ID_Klient = 5"), 7);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, updateArticleGroup(db(), treeFile(), 99, 98, "Няма"));
        QCOMPARE(lineTexts(readArticleTree(treeFile())), lineTexts(tree));
    }

    // A tree file that cannot be changed stores no group: no group is ever
    // left without its node, or a node without its group.
    void groupNotStoredWithoutItsNode() {
        group(1, "Напитки");
        fx().writeFile("Data/Opis.pdt", "Всички артикули\r\n1:Напитки\r\n");
        QFile::remove(treeFile());
        QVERIFY(QDir().mkpath(treeFile())); // a directory: the file cannot be read
        QVERIFY_THROWS_EXCEPTION(EInOutError, addArticleGroup(db(), treeFile(), 2, "Храни"));
        QVERIFY_THROWS_EXCEPTION(EInOutError, updateArticleGroup(db(), treeFile(), 1, 5, "Пиво"));
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi WHERE ID = 2"), 0);
        QCOMPARE(articleGroupName(db(), 1), std::optional<QString>("Напитки"));
    }

    // The check at start-up mends what a change that failed after its commit
    // left: a group without a node gets one at the top level, a node whose
    // group is gone leaves (its sub-groups move up), and the bin appears
    // when articles wait in it. A sound tree is not rewritten.
    void treeChecked_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<qint64>("orphanGroup"); // an article in this group; 0: none
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("sound") << QByteArray("Всички артикули\r\n1:Напитки\r\n\t2:Бира\r\n")
                               << QStringList{"1:Напитки", "2:Бира"} << qint64(0)
                               << QStringList{"Всички артикули", "1:Напитки", "\t2:Бира"};
        QTest::newRow("group without a node, before the bin")
            << QByteArray("Всички артикули\r\n1:Напитки\r\nИзтрити артикули\r\n")
            << QStringList{"1:Напитки", "7:Пиво", "3:Храни"} << qint64(0)
            << QStringList{"Всички артикули", "1:Напитки", "3:Храни", "7:Пиво", "Изтрити артикули"};
        QTest::newRow("renamed, node left with the old number")
            << QByteArray("Всички артикули\r\n1:Напитки\r\n\t2:Бира\r\n\t\t4:Светла\r\n")
            << QStringList{"1:Напитки", "5:Пиво", "4:Светла"} << qint64(0)
            << QStringList{"Всички артикули", "1:Напитки", "\t4:Светла", "5:Пиво"};
        QTest::newRow("articles of a gone group")
            << QByteArray("Всички артикули\r\n1:Напитки\r\n") << QStringList{"1:Напитки"} << qint64(9)
            << QStringList{"Всички артикули", "1:Напитки", "Изтрити артикули"};
    }
    void treeChecked() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, groups);
        QFETCH(qint64, orphanGroup);
        QFETCH(QStringList, checked);
        fx().writeFile("Data/Opis.pdt", file);
        for (const QString& g : groups)
            group(g.section(u':', 0, 0).toLongLong(), g.section(u':', 1));
        if (orphanGroup)
            article(10, orphanGroup, "Кола");
        QCOMPARE(lineTexts(checkArticleTree(db(), treeFile())), checked);
        QCOMPARE(lineTexts(readArticleTree(treeFile())), checked);
        if (QTest::currentDataTag() == QByteArray("sound"))
            QCOMPARE(test::Fixture::readFile(treeFile()), file);
        // An article of a gone group is found and listed in the bin.
        if (orphanGroup) {
            QCOMPARE(ids(db(), binArticlesStatement()), QList<qint64>{10});
            QCOMPARE(ids(db(), articleSearchStatement(ArticleCriterion::Number, ArticleComparison::Equal,
                                                      "10", {}, true, sqlEngine(db()))),
                     QList<qint64>{10});
        }
    }

    // A group delete deletes what the operator was shown and asked about:
    // a sub-group another workstation added meanwhile, or articles that came
    // into a group shown empty, stop it and the window asks again.
    void groupDeleteOfWhatWasShown_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::newRow("a new sub-group") << "subgroup";
        QTest::newRow("a new article") << "article";
        QTest::newRow("nothing") << "";
    }
    void groupDeleteOfWhatWasShown() {
        QFETCH(QString, meanwhile);
        fx().writeFile("Data/Opis.pdt", "Всички артикули\r\n1:Напитки\r\n2:Храни\r\n");
        group(1, "Напитки");
        group(2, "Храни");
        const QList<TreeLine> shown = readArticleTree(treeFile());
        const QList<qint64> asked = subtreeGroups(shown, "1:Напитки");
        QVERIFY(!groupsHaveArticles(db(), asked));
        if (meanwhile == "subgroup") {
            QVERIFY(addArticleGroup(db(), treeFile(), 3, "Бира", "1:Напитки"));
            article(30, 3, "Пиво");
        } else if (meanwhile == "article") {
            article(10, 1, "Кола");
        }
        QList<TreeLine> now;
        const std::optional<ArticleRemoval> r =
            deleteArticleGroupNode(db(), treeFile(), "1:Напитки", asked, false, &now);
        QCOMPARE(lineTexts(now), lineTexts(readArticleTree(treeFile())));
        if (meanwhile.isEmpty()) {
            QVERIFY(r);
            QCOMPARE(lineTexts(now), (QStringList{"Всички артикули", "2:Храни"}));
            QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), 1);
            return;
        }
        QVERIFY(!r);
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), meanwhile == "subgroup" ? 3 : 2);
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti"), 1);
        QVERIFY(lineTexts(now).contains("1:Напитки"));
        // Asked about what is there now, it goes.
        const QList<qint64> again = subtreeGroups(now, "1:Напитки");
        QVERIFY(deleteArticleGroupNode(db(), treeFile(), "1:Напитки", again, true, &now));
        QCOMPARE(lineTexts(now), (QStringList{"Всички артикули", "2:Храни"}));
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti"), 0);
    }

    // Article and group numbers are 32-bit integers in every engine: a
    // larger one is refused before anything is stored.
    void numbersAboveTheColumn_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("number"); // 0: refused
        QTest::newRow("largest") << "2147483647" << qint64(2147483647);
        QTest::newRow("one above") << "2147483648" << qint64(0);
        QTest::newRow("three billion") << "3000000000" << qint64(0);
        QTest::newRow("beyond 64 bits") << "99999999999999999999" << qint64(0);
    }
    void numbersAboveTheColumn() {
        QFETCH(QString, typed);
        QFETCH(qint64, number);
        QCOMPARE(parseKeyNumber(typed).value_or(0), number);
        group(1, "Напитки");
        const std::optional<ArticleRefusal> r = createArticle(db(), newArticle(3000000000, 1, "Кола"), {});
        QVERIFY(r);
        QCOMPARE(r->message, texts::kBadArticleNumber);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 addArticleGroup(db(), treeFile(), 3000000000, "Много"));
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), 1);
    }

    // Deleting a group with its sub-groups keeps the history: articles with
    // stock, sales or a delivery go to the bin; the rest go with their codes.
    void deleteGroupKeepsHistory() {
        fx().writeFile("Data/Opis.pdt", "Всички артикули\r\n1:Напитки\r\n\t3:Бира\r\n2:Храни\r\n");
        group(1, "Напитки");
        group(2, "Храни");
        group(3, "Бира");
        article(10, 1, "Кола");
        article(11, 3, "Пиво");
        article(12, 3, "Ейл");
        article(13, 3, "Стаут");
        article(20, 2, "Хляб");
        GET_NALI4NOST(db(), 10, 1, kAddStock, 5);
        execSql(db(), "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Kol) VALUES (1, 11, 1)");
        execSql(db(),
                "INSERT INTO Dostavka_Art (ID_Dostavka, Nomer_Produkt, Kolitchestvo) VALUES (1, 12, 3)");
        execSql(db(),
                "INSERT INTO Barkodes (ID, Barkode) VALUES (13, '3800000000013'), (10, '3800000000010')");
        execSql(db(), "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (13, 'S-13', 0)");

        const QList<qint64> asked = subtreeGroups(readArticleTree(treeFile()), "1:Напитки");
        QVERIFY(groupsHaveArticles(db(), asked));
        QList<TreeLine> tree;
        const std::optional<ArticleRemoval> r =
            deleteArticleGroupNode(db(), treeFile(), "1:Напитки", asked, true, &tree);
        QVERIFY(r);
        QCOMPARE(r->binned, 3);
        QCOMPARE(r->deleted, 1);
        QCOMPARE(lineTexts(tree), (QStringList{"Всички артикули", "2:Храни", "Изтрити артикули"}));
        QCOMPARE(lineTexts(readArticleTree(treeFile())), lineTexts(tree));
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), 1);
        QCOMPARE(ids(db(), binArticlesStatement()), (QList<qint64>{10, 11, 12}));
        QCOMPARE(ids(db(), allArticlesStatement()), QList<qint64>{20});
        QCOMPARE(count("SELECT COUNT(*) FROM Barkodes WHERE ID = 13"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Nomenklatures"), 0);
        // A binned article keeps its codes, so that it comes back whole.
        QCOMPARE(count("SELECT COUNT(*) FROM Barkodes WHERE ID = 10"), 1);
        QVERIFY(!moveArticlesToGroup(db(), {10}, 2));
        QCOMPARE(ids(db(), groupArticlesStatement(2)), (QList<qint64>{10, 20}));
        // Moving to a group that is gone is refused, nothing moves.
        QVERIFY(moveArticlesToGroup(db(), {20}, 1));
        QCOMPARE(count("SELECT Nomer_Grupa FROM Produkti WHERE ID = 20"), 2);
    }

    void deleteArticle() {
        group(1, "Напитки");
        article(10, 1, "Кола");
        article(11, 1, "Фанта");
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (10, '111'), (11, '222')");
        execSql(db(),
                "INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O) VALUES (5, 'A', 10, 3)");
        // A pending sale line is history too: the line must not point at nothing.
        execSql(db(), "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol) VALUES (11, 'Фанта', 1)");
        QCOMPARE(torvika::deleteArticle(db(), 10), ArticleDeletion::Deleted);
        QCOMPARE(torvika::deleteArticle(db(), 11), ArticleDeletion::Binned);
        QCOMPARE(torvika::deleteArticle(db(), 10), ArticleDeletion::Gone);
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Barkodes"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Sp_Otstapka"), 0);
        QCOMPARE(ids(db(), binArticlesStatement()), QList<qint64>{11});
    }

    // A check for a history, for a group or for movements locks what it
    // checks: a sale (or a group delete) another workstation is writing at
    // that very moment, on its own connection, is waited for and seen, and
    // never left naming an article, a group or a warehouse that is gone.
    void checksWaitForWritesInProgress_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("article delete") << "delete"
                                        << "binned";
        QTest::newRow("article renumbering") << "renumber" << texts::kRenumberWithHistory;
        QTest::newRow("group delete") << "group"
                                      << "binned";
        QTest::newRow("articles moved into a group") << "move" << texts::kGroupIsGone;
        QTest::newRow("warehouse delete") << "warehouse" << texts::kWarehouseHasHistory.arg("Бус");
    }
    void checksWaitForWritesInProgress() {
        QFETCH(QString, operation);
        QFETCH(QString, outcome);
        fx().writeFile("Data/Opis.pdt", "Всички артикули\r\n1:Напитки\r\n2:Храни\r\n");
        group(1, "Напитки");
        group(2, "Храни");
        article(10, 1, "Кола");
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Бус')");
        const QString file = treeFile();
        QString result;
        {
            // The other workstation's write, not committed while ours runs.
            QSqlDatabase other = fx().openWorkstation("other");
            QSqlQuery o(other);
            QVERIFY(o.exec(test::onPostgres() ? "BEGIN" : "BEGIN IMMEDIATE"));
            QVERIFY(o.exec(
                operation == "move"
                    ? "DELETE FROM Grupi WHERE ID = 2"
                    : "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Kol, Sklad_ID) VALUES (1, 10, 1, 2)"));
            QThread* mine = QThread::create([&] {
                {
                    const QSqlDatabase db = fx().openWorkstation("mine");
                    try {
                        if (operation == "delete") {
                            if (torvika::deleteArticle(db, 10) == ArticleDeletion::Binned)
                                result = "binned";
                        } else if (operation == "renumber") {
                            if (const auto r = updateArticle(db, 10, newArticle(11, 1, "Кола"), {}, {}))
                                result = r->message;
                        } else if (operation == "group") {
                            const auto r = deleteArticleGroupNode(db, file, "1:Напитки", {1}, true);
                            if (r && r->binned == 1)
                                result = "binned";
                        } else if (operation == "move") {
                            if (const auto r = moveArticlesToGroup(db, {10}, 2))
                                result = r->message;
                        } else {
                            result = deleteWarehouse(db, 2, 1).refusal;
                        }
                    } catch (const std::exception& e) {
                        result = QString::fromUtf8(e.what());
                    }
                }
                QSqlDatabase::removeDatabase("mine");
            });
            mine->start();
            // Time for ours to reach its check while the other's write is open.
            mine->wait(QDeadlineTimer(1000));
            QVERIFY(o.exec("COMMIT"));
            QVERIFY(mine->wait(QDeadlineTimer(120000)));
            delete mine;
        }
        QSqlDatabase::removeDatabase("other");
        QCOMPARE(result, outcome);
        // Nothing the other workstation wrote names what is gone.
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi WHERE NOT EXISTS "
                       "(SELECT 1 FROM Produkti WHERE Produkti.ID = Prodajbi.ID_Art)"),
                 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi WHERE NOT EXISTS "
                       "(SELECT 1 FROM Sklad WHERE Sklad.ID_Sklad = Prodajbi.Sklad_ID)"),
                 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE Nomer_Grupa <> 0 AND NOT EXISTS "
                       "(SELECT 1 FROM Grupi WHERE Grupi.ID = Produkti.Nomer_Grupa)"),
                 0);
    }

    // A new article is stored with its barcodes and counterparty numbers,
    // all or nothing.
    void createWithCodes() {
        group(1, "Напитки");
        article(5, 1, "Кола");
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (5, '3800000000050')");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES (7, 'Доставчик', 7, 0)");
        ArticleCodes codes{{"3800000000067", " 3800000000074 "}, {{"D-1", 7, "Доставчик"}}};

        // A barcode another article has refuses the whole save.
        ArticleCodes taken = codes;
        taken.barcodes << "3800000000050";
        std::optional<ArticleRefusal> r = createArticle(db(), newArticle(6, 1, "Фанта"), taken);
        QVERIFY(r);
        QCOMPARE(r->field, ArticleRefusal::Barcodes);
        QCOMPARE(r->message, "Баркодът 3800000000050 вече е въведен за артикул 5!");
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE ID = 6"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Barkodes WHERE ID = 6"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Nomenklatures"), 0);

        r = createArticle(db(), newArticle(5, 1, "Фанта"), codes);
        QVERIFY(r);
        QCOMPARE(r->field, ArticleRefusal::Number);
        QCOMPARE(count("SELECT COUNT(*) FROM Barkodes WHERE ID = 5"), 1);
        r = createArticle(db(), newArticle(6, 9, "Фанта"), codes);
        QVERIFY(r);
        QCOMPARE(r->field, ArticleRefusal::Group);

        QVERIFY(!createArticle(db(), newArticle(6, 1, "Фанта"), codes));
        const std::optional<Article> stored = loadArticle(db(), 6);
        QVERIFY(stored);
        QCOMPARE(stored->description, "Фанта");
        QCOMPARE(stored->shelfLife, "1:10");
        QCOMPARE(stored->deliveryCurrency, "Лева");
        const ArticleCodes back = loadArticleCodes(db(), 6);
        QCOMPARE(back.barcodes, (QStringList{"3800000000067", "3800000000074"}));
        QCOMPARE(back.counterpartyNumbers, (QList<CounterpartyNumber>{{"D-1", 7, "Доставчик"}}));
        QCOMPARE(back.counterpartyNumbers.front().counterpartyName, "Доставчик");
        // The same counterparty's number on another article is refused.
        r = createArticle(db(), newArticle(8, 1, "Спрайт"), {{}, {{"D-1", 7, {}}}});
        QVERIFY(r);
        QCOMPARE(r->field, ArticleRefusal::CounterpartyNumbers);
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE ID = 8"), 0);
    }

    // Saving an existing article keeps what the dialog does not edit, and a
    // new number takes the article's own rows along.
    void updateKeepsAndRenumbers() {
        group(1, "Напитки");
        group(2, "Храни");
        article(5, 2, "Кола");
        execSql(db(),
                "UPDATE Produkti SET Dostavna_Cena = 1.2, Valuta_D = 'EUR', Dostav4ik = 7, DDS = 'True' "
                "WHERE ID = 5");
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (5, 'A'), (5, 'B')");
        execSql(db(), "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (5, 'N-1', 7)");
        const ArticleCodes before = loadArticleCodes(db(), 5);
        // Another workstation adds a barcode while the dialog is open.
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (5, 'THEIRS')");
        ArticleCodes after = before;
        after.barcodes = QStringList{"B", "C"};
        Article a = *loadArticle(db(), 5);
        a.id = 15;
        a.group = 1; // the dialog never moves an article
        a.description = "Кока-кола";
        QVERIFY(!updateArticle(db(), 5, a, before, after));
        const Article stored = *loadArticle(db(), 15);
        QCOMPARE(stored.group, qint64(2));
        QCOMPARE(stored.deliveryPrice, Decimal("1.2"));
        QCOMPARE(stored.deliveryCurrency, "EUR");
        QCOMPARE(stored.supplier, qint64(7));
        QVERIFY(stored.vatIncluded);
        QCOMPARE(stored.description, "Кока-кола");
        QCOMPARE(loadArticleCodes(db(), 15).barcodes, (QStringList{"B", "C", "THEIRS"}));
        QCOMPARE(count("SELECT COUNT(*) FROM Nomenklatures WHERE ID = 15"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE ID = 5"), 0);

        article(6, 2, "Хляб");
        a.id = 6;
        std::optional<ArticleRefusal> r = updateArticle(db(), 15, a, {}, {});
        QVERIFY(r);
        QCOMPARE(r->message, "Некоректен номер за артикул!");
        // With a history the number stays.
        GET_NALI4NOST(db(), 15, 1, kAddStock, 1);
        a.id = 16;
        r = updateArticle(db(), 15, a, {}, {});
        QVERIFY(r);
        QCOMPARE(r->message, texts::kRenumberWithHistory);
        QVERIFY(articleExists(db(), 15));
        a.id = 15;
        QVERIFY(!updateArticle(db(), 15, a, {}, {}));
    }

    void numbering() {
        QCOMPARE(nextArticleNumber(db()), qint64(1));
        group(1, "Напитки");
        group(2, "Храни");
        group(3, "Празна");
        QCOMPARE(lastNumberInGroup(db(), 3), qint64(1));
        for (qint64 id : {1, 2, 4, 9})
            article(id, 1, "А");
        for (qint64 id : {5, 6, 10})
            article(id, 2, "Б");
        QCOMPARE(nextArticleNumber(db()), qint64(11));
        // An empty group would get 1, which article 1 has: the next free one.
        QCOMPARE(lastNumberInGroup(db(), 3), qint64(3));
        // After the group's highest, 10 belongs to group 2.
        QCOMPARE(lastNumberInGroup(db(), 1), qint64(11));
        QCOMPARE(lastNumberInGroup(db(), 2), qint64(11));
        NoProgress none;
        QCOMPARE(freeNumbersInGroup(db(), 1, none), (QList<qint64>{3, 7, 8}));
        QCOMPARE(freeNumbersInGroup(db(), 2, none), (QList<qint64>{7, 8}));
        QCOMPARE(freeNumbersInGroup(db(), 3, none), QList<qint64>{});
        QCOMPARE(freeNumbersInGroup(db(), 1, none, 2), (QList<qint64>{3, 7}));
        article(500, 3, "В");
        QCOMPARE(freeNumbersInGroup(db(), 3, none), QList<qint64>{}); // a single article
        // The working table of the free-numbers dialog.
        fillFreeNumbersTable(db(), 1, {3, 7, 8});
        fillFreeNumbersTable(db(), 1, {3, 7});
        QCOMPARE(count("SELECT COUNT(*) FROM Free_Art"), 2);
        dropFreeNumbersTable(db());
    }

    // The search reads the key in pages; a cancel ends it with what it found.
    void freeNumbersCancel() {
        group(1, "Напитки");
        QVERIFY(db().transaction());
        for (qint64 id = 1; id <= 4001; id += 2)
            article(id, 1, "А");
        QVERIFY(db().commit());
        NoProgress none;
        QCOMPARE(freeNumbersInGroup(db(), 1, none).size(), 2000);
        CancellingProgress cancel(1);
        const QList<qint64> part = freeNumbersInGroup(db(), 1, cancel);
        QCOMPARE(part.size(), 1000);
        QCOMPARE(part.front(), qint64(2));
        QCOMPARE(cancel.asked_, 1);
    }

    void checkDigit_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("ok");
        QTest::newRow("EAN-13") << "4006381333931" << true;
        QTest::newRow("EAN-13 wrong") << "4006381333932" << false;
        QTest::newRow("EAN-13, check digit 0") << "3800000000010" << true;
        QTest::newRow("EAN-8") << "73513537" << true;
        QTest::newRow("EAN-8 wrong") << "73513538" << false;
        QTest::newRow("UPC-A") << "036000291452" << true;
        QTest::newRow("UPC-A wrong") << "036000291453" << false;
        QTest::newRow("other length") << "12345" << true;
        QTest::newRow("letters") << "ABC-12345678" << true;
    }
    void checkDigit() {
        QFETCH(QString, code);
        QFETCH(bool, ok);
        QCOMPARE(barcodeCheckDigitOk(code), ok);
    }

    // Every criterion of the search, with what it finds.
    void search_data() {
        QTest::addColumn<int>("criterion");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("part");
        QTest::addColumn<QList<qint64>>("found");
        using C = ArticleCriterion;
        using K = ArticleComparison;
        QTest::newRow("serial") << int(C::Serial) << 0 << "SN-77"
                                << "" << true << QList<qint64>{3};
        QTest::newRow("serial as typed") << int(C::Serial) << 0 << "sn-77"
                                         << "" << true << QList<qint64>{};
        QTest::newRow("barcode") << int(C::Barcode) << 0 << " 3800000000027 "
                                 << "" << true << QList<qint64>{2};
        QTest::newRow("number equal") << int(C::Number) << int(K::Equal) << "2"
                                      << "" << true << QList<qint64>{2};
        QTest::newRow("number at least (itself too)") << int(C::Number) << int(K::AtLeast) << "3"
                                                      << "" << true << QList<qint64>{3, 4};
        QTest::newRow("number at most") << int(C::Number) << int(K::AtMost) << "2"
                                        << "" << true << QList<qint64>{1, 2};
        QTest::newRow("price between") << int(C::Price) << int(K::Between) << "1,5"
                                       << "10" << true << QList<qint64>{2, 3};
        QTest::newRow("catalogue part") << int(C::CatalogueNumber) << 0 << "ab"
                                        << "" << true << QList<qint64>{1, 2};
        QTest::newRow("catalogue whole, as typed") << int(C::CatalogueNumber) << 0 << "AB-1"
                                                   << "" << false << QList<qint64>{1};
        QTest::newRow("description, Cyrillic in any case") << int(C::Description) << 0 << "КАФ"
                                                           << "" << true << QList<qint64>{3, 4};
        QTest::newRow("description, two letters") << int(C::Description) << 0 << "чЕ"
                                                  << "" << true << QList<qint64>{1};
        QTest::newRow("description, a wildcard typed") << int(C::Description) << 0 << "100%"
                                                       << "" << true << QList<qint64>{4};
        QTest::newRow("description, whole word ignoring case") << int(C::Description) << 0 << "кафе мляно"
                                                               << "" << false << QList<qint64>{3};
        QTest::newRow("description, whole word is not a part") << int(C::Description) << 0 << "кафе"
                                                               << "" << false << QList<qint64>{};
        QTest::newRow("currency") << int(C::Currency) << 0 << "eu"
                                  << "" << true << QList<qint64>{4};
        QTest::newRow("unit whole") << int(C::Unit) << 0 << "КГ."
                                    << "" << false << QList<qint64>{3};
        QTest::newRow("group number") << int(C::GroupNumber) << int(K::Equal) << "2"
                                      << "" << true << QList<qint64>{3, 4};
        QTest::newRow("group name") << int(C::GroupName) << 0 << "НАП"
                                    << "" << true << QList<qint64>{1, 2};
        QTest::newRow("counterparty number") << int(C::CounterpartyNumber) << 0 << "x-"
                                             << "" << false << QList<qint64>{2, 4};
    }
    void search() {
        QFETCH(int, criterion);
        QFETCH(int, comparison);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, part);
        QFETCH(QList<qint64>, found);
        group(1, "Напитки");
        group(2, "Кафе");
        article(1, 1, "Чешмяна вода", 1, "ab-1");
        article(2, 1, "Сок", 2.5, "AB-1X");
        article(3, 2, "Кафе мляно", 10, "K-3", "кг.");
        article(4, 2, "Кафе 100% арабика", 20, "K-4");
        execSql(db(), "UPDATE Produkti SET Valuta_P = 'EUR' WHERE ID = 4");
        execSql(db(), "UPDATE Produkti SET Nomenkl_N = 'AB-1' WHERE ID = 1");
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (2, '3800000000027')");
        execSql(db(), "INSERT INTO Serials (ID_Karta, ID, Serial_ID) VALUES (1, 3, 'SN-77')");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES (7, 'Доставчик', 7, 0)");
        execSql(db(),
                "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (2, 'X-2', 7), (4, 'x-4', 7)");
        const SqlStatement s = articleSearchStatement(
            ArticleCriterion(criterion), ArticleComparison(comparison), from, to, part, sqlEngine(db()));
        QCOMPARE(ids(db(), s), found);
    }

    void searchRefusesNonNumbers() {
        QVERIFY_THROWS_EXCEPTION(
            EConvertError,
            articleSearchStatement(ArticleCriterion::Number, ArticleComparison::Equal, "abc", "", true));
        QVERIFY_THROWS_EXCEPTION(
            EConvertError,
            articleSearchStatement(ArticleCriterion::Price, ArticleComparison::Between, "1", "", true));
    }

    // The name index finds what a scan finds, Cyrillic in any case.
    void nameIndexFindsWhatAScanFinds() {
        group(1, "Напитки");
        const QStringList names{"Бира Загорка", "бира Шуменско", "БИРАРИЯ",
                                "Вода",         "Сирене бяло",   "Кашкавал"};
        for (int i = 0; i < names.size(); ++i)
            article(i + 1, 1, names[i]);
        for (const QString text : {"бир", "ИРА", "ирене", "аш", "ка"}) {
            const QList<qint64> indexed = ids(db(), articleSearchStatement(ArticleCriterion::Description, {},
                                                                           text, {}, true, sqlEngine(db())));
            QList<qint64> scanned;
            for (int i = 0; i < names.size(); ++i)
                if (names[i].contains(text, Qt::CaseInsensitive))
                    scanned << i + 1;
            QCOMPARE(indexed, scanned);
        }
    }

    void groupSearch() {
        group(1, "Напитки");
        group(2, "Безалкохолни напитки");
        group(3, "Храни");
        QCOMPARE(groupNameByNumber(db(), " 3"), std::optional<QString>("Храни"));
        QCOMPARE(groupNameByNumber(db(), "9"), std::nullopt);
        QCOMPARE(groupNameByNumber(db(), "три"), std::nullopt);
        const QList<GroupRow> rows = groupsByName(db(), "НАПИТ");
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].name, "Безалкохолни напитки");
        QCOMPARE(groupsByName(db(), "_").size(), 0);
    }

    void lookups() {
        group(1, "Напитки");
        article(1, 1, "А", 1, "N-1");
        article(2, 1, "Б", 1, "N-1");
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (2, '3800000000027')");
        execSql(db(), "INSERT INTO Serials (ID_Karta, ID, Serial_ID) VALUES (1, 1, 'SN1')");
        QCOMPARE(articleByNumber(db(), 2), std::optional<qint64>(2));
        QCOMPARE(articleByNumber(db(), 3), std::nullopt);
        QCOMPARE(articlesByBarcode(db(), "3800000000027"), QList<qint64>{2});
        QCOMPARE(articlesBySerial(db(), "SN1 "), QList<qint64>{1});
        QCOMPARE(articlesByCatalogueNumber(db(), "N-1"), (QList<qint64>{1, 2}));
        const QList<ArticleSummary> s = articleSummaries(db(), {2, 99, 1});
        QCOMPARE(s.size(), 2);
        QCOMPARE(s[0].id, qint64(2));
        QCOMPARE(s[1].catalogueNumber, "N-1");
    }

    // The stock of marked articles: their total over every warehouse; an
    // article that never moved is not shown.
    void markedStock() {
        group(1, "Напитки");
        article(1, 1, "А");
        article(2, 1, "Б");
        article(3, 1, "В");
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Втори')");
        GET_NALI4NOST(db(), 1, 1, kAddStock, 2);
        GET_NALI4NOST(db(), 1, 2, kAddStock, Decimal("3.5"));
        GET_NALI4NOST(db(), 2, 2, kAddStock, -1);
        const SqlStatement s = *markedArticlesStockStatement({3, 2, 1});
        QSqlQuery q = execSql(db(), s.text, s.values);
        QList<QPair<qint64, double>> rows;
        while (q.next())
            rows.append(
                {q.value(QStringLiteral("ID")).toLongLong(), q.value(QStringLiteral("All_Kol")).toDouble()});
        QCOMPARE(rows, (QList<QPair<qint64, double>>{{1, 5.5}, {2, -1}}));
    }

    void scaleFile() {
        group(1, "Везни");
        article(1, 1, "Сирене", 12.5, "C-1");
        article(2, 1, "Хляб", 1);
        article(3, 1, "Кашкавал", 18);
        execSql(db(),
                "UPDATE Produkti SET Trajnost = '1:30', Kasovo_Ime = 'СИРЕНЕ', Etiketno_Ime = 'Сирене бяло' "
                "WHERE ID = 1");
        execSql(db(), "UPDATE Produkti SET Kod_Vezna = 0 WHERE ID = 2");
        execSql(db(), "UPDATE Produkti SET Kod_Vezna = 33, Ed_Cena = 18.25 WHERE ID = 3");
        const QStringList lines = scaleFileLines(db(), {3, 2, 1});
        QCOMPARE(lines, (QStringList{"33;Кашкавал;Кашкавал;Кашкавал;3;-1;;1_3;18.25;0;",
                                     "1;Сирене;СИРЕНЕ;Сирене бяло;1;1;30;C-1;12.5;0;"}));
        const QString file = fx().root() + "TEMP/Artikules.txt";
        QDir().mkpath(fx().root() + "TEMP");
        writeScaleFile(file, lines);
        QCOMPARE(test::Fixture::readFile(file), toCp1251(lines.join("\r\n") + "\r\n"));
    }

    void groupDelivery() {
        group(1, "Напитки");
        article(1, 1, "А", 2);
        article(2, 1, "Б", 3);
        article(3, 1, "В", 4);
        execSql(db(), "INSERT INTO DostavkiTMP (Nomer_Produkt, Opisanie, Kolitchestvo) VALUES (2, 'Б', 5)");
        QCOMPARE(fillGroupDelivery(db(), 1), 2);
        QCOMPARE(count("SELECT COUNT(*) FROM DostavkiTMP"), 3);
        QCOMPARE(count("SELECT Kolitchestvo FROM DostavkiTMP WHERE Nomer_Produkt = 2"), 5);
        QCOMPARE(scalarSql(db(), "SELECT Prodajna_Cena FROM DostavkiTMP WHERE Nomer_Produkt = 3").toDouble(),
                 4.0);
        QCOMPARE(fillGroupDelivery(db(), 1), 0);
    }

    // Each column is assigned once: with the warranty mark its period is the
    // shelf life written (PostgreSQL refuses a column assigned twice).
    void commonData() {
        group(1, "Напитки");
        article(1, 1, "А");
        article(2, 1, "Б");
        article(3, 1, "В");
        ArticleCommonData d;
        QVERIFY(d.isEmpty());
        QCOMPARE(setCommonData(db(), {1, 2}, d), 0);
        d.shelfLife = "1:5";
        d.warranty = true;
        d.warrantyPeriod = "2:24";
        d.vatGroup = 3;
        d.maxDiscount = Decimal("12.5");
        d.vatIncluded = true;
        QCOMPARE(commonDataStatement(d).text,
                 "UPDATE Produkti SET Dan_Grup = ?, Max_TO = ?, Garancionen = ?, Trajnost = ?, DDS = ?");
        QCOMPARE(setCommonData(db(), {1, 2}, d), 2);
        const Article a = *loadArticle(db(), 2);
        QCOMPARE(a.shelfLife, "2:24");
        QVERIFY(a.warranty);
        QVERIFY(a.vatIncluded);
        QCOMPARE(a.vatGroup, 3);
        QCOMPARE(loadArticle(db(), 3)->shelfLife, "");
        ArticleCommonData life;
        life.shelfLife = "1:5";
        life.series = false;
        QVERIFY(setCommonData(db(), {3}, life));
        QCOMPARE(loadArticle(db(), 3)->shelfLife, "1:5");
        // The mark False writes no warranty period: every shelf life stays.
        ArticleCommonData notWarranty;
        notWarranty.warranty = false;
        notWarranty.warrantyPeriod = "2:24";
        QCOMPARE(commonDataStatement(notWarranty).text, "UPDATE Produkti SET Garancionen = ?");
        QCOMPARE(setCommonData(db(), {2, 3}, notWarranty), 2);
        QCOMPARE(loadArticle(db(), 3)->shelfLife, "1:5");
        QCOMPARE(loadArticle(db(), 2)->shelfLife, "2:24");
        QVERIFY(!loadArticle(db(), 2)->warranty);
    }

    // An article known under several counterparty numbers: the search's
    // rows come in the order of their whole key, so the grid's pages
    // neither repeat nor skip a row.
    void counterpartyNumberSearchPages() {
        group(1, "Напитки");
        article(1, 1, "Кола");
        article(2, 1, "Фанта");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES (7, 'Доставчик', 7, 0), "
                      "(5, 'Вносител', 5, 0)");
        execSql(db(), "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (2, 'K-9', 7), "
                      "(1, 'K-3', 7), (1, 'K-2', 7), (1, 'K-5', 5), (2, 'K-1', 5)");
        const SqlStatement s = articleSearchStatement(
            ArticleCriterion::CounterpartyNumber, ArticleComparison::Equal, "k-", {}, true, sqlEngine(db()));
        QStringList paged;
        for (int page = 0; page < 5; ++page)
            for (const QVariantList& row : readRows(db(), s.text, s.values, 1, page).rows)
                paged << row[0].toString() + u' ' + row[9].toString();
        QCOMPARE(paged, (QStringList{"1 K-5", "1 K-2", "1 K-3", "2 K-1", "2 K-9"}));
    }

    void pictures_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("stored"); // empty: refused
        QTest::newRow("PNG, scaled down") << "a.png" << imageBytes(1600, 800, "PNG") << QSize(640, 320);
        QTest::newRow("JPEG") << "a.jpg" << imageBytes(100, 50, "JPEG") << QSize(100, 50);
        QTest::newRow("BMP, any name") << "a.dat" << imageBytes(30, 40, "BMP") << QSize(30, 40);
        QTest::newRow("ICO") << "a.ico" << imageBytes(32, 32, "ICO") << QSize(32, 32);
        QTest::newRow("text") << "a.png" << QByteArray("not a picture") << QSize();
        QTest::newRow("GIF is not offered") << "a.gif" << imageBytes(10, 10, "GIF") << QSize();
    }
    void pictures() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, stored);
        const QString path = fx().writeFile(file, bytes);
        if (stored.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(EConvertError, pictureFromFile(path));
            return;
        }
        group(1, "Напитки");
        article(1, 1, "А");
        setArticlePicture(db(), 1, pictureFromFile(path));
        QImage back;
        QVERIFY(back.loadFromData(articlePicture(db(), 1)));
        QCOMPARE(back.size(), stored);
        setArticlePicture(db(), 1, {});
        QVERIFY(articlePicture(db(), 1).isEmpty());
    }

    void pictureTooLarge() {
        const QString path = fx().root() + "big.png";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(50LL * 1024 * 1024));
        f.close();
        try {
            pictureFromFile(path);
            QFAIL("a 50 MB file was taken");
        } catch (const EConvertError& e) {
            QVERIFY(e.message().contains("20 MB"));
        }
    }

    void serialHint() {
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES (7, 'Доставчик', 7, 0)");
        execSql(db(), "INSERT INTO Garancia_dostavtchik (ID, ID_Kontrag, Vid_Dok, ID_Dok, Data, Zabel) "
                      "VALUES (1, 7, 3, 'G-17', '2026-03-01', 'с кашон')");
        execSql(db(),
                "INSERT INTO Serials (ID_Karta, ID, Serial_ID, Data) VALUES (1, 5, 'SN1', '2028-03-01')");
        QCOMPARE(torvika::serialHint(db(), "SN1"),
                 "Вид документ: Гаранционна карта;\nОт Дата: 01.03.2026;\nНомер на документ: G-17;\n"
                 "Доставчик: Доставчик;\nВалиден до: 01.03.2028;\nЗабележка: с кашон;");
        QCOMPARE(torvika::serialHint(db(), "SN2"), "");
    }
};

QTEST_GUILESS_MAIN(ArticleLogicTest)
#include "test_article_logic.moc"
