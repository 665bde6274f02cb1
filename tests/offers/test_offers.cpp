// Supplier price lists and offers on either engine: importing a catalogue in
// either encoding, its bad lines refused by line, an update that replaces a
// supplier's list only when it is read and stored whole, the tree file,
// browsing and searching (no supplier: no statement), the price correction
// through the formula parser, the comparison of alternatives, saving an
// offer with its order lines all or nothing, and the saved offers' report.

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "offers/offers.h"
#include "offers/supplier_lists.h"
#include "support/fixture.h"
#include "support/fuzz.h"

#include <QTest>

using namespace torvika;

namespace {

const QByteArray kTwoArticles =
    QByteArrayLiteral("16:[Доставчик А]\t17:[София]\t18:[02 111]\t19:[бележка]\r\n"
                      "11:[Монитори]\r\n"
                      "1:[Монитор 24\"]\t2:[100]\t3:[90]\t4:[80]\t5:[Лева]\t6:[наличен]\t7:[M-24]\r\n"
                      "1:[Монитор 27]\t2:[12,50]\t5:[eur]\t7:[M-27]\r\n");

// Cancels at the first look.
class CancelAtOnce : public Progress {
public:
    void start(int) override {}
    void setValue(int) override {}
    bool cancelled() override { return true; }
    void finish() override {}
};

} // namespace

class OffersTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }
    QString tree() { return supplierTreeFile(fx_->root()); }

    SupplierListImport import(const QByteArray& bytes, std::optional<qint64> update = {}) {
        NoProgress none;
        return importSupplierList(db(), tree(), fx_->writeFile("list.txt", bytes), update, none);
    }
    qint64 count(const QString& table) {
        return scalarSql(db(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toLongLong();
    }
    QStringList articles() {
        QStringList out;
        QSqlQuery q =
            execSql(db(), "SELECT ID, Opisanie, Cena_1, Cena_2, Cena_3, Valuta, Status, ID_G, ID_F, Kat_N "
                          "FROM Art_CL ORDER BY ID");
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < 10; ++i)
                cells << (i >= 2 && i <= 4 ? fromNumberColumn(q.value(i)).toString() : q.value(i).toString());
            out << cells.join(u'|');
        }
        return out;
    }
    QStringList treeTexts() {
        QStringList out;
        for (const TreeLine& l : readTreeFile(tree()))
            out << QString(l.depth, u'\t') + l.text;
        return out;
    }
    QList<qint64> keys(const SqlStatement& s, int column = 0) {
        QList<qint64> out;
        for (const QVariantList& r : readRows(db(), s.text, s.values).rows)
            out << r[column].toLongLong();
        return out;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, EIK, Telefon, Nomer_Grupa) VALUES (7, 'Бета ООД', '0', "
                "'088 1', 0)");
    }
    void cleanup() { fx_.reset(); }

    // One supplier, one group, two articles, read alike from UTF-8 and
    // Windows-1251; the tree file shows the supplier with its group.
    void importsOneSupplier_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8") << kTwoArticles;
        QTest::newRow("Windows-1251") << toCp1251(QString::fromUtf8(kTwoArticles));
    }
    void importsOneSupplier() {
        QFETCH(QByteArray, bytes);
        const SupplierListImport r = import(bytes);
        QCOMPARE(r.report.outcome, ImportReport::Outcome::Stored);
        QCOMPARE(r.report.refused, 0);
        QCOMPARE(r.suppliers, QList<qint64>{1});
        QCOMPARE(count("Firm_CL"), 1);
        QCOMPARE(scalarSql(db(), "SELECT Adres || '|' || Telefon || '|' || Zabel FROM Firm_CL").toString(),
                 "София|02 111|бележка");
        QCOMPARE(readRows(db(), "SELECT ID, Opisanie, ID_F FROM Grupi_CL").rows,
                 (QList<QVariantList>{{1, "Монитори", 1}}));
        QCOMPARE(articles(), (QStringList{"1|Монитор 24\"|100|90|80|Лева|наличен|1|1|M-24",
                                          "2|Монитор 27|12.5|0|0|EUR||1|1|M-27"}));
        QCOMPARE(treeTexts(), (QStringList{"1:Доставчик А", "\t1:Монитори"}));
    }

    // Each bad line is refused with its reason and line number; the good
    // lines are stored; the articles of a refused group are refused too.
    void refusesBadLines() {
        const QByteArray file = "11:[Без доставчик]\r\n"                      // 1 group before any supplier
                                "16:[Доставчик Б]\r\n"                        // 2
                                "1:[Без група]\t2:[5]\t5:[Лева]\r\n"          // 3 article before any group
                                "11:[Група 1]\r\n"                            // 4
                                "1:[Добър]\t2:[1.5]\t5:[USD]\r\n"             // 5 stored
                                "1:[Лоша цена]\t2:[12.5 лв]\t5:[Лева]\r\n"    // 6 price not a number
                                "1:[Цена 2]\t2:[1]\t3:[abc]\t5:[Лева]\r\n"    // 7 price 2 not a number
                                "1:[Без валута]\t2:[3]\r\n"                   // 8 field 5 missing
                                "1:[Непозната]\t2:[3]\t5:[GBP]\r\n"           // 9 currency unknown
                                "просто текст без полета\r\n"                 // 10 no field
                                "\r\n"                                        // 11 blank: skipped
                                "1:[Отворено\t2:[3]\r\n"                      // 12 value not closed
                                "10:[x]\t20:[y]\r\n"                          // 13 no field of a record
                                "11:[]\r\n"                                   // 14 group without a name
                                "1:[Под отказана група]\t2:[2]\t5:[Лева]\r\n" // 15 its group was refused
                                "11:[Група 2]\r\n"                            // 16
                                "1:[Втори добър]\t2:[0,99]\t5:[Лева]\r\n";    // 17 stored
        const SupplierListImport r = import(file);
        QCOMPARE(r.report.outcome, ImportReport::Outcome::Stored);
        QCOMPARE(r.articles, 2);
        QCOMPARE(r.groups, 2);
        QCOMPARE(articles(), (QStringList{"1|Добър|1.5|0|0|USD||1|1|", "2|Втори добър|0.99|0|0|Лева||2|1|"}));
        QStringList refused;
        for (const QString& l : r.report.lines)
            if (l.contains("ОТКАЗАН"))
                refused << l.section(u' ', 2, 2).chopped(1);
        QCOMPARE(refused, (QStringList{"1", "3", "6", "7", "8", "9", "10", "12", "13", "14", "15"}));
        QVERIFY(r.report.lines.join('\n').contains("поле 2 (\"12.5 лв\") не е число"));
        QCOMPARE(r.report.refused, 11);
    }

    // An update replaces the supplier's groups and articles and renames it;
    // a cancelled or failed update leaves the old list whole.
    void updateReplacesOnlyWhole() {
        import(kTwoArticles);
        import("16:[Друг]\r\n11:[Г]\r\n1:[Друг артикул]\t2:[7]\t5:[Лева]\r\n");
        const QStringList before = articles();
        const QStringList treeBefore = treeTexts();
        QCOMPARE(treeBefore, (QStringList{"2:Друг", "\t1:Г", "1:Доставчик А", "\t1:Монитори"}));

        const QByteArray newList = "16:[Доставчик А1]\r\n11:[Нова]\r\n1:[Нов]\t2:[3]\t5:[Лева]\r\n";
        {
            CancelAtOnce cancel;
            const SupplierListImport r =
                importSupplierList(db(), tree(), fx_->writeFile("new.txt", newList), qint64(1), cancel);
            QCOMPARE(r.report.outcome, ImportReport::Outcome::Cancelled);
        }
        QCOMPARE(articles(), before);
        QCOMPARE(treeTexts(), treeBefore);
        {
            test::refuseInserts(db(), "Art_CL", "NEW.Opisanie = 'Нов'", "refused");
            const SupplierListImport r = import(newList, 1);
            QCOMPARE(r.report.outcome, ImportReport::Outcome::Failed);
            QVERIFY(r.report.lines.join('\n').contains("Нищо не е записано"));
        }
        QCOMPARE(articles(), before);
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Firm_CL WHERE ID = 1").toString(), "Доставчик А");

        const SupplierListImport r =
            import("16:[Доставчик А1]\r\n11:[Нова]\r\n1:[Ново]\t2:[3]\t5:[Лева]\r\n", 1);
        QCOMPARE(r.report.outcome, ImportReport::Outcome::Stored);
        QCOMPARE(articles(), (QStringList{"3|Друг артикул|7|0|0|Лева||1|2|", "4|Ново|3|0|0|Лева||1|1|"}));
        QCOMPARE(treeTexts(), (QStringList{"2:Друг", "\t1:Г", "1:Доставчик А1", "\t1:Нова"}));
        QCOMPARE(count("Firm_CL"), 2);
    }

    // Deleting a group, a supplier and everything; a tree file that no
    // longer matches the lists is written again when the window loads it.
    void deletesAndTree() {
        import(kTwoArticles);
        import("16:[Друг]\r\n11:[Г1]\r\n1:[а]\t2:[1]\t5:[Лева]\r\n11:[Г2]\r\n1:[б]\t2:[1]\t5:[Лева]\r\n");
        QVERIFY(deleteSupplierGroup(db(), tree(), 2, 1));
        QCOMPARE(treeTexts(), (QStringList{"2:Друг", "\t2:Г2", "1:Доставчик А", "\t1:Монитори"}));
        QCOMPARE(count("Art_CL"), 3);
        QVERIFY(deleteSupplier(db(), tree(), 1));
        QCOMPARE(count("Art_CL"), 1);
        QVERIFY(!deleteSupplier(db(), tree(), 1));
        writeTreeFile(tree(), {{0, "9:Стар"}});
        QCOMPARE(loadSupplierTree(db(), tree()), (QList<TreeLine>{{0, "2:Друг"}, {1, "2:Г2"}}));
        QCOMPARE(treeTexts(), (QStringList{"2:Друг", "\t2:Г2"}));
        deleteAllSupplierLists(db(), tree());
        QCOMPARE(count("Art_CL") + count("Grupi_CL") + count("Firm_CL"), 0);
        QVERIFY(treeTexts().isEmpty());
    }

    // A group's articles; searches in any letter case, by number, among the
    // suppliers given only; no supplier given: no statement at all.
    void browsesAndSearches() {
        import(kTwoArticles);
        import("16:[Друг]\r\n11:[Г]\r\n1:[монитор евтин]\t2:[7]\t5:[Лева]\t7:[x-1]\r\n");
        const SqlStatement group = supplierGroupArticles(1, 1);
        QCOMPARE(keys(group), (QList<qint64>{1, 2}));
        const SelectionFigures f = selectionFigures(db(), group);
        QCOMPARE(f.count, 2);
        QCOMPARE(*f.bounds.low, Decimal("12.5"));
        QCOMPARE(*f.bounds.high, Decimal(100));

        QVERIFY(!supplierSearch(db(), SupplierSearch::Description, "монитор", {}));
        QCOMPARE(keys(*supplierSearch(db(), SupplierSearch::Description, "МОНИТОР", {1, 2})),
                 (QList<qint64>{1, 2, 3}));
        QCOMPARE(keys(*supplierSearch(db(), SupplierSearch::Description, "мо", {1, 2})),
                 (QList<qint64>{1, 2, 3}));
        QCOMPARE(keys(*supplierSearch(db(), SupplierSearch::Description, "монитор", {2})),
                 (QList<qint64>{3}));
        QCOMPARE(keys(*supplierSearch(db(), SupplierSearch::Price1, "12,5", {1, 2})), (QList<qint64>{2}));
        QCOMPARE(keys(*supplierSearch(db(), SupplierSearch::Supplier, "друг", {1, 2})), (QList<qint64>{3}));
        QCOMPARE(keys(*supplierSearch(db(), SupplierSearch::CatalogueNumber, "m-2", {1, 2})),
                 (QList<qint64>{1, 2}));
        QCOMPARE(keys(*supplierSearch(db(), SupplierSearch::GroupNumber, "1", {1})), (QList<qint64>{1, 2}));
        QVERIFY_THROWS_EXCEPTION(EConvertError, supplierSearch(db(), SupplierSearch::Price2, "1; DROP", {1}));
        const SelectionFigures s =
            selectionFigures(db(), *supplierSearch(db(), SupplierSearch::Description, "монитор", {1, 2}));
        QCOMPARE(s.count, 3);
        QCOMPARE(*s.bounds.low, Decimal(7));
    }

    // The correction is read by the formula parser: numbers, percentages
    // and formulas of numbers; anything else is refused and nothing runs.
    void corrections_data() {
        QTest::addColumn<QString>("sign");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("price"); // the corrected 100, or "-" when refused
        QTest::addColumn<QString>("text");
        QTest::newRow("times 1.2") << "*"
                                   << "1.2"
                                   << "120"
                                   << "* 1.2";
        QTest::newRow("comma") << "*"
                               << "1,1"
                               << "110"
                               << "* 1,1";
        QTest::newRow("plus 10 %") << "+"
                                   << "10%"
                                   << "110"
                                   << "+ 10%";
        QTest::newRow("minus 10 %") << "-"
                                    << "10%"
                                    << "90"
                                    << "- 10%";
        QTest::newRow("zero") << "+"
                              << "0"
                              << "100"
                              << "+ 0";
        QTest::newRow("formula") << "*"
                                 << "1+0.5"
                                 << "150"
                                 << "* 1+0.5";
        QTest::newRow("divide") << "/"
                                << "3"
                                << "33.33"
                                << "/ 3";
        QTest::newRow("SQL") << "+"
                             << "1; DROP TABLE Art_CL"
                             << "-"
                             << "";
        QTest::newRow("text") << "*"
                              << "десет"
                              << "-"
                              << "";
        QTest::newRow("price in it") << "*"
                                     << "P"
                                     << "-"
                                     << "";
        QTest::newRow("empty") << "+"
                               << ""
                               << "-"
                               << "";
        QTest::newRow("too long") << "+"
                                  << "1+1+1+1+1+1+1+1+1+1"
                                  << "-"
                                  << "";
        QTest::newRow("no operator") << "%"
                                     << "1"
                                     << "-"
                                     << "";
    }
    void corrections() {
        QFETCH(QString, sign);
        QFETCH(QString, value);
        QFETCH(QString, price);
        QFETCH(QString, text);
        import(kTwoArticles);
        const auto c = priceCorrection(sign, value);
        if (price == "-") {
            QVERIFY(std::holds_alternative<QString>(c));
            QVERIFY(!std::get<QString>(c).isEmpty());
            QCOMPARE(count("Art_CL"), 2);
            return;
        }
        const PriceCorrection& k = std::get<PriceCorrection>(c);
        QCOMPARE(k.text, text);
        QCOMPARE(std::get<Decimal>(k.apply(Decimal(100))), Decimal(price));
    }
    void correctionDividedByZero() {
        const PriceCorrection k = std::get<PriceCorrection>(priceCorrection("/", "0"));
        QVERIFY(std::holds_alternative<QString>(k.apply(Decimal(100))));
    }

    // Two lines of marker 1 at 100 and 120 lev: the lower is the low line,
    // the higher the high one, the marker's sum 220; a euro line counts at
    // its rate, exactly; a line of another marker is left out of the
    // comparison but not of the offer's value.
    void comparesAlternatives() {
        OfferCopy copy(db());
        auto line = [](const QString& d, const QString& price, const QString& currency, int marker) {
            OfferLine l;
            l.description = d;
            l.price = Decimal(price);
            l.price2 = Decimal(price) - Decimal(10);
            l.currency = currency;
            l.marker = marker;
            return l;
        };
        const qint64 a = copy.add(line("А", "100", "Лева", 1));
        const qint64 b = copy.add(line("Б", "120", "Лева", 1));
        copy.add(line("В", "100", "Лева", 2));
        MarkerComparison c = copy.compare(1, 1);
        QCOMPARE(c.markerSum, Decimal(220));
        QCOMPARE(c.lowLines, QSet<qint64>{a});
        QCOMPARE(c.highLines, QSet<qint64>{b});
        QCOMPARE(c.offerSum, Decimal(320));
        c = copy.compare(1, 2);
        QCOMPARE(c.markerSum, Decimal(200));
        QCOMPARE(fromNumberColumn(scalarSql(
                     db(), QStringLiteral("SELECT Pe4alba FROM %1 WHERE ID = ?").arg(copy.table()), {a})),
                 Decimal(10));
        const qint64 e = copy.add(line("Г", "0.1", "EUR", 1));
        copy.add(line("Д", "5", "XXX", 1));
        c = copy.compare(1, 1);
        QCOMPARE(c.lowLines, QSet<qint64>{e});
        QCOMPARE(*c.low, Decimal("0.195583"));
        QCOMPARE(c.unknownCurrencies, QStringList{"XXX"});
        QCOMPARE(copy.markers(), (QSet<int>{1, 2}));
        QCOMPARE(missingMandatoryElements({{1, "Кутия"}, {2, "Захранване"}, {3, "Кабел"}}, copy.markers()),
                 QStringList{"Кабел"});
    }

    // The offer, its lines and the order lines of the suppliers asked for
    // are stored together; an order line refused stores nothing at all; no
    // supplier asked for makes no order line; no counterparty stores nothing.
    void savesOfferWithOrders() {
        QList<OfferLine> lines;
        for (const auto& [supplier, price] :
             {std::pair{"Доставчик А", "120"}, {"Доставчик Б", "99.99"}, {"Доставчик А", "5"}}) {
            OfferLine l;
            l.group = "Монитори";
            l.description = QStringLiteral("Артикул %1").arg(price);
            l.quantity = Decimal(2);
            l.price = Decimal(price);
            l.price2 = Decimal("1.10");
            l.currency = "Лева";
            l.supplier = supplier;
            l.correction = "* 1.2";
            l.catalogueNumber = "K-1";
            lines << l;
        }
        OfferSave save;
        save.counterparty = 0;
        save.date = QDate(2026, 12, 11);
        QVERIFY_THROWS_EXCEPTION(EConvertError, saveOffer(db(), lines, save));
        save.counterparty = 7;
        save.counterpartyRef = "7:Бета ООД";
        save.advance = Decimal("50.5");
        save.orderSuppliers = {"Доставчик А"};
        {
            test::refuseInserts(db(), "Zaqvki_All", "NEW.Opisanie = 'Артикул 5'", "refused");
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, saveOffer(db(), lines, save));
            QCOMPARE(count("Oferti_Klient") + count("Oferti_Klient_Art") + count("Zaqvki_All"), 0);
        }
        lines[2].description = "Артикул 6";
        const SavedOffer saved = saveOffer(db(), lines, save);
        QCOMPARE(saved.id, 1);
        QCOMPARE(saved.orderLines, 2);
        QCOMPARE(readRows(db(), "SELECT ID, ID_Kontrag, Data_Oferta FROM Oferti_Klient").rows,
                 (QList<QVariantList>{{1, 7, "2026-12-11"}}));
        QCOMPARE(count("Oferti_Klient_Art"), 3);
        QCOMPARE(
            readRows(db(), "SELECT Opisanie, Klient_Ime, Dost_Ime, Kat_N FROM Zaqvki_All ORDER BY ID").rows,
            (QList<QVariantList>{{"Артикул 120", "7:Бета ООД", "Доставчик А", "K-1"},
                                 {"Артикул 6", "7:Бета ООД", "Доставчик А", "K-1"}}));
        save.orderSuppliers.clear();
        QCOMPARE(saveOffer(db(), lines, save).orderLines, 0);
        QCOMPARE(count("Zaqvki_All"), 2);
        QCOMPARE(saveOffer(db(), {}, save).id, 0);

        // The report: by number, counterparty and date; the stored lines
        // come back exactly; orders made again from the saved offer.
        QCOMPARE(keys(savedOffersStatement({})), (QList<qint64>{1, 2}));
        OfferFilter f;
        f.number = 2;
        f.numberComparison = OfferComparison::AtLeast;
        QCOMPARE(keys(savedOffersStatement(f)), (QList<qint64>{2}));
        f = {};
        f.date = QDate(2026, 12, 1);
        f.dateTo = QDate(2026, 12, 31);
        f.dateComparison = OfferComparison::Between;
        QCOMPARE(keys(savedOffersStatement(f)), (QList<qint64>{1, 2}));
        const StoredOffer o = *loadOffer(db(), 1);
        QCOMPARE(o.counterpartyName, "Бета ООД");
        QCOMPARE(o.advance, Decimal("50.5"));
        QCOMPARE(o.lines.size(), 3);
        QCOMPARE(o.lines[1].price, Decimal("99.99"));
        QCOMPARE(offerValue(db(), o.lines), Decimal("449.98"));
        QCOMPARE(ordersFromOffer(db(), o, {"Доставчик Б"}, QDate(2026, 12, 12)), 1);
        QCOMPARE(ordersFromOffer(db(), o, {}, QDate(2026, 12, 12)), 0);
        QCOMPARE(count("Zaqvki_All"), 3);
        QVERIFY(deleteOffer(db(), 1));
        QVERIFY(!loadOffer(db(), 1));
        QCOMPARE(count("Oferti_Klient_Art"), 3);
        QVERIFY(!deleteOffer(db(), 1));
    }

    // The printed offer's heading and closing lines.
    void printedOffer() {
        OfferPrint p;
        p.number = 12;
        p.counterparty = 7;
        p.date = QDate(2026, 12, 11);
        p.total = Decimal("449.985");
        p.advance = Decimal(50);
        p.operatorName = "Иван";
        p.company.name = "Търговец ООД";
        const QStringList head = offerPrintHeading(db(), p);
        QCOMPARE(head[1], QString(" ОФЕРТА № 12").rightJustified(40));
        QCOMPARE(head[3], "До: Бета ООД");
        QCOMPARE(head[4], "Тел: 088 1");
        QCOMPARE(head[7], "Днес 11.12.2026, представител на " + QString("Търговец ООД").leftJustified(35));
        const QStringList tail = offerPrintClosing(p);
        QVERIFY(tail.contains("На обща стойност в лева: 449.99 "));
        QVERIFY(tail.contains("Оставаща сума в лева: 399.99 "));
        QVERIFY(tail.contains("      /               /                          /Иван /"));
    }

    // Mandatory elements keep their order and numbers.
    void mandatoryElementsStored() {
        const MandatoryElement a = addMandatoryElement(db(), "Кутия");
        const MandatoryElement b = addMandatoryElement(db(), "Захранване");
        QCOMPARE(b.id, a.id + 1);
        QCOMPARE(mandatoryElements(db()).size(), 2);
        QVERIFY(deleteMandatoryElement(db(), a.id));
        QCOMPARE(mandatoryElements(db()).first().description, "Захранване");
        QCOMPARE(scalarSql(db(), "SELECT Checked FROM Zad_el").toString(), "False");
    }

    // Mutated catalogue files never crash the import nor leave half a list.
    void fuzzedCatalogues() {
        const QString path = fx_->writeFile("fuzz.txt", "");
        const auto result = test::fuzz({kTwoArticles, toCp1251(QString::fromUtf8(kTwoArticles))}, 300,
                                       [&](const QByteArray& bytes) {
                                           QFile f(path);
                                           QVERIFY(f.open(QIODevice::WriteOnly));
                                           f.write(bytes);
                                           f.close();
                                           NoProgress none;
                                           importSupplierList(db(), tree(), path, std::nullopt, none);
                                       });
        QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
        QCOMPARE(
            scalarSql(db(), "SELECT COUNT(*) FROM Art_CL WHERE ID_F NOT IN (SELECT ID FROM Firm_CL)").toInt(),
            0);
    }
};

QTEST_MAIN(OffersTest)
#include "test_offers.moc"
