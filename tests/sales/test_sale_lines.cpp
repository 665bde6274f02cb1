// The sale under way: entering and rewriting lines with their discounts,
// the totals with VAT and currency, cancelling, the free discount, and every
// operator keeping to his own lines.

#include "common/errors.h"
#include "common/sql.h"
#include "sales/sale_lines.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

namespace {

Decimal d(const char* text) {
    return Decimal(text);
}

} // namespace

class SaleLinesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    SaleContext context(const QString& op = "Иван", int bill = 0) {
        SaleContext c;
        c.operatorName = op;
        c.bill = bill;
        c.vatRates = VatRates::uniform(20);
        return c;
    }
    void addArticle(qint64 id, const QString& name, double price, double maxDiscount = 0,
                    const QString& currency = "лв.", int group = 1) {
        execSql(
            db(),
            "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, Dan_Grup, "
            "Prigotvq_Se) VALUES (?, ?, ?, ?, ?, 'бр.', ?, 1, 0)",
            {id, name, group, price, currency, maxDiscount});
    }
    QVariant lineValue(qint64 line, const char* column) {
        return scalarSql(db(), QString("SELECT %1 FROM Prodajbi_Vremenni WHERE N_Prodajba = ?").arg(column),
                         {line});
    }
    qint64 enter(const SaleContext& c, qint64 article, const char* qty, const char* price,
                 std::optional<qint64> editing = {}) {
        const EnterResult r = enterLine(db(), c, {article, d(qty), d(price), {}, {}}, editing);
        if (r.status != EnterResult::Added && r.status != EnterResult::Rewritten)
            return -int(r.status);
        return r.line;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "DELETE FROM Valuti");
        execSql(
            db(),
            "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('лв.', 1, 'True'), ('EUR', 1.95583, 'False')");
    }
    void cleanup() { fx_.reset(); }

    void typedQuantitiesAndPrices_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value"); // empty: refused
        QTest::newRow("point") << "1.5"
                               << "1.5";
        QTest::newRow("comma") << "1,5"
                               << "1.5";
        QTest::newRow("integer") << "3"
                                 << "3";
        QTest::newRow("zero") << "0"
                              << "";
        QTest::newRow("zero with decimals") << "0.0"
                                            << "";
        QTest::newRow("double zero") << "00"
                                     << "";
        QTest::newRow("negative") << "-1"
                                  << "";
        QTest::newRow("infinity") << "inf"
                                  << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("letters") << "abc"
                                 << "";
    }
    void typedQuantitiesAndPrices() {
        QFETCH(QString, text);
        QFETCH(QString, value);
        const std::optional<Decimal> v = parsePositiveAmount(text);
        QCOMPARE(v ? v->toString() : QString(), value);
    }

    // The discount a typed price implies keeps the typed price, for one
    // unit and for the line's quantity, and never takes the price after it
    // below the typed one.
    void discountFromTypedPrice_data() {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("discount");
        QTest::newRow("below") << "10"
                               << "8"
                               << "1"
                               << "1"
                               << "20";
        QTest::newRow("above: a surcharge") << "10"
                                            << "12"
                                            << "1"
                                            << "1"
                                            << "-20";
        QTest::newRow("same") << "10"
                              << "10"
                              << "1"
                              << "1"
                              << "0";
        QTest::newRow("a third") << "1000"
                                 << "333.33"
                                 << "1"
                                 << "1"
                                 << "66.667";
        QTest::newRow("odd") << "3"
                             << "1"
                             << "1"
                             << "1"
                             << "66.66";
        QTest::newRow("a hundred units") << "7"
                                         << "1"
                                         << "100"
                                         << "1"
                                         << "85.714";
        QTest::newRow("a hundred units above") << "7"
                                               << "9"
                                               << "100"
                                               << "1"
                                               << "-28.572";
        QTest::newRow("in euro") << "7"
                                 << "1"
                                 << "100"
                                 << "1.95583"
                                 << "85.7142";
        QTest::newRow("weighed") << "12.99"
                                 << "9.99"
                                 << "0.735"
                                 << "1"
                                 << "23.09";
    }
    void discountFromTypedPrice() {
        QFETCH(QString, catalogue);
        QFETCH(QString, typed);
        QFETCH(QString, quantity);
        QFETCH(QString, rate);
        QFETCH(QString, discount);
        const Decimal c(catalogue), t(typed), q(quantity), r(rate);
        const Decimal got = discountFromPrice(c, t, q, r, 2);
        QCOMPARE(got.toString(), Decimal(discount).toString());
        QCOMPARE(lineAmount(1, c, 1, got, 2), t.rounded(2));
        QCOMPARE(lineAmount(q, c, r, got, 2), (q * t * r).rounded(2));
        QVERIFY(c * (Decimal(100) - got) >= t * 100);
    }

    // The lines of the Part's examples: the typed price, the counterparty's
    // discount, Max_TO, a zero-priced article.
    void enteringLines() {
        addArticle(10, "Чай", 10, 10);
        addArticle(11, "Кафе", 10, 0);
        addArticle(12, "Услуга", 0);
        SaleContext c = context();
        QCOMPARE(enterLine(db(), c, {10, 1, 9, {}, {}}).status, EnterResult::Added); // 10 % = Max_TO
        const EnterResult above = enterLine(db(), c, {10, 1, 8, {}, {}});
        QCOMPARE(above.status, EnterResult::AboveMaximum);
        QCOMPARE(above.maxDiscount, Decimal(10));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni").toInt(), 1);

        const qint64 coffee = enter(c, 11, "2", "8");
        QVERIFY(coffee > 0);
        QCOMPARE(lineValue(coffee, "T_O").toDouble(), 20.0);
        QCOMPARE(lineValue(coffee, "Ed_Cena").toDouble(), 10.0);
        QCOMPARE(lineValue(coffee, "Kol").toDouble(), 2.0);
        QCOMPARE(lineValue(coffee, "Sm_N").toInt(), 0);
        QCOMPARE(lineValue(coffee, "Nomenkl_N").toString(), QString("0"));
        QCOMPARE(enterLine(db(), c, {12, 1, 0, {}, {}}).status, EnterResult::IncorrectData);
        const qint64 service = enter(c, 12, "1", "25");
        QCOMPARE(lineValue(service, "Ed_Cena").toDouble(), 25.0); // takes the typed price
        QCOMPARE(lineValue(service, "T_O").toDouble(), 0.0);

        // A counterparty's discount above 0 wins over the typed price.
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, T_O, ID_Mol, Nomer_Grupa) "
                      "VALUES (7, 'Клиент', '0', '0', 0, 7, 0)");
        execSql(db(),
                "INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O) VALUES (7, 'A', 11, 15)");
        execSql(db(), "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (11, 'K-11', 7)");
        c.counterparty = 7;
        const qint64 tea = enter(c, 11, "1", "3");
        QCOMPARE(lineValue(tea, "T_O").toDouble(), 15.0);
        QCOMPARE(lineValue(tea, "Nomenkl_N").toString(), QString("K-11"));
    }

    // A price typed as 333.33 against 1000.00 charges 333.33.
    void typedPriceComesBack() {
        addArticle(20, "Телевизор", 1000);
        const SaleContext c = context();
        enter(c, 20, "1", "333.33");
        QCOMPARE(recalculateSale(db(), c).total, d("333.33"));
    }

    // An edit rewrites only the operator's own line; changing the article
    // takes the new article's tax group and department; a new quantity alone
    // keeps the line's discount; a line gone is said so.
    void rewritingLines() {
        addArticle(10, "Чай", 10);
        addArticle(11, "Кафе", 20);
        execSql(db(), "UPDATE Produkti SET Dan_Grup = 3, Prigotvq_Se = 2 WHERE ID = 11");
        const SaleContext c = context();
        const qint64 line = enter(c, 10, "1", "9");
        QCOMPARE(lineValue(line, "T_O").toDouble(), 10.0);
        QCOMPARE(enter(c, 10, "4", "10", line), line); // the field shows the catalogue price
        QCOMPARE(lineValue(line, "Kol").toDouble(), 4.0);
        QCOMPARE(lineValue(line, "T_O").toDouble(), 10.0);
        QCOMPARE(enter(c, 11, "1", "20", line), line);
        QCOMPARE(lineValue(line, "Opisanie").toString(), QString("Кафе"));
        QCOMPARE(lineValue(line, "Dan_Grup").toInt(), 3);
        QCOMPARE(lineValue(line, "Prigotvq_Se").toInt(), 2);
        QCOMPARE(lineValue(line, "T_O").toDouble(), 0.0);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni").toInt(), 1);

        QCOMPARE(enterLine(db(), context("Мария"), {10, 1, 10, {}, {}}, line).status, EnterResult::Gone);
        QCOMPARE(lineValue(line, "Opisanie").toString(), QString("Кафе"));
        cancelLines(db(), "Иван", {line}, 1);
        QCOMPARE(enterLine(db(), c, {10, 1, 10, {}, {}}, line).status, EnterResult::Gone);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni").toInt(), 0);
    }

    // The totals of the Part's examples, and the net values written back.
    void totals_data() {
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("net");
        QTest::addColumn<QString>("vat");
        QTest::addColumn<QString>("unitNet");
        QTest::addColumn<QString>("lineNet");
        QTest::newRow("leva") << "лв."
                              << "2"
                              << "12"
                              << "0"
                              << "24"
                              << "20"
                              << "4"
                              << "10"
                              << "20";
        QTest::newRow("discount") << "лв."
                                  << "2"
                                  << "12"
                                  << "10"
                                  << "21.6"
                                  << "18"
                                  << "3.6"
                                  << "9"
                                  << "18";
        QTest::newRow("euro") << "EUR"
                              << "1"
                              << "10"
                              << "0"
                              << "19.56"
                              << "16.3"
                              << "3.26"
                              << "8.33"
                              << "8.33";
        QTest::newRow("net + VAT = total") << "лв."
                                           << "1"
                                           << "10.23"
                                           << "0"
                                           << "10.23"
                                           << "8.53"
                                           << "1.7"
                                           << "8.53"
                                           << "8.53";
    }
    void totals() {
        QFETCH(QString, currency);
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, discount);
        addArticle(30, "Стока", Decimal(price).toDouble(), 0, currency);
        execSql(db(),
                "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Ed_Cena, Valuta, T_O, Operator, Sm_N) "
                "VALUES (30, 'Стока', ?, ?, ?, ?, 'Иван', 0)",
                {Decimal(quantity).toDouble(), Decimal(price).toDouble(), currency,
                 Decimal(discount).toDouble()});
        const SaleTotals t = recalculateSale(db(), context());
        QFETCH(QString, total);
        QFETCH(QString, net);
        QFETCH(QString, vat);
        QFETCH(QString, unitNet);
        QFETCH(QString, lineNet);
        QCOMPARE(t.total, Decimal(total));
        QCOMPARE(t.vat.net, Decimal(net));
        QCOMPARE(t.vat.vat, Decimal(vat));
        QCOMPARE(t.vat.net + t.vat.vat, t.total);
        const qint64 line = t.lines.at(0).number;
        QCOMPARE(Decimal::fromVariant(lineValue(line, "Bez_DDS")), Decimal(unitNet));
        QCOMPARE(Decimal::fromVariant(lineValue(line, "SUM_BezDDS")), Decimal(lineNet));
    }

    // Each line is taxed at its tax group's rate: its net values, the
    // totals per rate, and the amounts a document of some of the lines shows.
    void totalsPerTaxGroup() {
        addArticle(10, "Хляб", 2.18);
        addArticle(11, "Вино", 12);
        execSql(db(), "UPDATE Produkti SET Dan_Grup = 3 WHERE ID = 10"); // Г
        SaleContext c = context();
        c.vatRates = VatRates::defaults();
        const qint64 bread = enter(c, 10, "5", "2.18");
        const qint64 wine = enter(c, 11, "2", "12");
        QCOMPARE(Decimal::fromVariant(lineValue(bread, "Bez_DDS")), d("2"));
        QCOMPARE(Decimal::fromVariant(lineValue(bread, "SUM_BezDDS")), d("10"));
        QCOMPARE(Decimal::fromVariant(lineValue(wine, "SUM_BezDDS")), d("20"));
        const SaleTotals t = recalculateSale(db(), c);
        QCOMPARE(t.total, d("34.90"));
        QCOMPARE(t.vat.rates.size(), 2);
        QCOMPARE(t.vat.rates[0].rate, d("9"));
        QCOMPARE(t.vat.rates[0].net, d("10"));
        QCOMPARE(t.vat.rates[0].vat, d("0.9"));
        QCOMPARE(t.vat.rates[1].rate, d("20"));
        QCOMPARE(t.vat.rates[1].vat, d("4"));
        QCOMPARE(t.vat.net, d("30"));
        QCOMPARE(t.vat.vat, d("4.9"));
        const VatTotals doc = saleLinesVat(db(), {wine, 999}, 2, c.vatRates);
        QCOMPARE(doc.gross, d("24"));
        QCOMPARE(doc.vat, d("4"));
        QCOMPARE(doc.lineRates, (QHash<qint64, Decimal>{{wine, d("20")}}));
    }

    // Lines of other operators, other bills and unknown currencies stay out
    // of the totals; "Покажи всички данни" shows the operator's every line.
    void whatCounts() {
        addArticle(10, "Чай", 10);
        execSql(db(),
                "INSERT INTO Prodajbi_Vremenni (Barkod, Kol, Ed_Cena, Valuta, T_O, Operator, Sm_N) VALUES "
                "(10, 1, 10, 'лв.', 0, 'Иван', 0), (10, 1, 20, 'лв.', 0, 'Иван', 5), "
                "(10, 1, 40, 'USD', 0, 'Иван', 0), (10, 1, 80, 'лв.', 0, 'Ива%', 0), "
                "(10, 1, 160, 'лв.', 0, 'Мария', 0)");
        QCOMPARE(recalculateSale(db(), context()).total, Decimal(10));
        QCOMPARE(recalculateSale(db(), context("Иван", 5)).total, Decimal(20));
        QCOMPARE(recalculateSale(db(), context("Ива%")).total, Decimal(80));
        const QList<SaleLine> all = allOperatorLines(db(), "Иван", 2);
        QCOMPARE(all.size(), 3);
        QVERIFY(!all.at(2).rate.has_value());
    }

    // Cancelling takes the operator's own lines and their printed documents
    // of that page only.
    void cancelling() {
        execSql(db(), "INSERT INTO Prodajbi_Vremenni (N_Prodajba, Barkod, Operator) VALUES "
                      "(1, 10, 'Иван'), (2, 11, 'Иван'), (3, 12, 'Мария')");
        execSql(
            db(),
            "INSERT INTO Printed_Dok (ID_Prod, ID_Dok, Ot_Kade_Prod) VALUES (1, 1, 1), (1, 1, 2), (3, 1, 1)");
        QCOMPARE(cancelLines(db(), "Иван", {1, 3}, 1), 1);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni").toInt(), 2);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Printed_Dok WHERE ID_Prod = 1").toInt(), 1);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Printed_Dok WHERE ID_Prod = 3").toInt(), 1);
    }

    // The free discount changes the lines of the current bill only, for the
    // chosen articles, and never above 100 %.
    void freeDiscount() {
        execSql(
            db(),
            "INSERT INTO Prodajbi_Vremenni (N_Prodajba, Barkod, Operator, Sm_N, T_O) VALUES "
            "(1, 10, 'Иван', 0, 0), (2, 10, 'Иван', 3, 0), (3, 11, 'Иван', 0, 0), (4, 10, 'Мария', 0, 0)");
        const std::optional<Decimal> p = discountBetweenPrices(10, d("7.5"));
        QCOMPARE(*p, Decimal(25));
        QCOMPARE(p->toFixed(4), QString("25.0000"));
        QVERIFY(!discountBetweenPrices(0, 1));
        applyFreeDiscount(db(), context(), {10}, *p);
        QCOMPARE(lineValue(1, "T_O").toDouble(), 25.0);
        QCOMPARE(lineValue(2, "T_O").toDouble(), 0.0);
        QCOMPARE(lineValue(3, "T_O").toDouble(), 0.0);
        QCOMPARE(lineValue(4, "T_O").toDouble(), 0.0);
        QVERIFY_THROWS_EXCEPTION(EConvertError, applyFreeDiscount(db(), context(), {10}, d("100.01")));
        QCOMPARE(lineValue(1, "T_O").toDouble(), 25.0);
    }

    // Two operators on two workstations: each sees, totals and cancels only
    // his own lines, and their line numbers never meet.
    void twoOperatorsOnTwoConnections() {
        addArticle(10, "Чай", 10);
        QSqlDatabase other = fx_->openWorkstation("second workstation");
        const SaleContext ivan = context("Иван"), maria = context("Мария");
        const qint64 a = enterLine(db(), ivan, {10, 1, 10, {}, {}}).line;
        const qint64 b = enterLine(other, maria, {10, 2, 10, {}, {}}).line;
        const qint64 c = enterLine(db(), ivan, {10, 3, 10, {}, {}}).line;
        QCOMPARE(QSet<qint64>({a, b, c}).size(), 3);
        QCOMPARE(recalculateSale(db(), ivan).total, Decimal(40));
        QCOMPARE(recalculateSale(other, maria).total, Decimal(20));
        QCOMPARE(recalculateSale(other, ivan).lines.size(), 2);
        QCOMPARE(cancelLines(other, "Мария", {a, b}, 1), 1);
        QCOMPARE(recalculateSale(db(), ivan).total, Decimal(40));
        other = {};
        QSqlDatabase::removeDatabase("second workstation");
    }

    // Line numbers are never taken twice, even after the last line is gone.
    void lineNumbersNotReused() {
        addArticle(10, "Чай", 10);
        const SaleContext c = context();
        const qint64 first = enter(c, 10, "1", "10");
        cancelLines(db(), "Иван", {first}, 1);
        QVERIFY(enter(c, 10, "1", "10") > first);
    }

    // The elements of a recipe go into the operator's bill at price 0, in
    // the element's own unit, currency and tax group; an element gone from
    // the catalogue is left out.
    void elementLinesOfARecipe() {
        addArticle(21, "Домати", 3);
        execSql(db(), "UPDATE Produkti SET Mqrka = 'кг.', Dan_Grup = 3, Valuta_P = 'EUR' WHERE ID = 21");
        const SaleContext c = context("Мария", 4);
        const QList<qint64> lines =
            addElementLines(db(), c, {{21, d("0.75"), "SN-1", "2, години"}, {99, d("1"), {}, {}}});
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lineValue(lines[0], "Opisanie").toString(), QString("Домати"));
        QCOMPARE(lineValue(lines[0], "Kol").toDouble(), 0.75);
        QCOMPARE(lineValue(lines[0], "Ed_Cena").toDouble(), 0.0);
        QCOMPARE(lineValue(lines[0], "Mqrka").toString(), QString("кг."));
        QCOMPARE(lineValue(lines[0], "Valuta").toString(), QString("EUR"));
        QCOMPARE(lineValue(lines[0], "Dan_Grup").toInt(), 3);
        QCOMPARE(lineValue(lines[0], "Sm_N").toInt(), 4);
        QCOMPARE(lineValue(lines[0], "Operator").toString(), QString("Мария"));
        QCOMPARE(lineValue(lines[0], "Pored_Ot").toString(), QString("SN-1"));
        QCOMPARE(lineValue(lines[0], "Pored_Do").toString(), QString("2, години"));
    }
};

QTEST_MAIN(SaleLinesTest)
#include "test_sale_lines.moc"
