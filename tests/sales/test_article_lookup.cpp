// Finding the article of a sale line by the six criteria, the pick list's
// items, the warranty period text and the serial numbers of an article.

#include "common/sql.h"
#include "sales/article_lookup.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

class ArticleLookupTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Храни'), (2, 'Техника')");
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Nomenkl_N, DDS, "
                      "Garancionen, Trajnost) VALUES "
                      "(10, 'Хляб', 1, 1.2, 'лв.', 'HL-1', 'True', 'False', ''), "
                      "(11, 'Хляб', 1, 1.5, 'лв.', 'hl-2', 'False', 'False', ''), "
                      "(12, 'Пълнозърнест хляб', 1, 2, 'лв.', '', 'False', 'False', ''), "
                      "(20, 'Телевизор', 2, 800, 'EUR', '', 'False', 'True', '2:24')");
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (10, '3800000000011'), (20, 'ABC123')");
        execSql(db(), "INSERT INTO Karti (ID, Karts) VALUES (11, 'K-77')");
        execSql(db(), "INSERT INTO Serials (ID, Serial_ID, Data) VALUES (20, 'SN-1', '01.01.2028'), "
                      "(20, 'SN-2', '02.02.2028')");
    }
    void cleanup() { fx_.reset(); }

    void criteria() {
        QCOMPARE(criterionItems().size(), 6);
        QCOMPARE(criterionItems().at(2), QString("i. - име на артикул "));
        QCOMPARE(criterionOf(u"s.  - сериен номер"), SearchCriterion::Serial);
        QCOMPARE(criterionOf(u"x."), SearchCriterion::Article);
        QCOMPARE(criterionLabel(SearchCriterion::CatalogueNumber), QString("n."));
    }

    void lookups_data() {
        QTest::addColumn<SearchCriterion>("criterion");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QList<qint64>>("found");
        QTest::newRow("article") << SearchCriterion::Article << "20" << QList<qint64>{20};
        QTest::newRow("article not a number") << SearchCriterion::Article << "2x" << QList<qint64>{};
        QTest::newRow("barcode") << SearchCriterion::Barcode << "3800000000011" << QList<qint64>{10};
        QTest::newRow("barcode in lower case") << SearchCriterion::Barcode << "abc123" << QList<qint64>{20};
        QTest::newRow("barcode is whole") << SearchCriterion::Barcode << "38000" << QList<qint64>{};
        QTest::newRow("name, any case") << SearchCriterion::Name << "ХЛЯБ" << QList<qint64>{10, 11, 12};
        QTest::newRow("name, two letters") << SearchCriterion::Name << "ле" << QList<qint64>{20};
        QTest::newRow("card") << SearchCriterion::Card << "k-77" << QList<qint64>{11};
        QTest::newRow("catalogue number") << SearchCriterion::CatalogueNumber << "hl-1" << QList<qint64>{10};
        QTest::newRow("serial") << SearchCriterion::Serial << "sn-2" << QList<qint64>{20};
        QTest::newRow("nothing") << SearchCriterion::Serial << "SN-9" << QList<qint64>{};
    }
    void lookups() {
        QFETCH(SearchCriterion, criterion);
        QFETCH(QString, reference);
        QFETCH(QList<qint64>, found);
        QCOMPARE(findArticles(db(), criterion, reference), found);
    }

    // Two articles of one name stay two items, each with its own number.
    void pickList() {
        const QList<PickItem> items = pickItems(db(), {12, 11, 10, 11});
        QCOMPARE(items.size(), 3);
        QCOMPARE(items.at(0).name, QString("Пълнозърнест хляб"));
        QCOMPARE(items.at(1).id, 10);
        QCOMPARE(items.at(2).id, 11);
        QCOMPARE(items.at(2).name, QString("Хляб"));
    }

    void article() {
        const std::optional<SaleArticle> a = loadSaleArticle(db(), 10);
        QVERIFY(a);
        QCOMPARE(articleCaption(*a), QString("[Храни] 10:Хляб"));
        QVERIFY(a->vatIncluded);
        QCOMPARE(a->price, Decimal("1.2"));
        QVERIFY(loadSaleArticle(db(), 20)->warranty);
        QVERIFY(!loadSaleArticle(db(), 99));
    }

    void warrantyPeriods_data() {
        QTest::addColumn<QString>("shelfLife");
        QTest::addColumn<QString>("text");
        QTest::newRow("hours") << "0:48"
                               << "48, часа";
        QTest::newRow("days") << "1:7"
                              << "7, дни";
        QTest::newRow("months") << "2:24"
                                << "24, месеца";
        QTest::newRow("years") << "3:2"
                               << "2, години";
        QTest::newRow("other unit") << "4:2"
                                    << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void warrantyPeriods() {
        QFETCH(QString, shelfLife);
        QFETCH(QString, text);
        QCOMPARE(warrantyPeriodText(shelfLife), text);
    }

    // A serial on a sold line or on another pending line is taken.
    void serials() {
        QCOMPARE(knownSerials(db(), 20).size(), 2);
        QCOMPARE(serialOf(db(), 20, "sn-1")->date, QString("01.01.2028"));
        QVERIFY(!serialTaken(db(), 20, "SN-1"));
        execSql(db(), "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Pored_Ot) VALUES (1, 20, 'SN-1')");
        execSql(db(), "INSERT INTO Prodajbi_Vremenni (N_Prodajba, Barkod, Pored_Ot, Operator) VALUES "
                      "(5, 20, 'SN-2', 'Мария')");
        QVERIFY(serialTaken(db(), 20, "SN-1"));
        QVERIFY(serialTaken(db(), 20, "SN-2"));
        QVERIFY(!serialTaken(db(), 20, "SN-2", 5)); // the line being edited
        QVERIFY(!serialTaken(db(), 10, "SN-1"));
    }

    void recipe() {
        QVERIFY(!hasRecipe(db(), 10));
        execSql(db(), "INSERT INTO Rezept_Art (ID, ID_Art, Name_R) VALUES (1, 10, 'Стандарт')");
        QVERIFY(hasRecipe(db(), 10));
    }
};

QTEST_MAIN(ArticleLookupTest)
#include "test_article_lookup.moc"
