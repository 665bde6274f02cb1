// Recipes on either engine: names matched whole, the working lines and
// their states, saving a new recipe and the changes of one, elements that
// would make a recipe hold itself, the elements of a sale, and carrying out
// production and break-up as one whole with a failure halfway.

#include "catalogue/recipes.h"
#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "support/fixture.h"

#include <QTest>
#include <memory>

using namespace torvika;

class RecipesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    Decimal stock(qint64 article) { return stockIn(db(), article, 1).value_or(Decimal(-999)); }
    qint64 count(const char* table) {
        return scalarSql(db(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
            .toLongLong();
    }
    QStringList stored(qint64 recipe) {
        QStringList out;
        for (const RecipeLine& l : recipeElements(db(), recipe))
            out << QString::number(l.element) + u'=' + l.quantity.toString();
        return out;
    }
    static QList<qint64> elements(const QList<RecipeLine>& lines) {
        QList<qint64> out;
        for (const RecipeLine& l : lines)
            out << l.element;
        return out;
    }
    RecipeHeader header(const QString& name, int kind = kRecipeKind, const char* forQuantity = "1") {
        RecipeHeader h;
        h.article = 10;
        h.name = name;
        h.kind = kind;
        h.forQuantity = Decimal(forQuantity);
        return h;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Mqrka, Dan_Grup, "
                      "Garancionen, Poredica, Trajnost) VALUES "
                      "(10, 1, 'Салата', 6, 'Лева', 'бр.', 1, 'False', 'False', ''), "
                      "(11, 1, 'Домати', 3, 'Лева', 'кг.', 1, 'False', 'False', ''), "
                      "(12, 1, 'Сирене', 12, 'Лева', 'кг.', 1, 'False', 'False', ''), "
                      "(13, 1, 'Краставици', 2, 'Лева', 'кг.', 1, 'False', 'False', ''), "
                      "(14, 1, 'Соленка', 1, 'Лева', 'бр.', 1, 'True', 'False', '3:2'), "
                      "(20, 1, 'Обяд', 15, 'Лева', 'бр.', 1, 'False', 'False', '')");
        // Салата "Стандарт" for 1 and "Стандарт 2" for 10; Обяд holds Салата.
        execSql(db(), "INSERT INTO Rezept_Art (ID, ID_Art, Kol_Art, Vid_R, Name_R) VALUES "
                      "(1, 10, 1, 0, 'Стандарт'), (2, 10, 10, 2, 'Стандарт 2'), (3, 20, 1, 0, 'Стандарт')");
        execSql(db(), "INSERT INTO Rezept_El (ID_R, ID_El, Kol_El) VALUES "
                      "(1, 11, 0.25), (1, 12, 0.1), (2, 11, 1), (3, 10, 1), (3, 13, 0.2)");
        execSql(db(),
                "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (11, 1, 5), (12, 1, 2), (10, 1, 1)");
    }
    void cleanup() { fx_.reset(); }

    // A name is one recipe's, whole and in any letter case: "Стандарт"
    // never takes the lines of "Стандарт 2".
    void namesAreMatchedWhole() {
        RecipeDraft d(db());
        d.load(10);
        QCOMPARE(d.names(true), (QStringList{"Максимум", "Минимум", "Стандарт", "Стандарт 2"}));
        QCOMPARE(d.names(false), (QStringList{"Стандарт", "Стандарт 2"}));
        QCOMPARE(d.recipeNamed("стандарт")->id, 1);
        QCOMPARE(d.recipeNamed("Стандарт 2")->forQuantity, Decimal(10));
        QVERIFY(!d.recipeNamed("Стан"));
        QCOMPARE(elements(d.lines({1, {}})), (QList<qint64>{11, 12}));
        QVERIFY(d.lines({0, "Стандарт"}).isEmpty());
        QCOMPARE(recipeNamed(db(), 20, "СТАНДАРТ")->id, 3);
    }

    void elementRefusals_data() {
        QTest::addColumn<qint64>("main");
        QTest::addColumn<qint64>("element");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("the main article itself") << qint64(10) << qint64(10) << texts::kElementIsMain;
        QTest::newRow("an element made of the main article")
            << qint64(10) << qint64(20) << texts::kElementContainsMain.arg("20:Обяд");
        QTest::newRow("through two recipes")
            << qint64(11) << qint64(20) << texts::kElementContainsMain.arg("20:Обяд");
        QTest::newRow("an element without recipes") << qint64(20) << qint64(12) << QString();
    }
    void elementRefusals() {
        QFETCH(qint64, main);
        QFETCH(qint64, element);
        QFETCH(QString, refusal);
        QCOMPARE(elementRefusal(db(), main, element).value_or(QString()), refusal);
    }

    // A line added and then edited is still written; a saved line edited
    // or deleted is changed in place; the kind edited is kept.
    void savingChangesOfARecipe() {
        RecipeDraft d(db());
        d.load(10);
        QCOMPARE(d.add({1, {}}, 11, Decimal(1)).value_or(""), texts::kElementTwice.arg("11:Домати"));
        QCOMPARE(d.add({1, {}}, 20, Decimal(1)).value_or(""), texts::kElementContainsMain.arg("20:Обяд"));
        QCOMPARE(d.add({1, {}}, 13, Decimal(0)).value_or(""), texts::kQuantityNotPositive);
        QVERIFY(!d.add({1, {}}, 13, Decimal("0.3")));
        QList<RecipeLine> lines = d.lines({1, {}});
        QCOMPARE(lines[2].state, int(kLineAdded));
        QVERIFY(!d.setQuantity(lines[2].key, Decimal("0.35")));
        QVERIFY(!d.setQuantity(lines[0].key, Decimal("0.3")));
        d.remove(lines[1].key);
        lines = d.lines({1, {}});
        QCOMPARE(elements(lines), (QList<qint64>{11, 13}));
        QCOMPARE(lines[0].state, int(kLineChanged));
        QCOMPARE(lines[1].state, int(kLineAdded));

        const RecipeSaveResult r = d.saveChanges(1, header("Стандарт", kProductionKind, "2"));
        QCOMPARE(r.status, RecipeSaveResult::Saved);
        QCOMPARE(stored(1), (QStringList{"11=0.3", "13=0.35"}));
        const RecipeHeader h = *loadRecipe(db(), 1);
        QCOMPARE(h.kind, int(kProductionKind));
        QCOMPARE(h.forQuantity, Decimal(2));
        // Loaded again: every line as saved.
        QCOMPARE(d.lines({1, {}})[1].state, int(kLineLoaded));
        // The recipe's other lines on another workstation are not touched.
        QCOMPARE(stored(2), QStringList{"11=1"});
    }

    void changeRefusals() {
        RecipeDraft d(db());
        d.load(10);
        QCOMPARE(d.saveChanges(1, header("стандарт 2")).message, texts::kRecipeNameTaken.arg("стандарт 2"));
        for (const RecipeLine& l : d.lines({1, {}}))
            d.remove(l.key);
        QCOMPARE(d.saveChanges(1, header("Стандарт")).message, texts::kRecipeNoElements);
        QCOMPARE(stored(1), (QStringList{"11=0.25", "12=0.1"}));
        QCOMPARE(d.saveChanges(1, header("Стандарт", 5)).message, texts::kNoOperationKind);
        QCOMPARE(d.saveChanges(1, header("Стандарт", 0, "0")).message, texts::kRecipeForQuantity);
        QCOMPARE(d.saveChanges(1, header("Твърде дълго име")).message, texts::kRecipeNameTooLong.arg(15));
        execSql(db(), "DELETE FROM Rezept_Art WHERE ID = 1");
        QCOMPARE(d.saveChanges(1, header("Стандарт")).message, texts::kRecipeGone);
    }

    // A new recipe's name already used by the article is answered with that
    // recipe; the same name of another article is no obstacle.
    void savingANewRecipe() {
        RecipeDraft d(db());
        d.load(20);
        QVERIFY(!d.add({0, "Минимум"}, 13, Decimal("0.2")));
        QVERIFY(!d.add({0, "Минимум"}, 12, Decimal("0.05")));
        RecipeHeader h = header("минимум", kRecipeKind, "1");
        h.article = 20;
        QCOMPARE(d.saveNew(header("")).message, texts::kRecipeNameEmpty);
        const RecipeSaveResult r = d.saveNew(h);
        QCOMPARE(r.status, RecipeSaveResult::Saved);
        QCOMPARE(r.id, 4);
        QCOMPARE(loadRecipe(db(), 4)->name, QString("минимум"));
        QCOMPARE(stored(4), (QStringList{"12=0.05", "13=0.2"}));
        h.name = QStringLiteral("Стандарт");
        const RecipeSaveResult exists = d.saveNew(h);
        QCOMPARE(exists.status, RecipeSaveResult::Exists);
        QCOMPARE(exists.id, 3);
        QCOMPARE(d.saveNew(header("Нова")).message, texts::kRecipeNoElements);
        QVERIFY(deleteRecipe(db(), 4));
        QVERIFY(!deleteRecipe(db(), 4));
        QVERIFY(recipeElements(db(), 4).isEmpty());
    }

    // An element's quantity per unit sold is its quantity divided by the
    // recipe's quantity of the main article.
    void saleElements() {
        QList<RecipeSaleElement> e =
            recipeSaleElements(db(), recipeElements(db(), 2), Decimal(10), Decimal(3));
        QCOMPARE(e.size(), 1);
        QCOMPARE(e[0].quantity, Decimal("0.3"));
        QCOMPARE(e[0].description, QString("Домати"));
        e = recipeSaleElements(db(), recipeElements(db(), 1), Decimal(1), Decimal(3));
        QCOMPARE(e[0].quantity, Decimal("0.75"));
        QCOMPARE(e[1].quantity, Decimal("0.3"));
        execSql(db(), "INSERT INTO Rezept_El (ID_R, ID_El, Kol_El) VALUES (1, 14, 1)");
        e = recipeSaleElements(db(), recipeElements(db(), 1), Decimal(1), Decimal(2));
        QVERIFY(e[2].warranty);
        QCOMPARE(e[2].shelfLife, QString("3:2"));
    }

    void value() {
        RecipeDraft d(db());
        d.load(10);
        // 0.25 × 3 + 0.1 × 12 = 1.95 for one; 3.90 for two.
        const RecipeValue v = d.value({1, {}}, Decimal(1), Decimal(2), VatRates::defaults());
        QCOMPARE(v.total, Decimal("3.9"));
        QCOMPARE(v.base, Decimal("3.25"));
        QCOMPARE(v.vat, Decimal("0.65"));
    }

    // Production takes the elements out and puts the main article in, in
    // proportion to the recipe's quantity; a break-up the other way.
    void producingMovesTheStock() {
        ProductionRequest p{2, Decimal(5), 1, QStringLiteral("Иван"),
                            QDateTime(QDate(2024, 5, 1), QTime(8, 0))};
        const ProductionResult done = produce(db(), p);
        QCOMPARE(done.status, ProductionResult::Done);
        QCOMPARE(stock(10), Decimal(6));
        QCOMPARE(stock(11), Decimal("4.5"));
        const SqlRows head =
            readRows(db(), "SELECT ID_R, Vid_R, ID_Art, Kol, Sklad_ID, Operator FROM Projzvodstvo");
        QCOMPARE(head.rows.size(), 1);
        QCOMPARE(head.rows[0][1].toInt(), int(kProductionKind));
        QCOMPARE(fromNumberColumn(scalarSql(db(), "SELECT Kol_El FROM Projzvodstvo_El WHERE ID_El = 11")),
                 Decimal("-0.5"));

        execSql(db(), "UPDATE Rezept_Art SET Vid_R = 1 WHERE ID = 1");
        p.recipe = 1;
        p.quantity = Decimal(2);
        QCOMPARE(produce(db(), p).id, 2);
        QCOMPARE(stock(10), Decimal(4));
        QCOMPARE(stock(11), Decimal(5));
        QCOMPARE(stock(12), Decimal("2.2"));
    }

    void productionShortagesAndRefusals() {
        ProductionRequest p{1, Decimal(30), 1, QStringLiteral("Иван"), QDateTime::currentDateTime()};
        const QList<ProductionShortage> s = productionShortages(db(), p);
        QCOMPARE(s.size(), 2);
        QCOMPARE(s[0].article, 11);
        QCOMPARE(s[0].needed, Decimal("7.5"));
        QCOMPARE(s[0].available, Decimal(5));
        p.quantity = Decimal(0);
        QCOMPARE(produce(db(), p).message, texts::kQuantityNotPositive);
        p.quantity = Decimal(1);
        p.warehouse = 9;
        QCOMPARE(produce(db(), p).message, texts::kChooseStockMoveWarehouse);
        p.warehouse = 1;
        p.recipe = 99;
        QCOMPARE(produce(db(), p).message, texts::kRecipeGone);
        QCOMPARE(count("Projzvodstvo"), 0);
    }

    // A failure halfway leaves the stock of every article as it was.
    void failureHalfwayMovesNothing() {
        test::refuseInserts(db(), "Projzvodstvo_El", "NEW.ID_El = 12", "disk full");
        ProductionRequest p{1, Decimal(2), 1, QStringLiteral("Иван"), QDateTime::currentDateTime()};
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, produce(db(), p));
        QCOMPARE(stock(10), Decimal(1));
        QCOMPARE(stock(11), Decimal(5));
        QCOMPARE(stock(12), Decimal(2));
        QCOMPARE(count("Projzvodstvo"), 0);
    }
};

QTEST_GUILESS_MAIN(RecipesTest)
#include "test_recipes.moc"
