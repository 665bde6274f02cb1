// The orders to suppliers on either engine: the list shows every line
// (free-text articles and articles without a group too) with its group,
// the search by each kind of column and its refusals, deleting lines,
// appending a line for other parts of the program, the supplier's number of
// an article, the working copy and its all-or-nothing save, and the order
// document grouped by supplier.

#include "catalogue/orders.h"
#include "common/cformat.h"
#include "common/errors.h"
#include "common/sql.h"
#include "support/fixture.h"

#include <QTest>
#include <memory>

using namespace torvika;

namespace {

QList<qint64> ids(const QSqlDatabase& db, const SqlStatement& s) {
    QSqlQuery q = execSql(db, s.text, s.values);
    QList<qint64> out;
    while (q.next())
        out << q.value(QStringLiteral("ID")).toLongLong();
    return out;
}

OrderLine line(const QString& description, const QString& quantity, const QString& supplier = QString()) {
    OrderLine l;
    l.date = QDate(2024, 3, 8);
    l.description = description;
    l.quantity = Decimal(quantity);
    l.price = Decimal("1.25");
    l.currency = QStringLiteral("Лева");
    l.requester = QStringLiteral("0:Няма избран Заявител");
    l.supplier = supplier;
    return l;
}

// Makes the insert of a line with the description fail, on either engine.
void refuseLine(const QSqlDatabase& db, const QString& description) {
    if (sqlEngine(db) == SqlEngine::SQLite) {
        execScriptStatement(
            db, QStringLiteral("CREATE TRIGGER Zaqvki_All_Refused BEFORE INSERT ON Zaqvki_All "
                               "WHEN NEW.Opisanie = '%1' BEGIN SELECT RAISE(ABORT, 'refused'); END")
                    .arg(description));
        return;
    }
    execScriptStatement(
        db, QStringLiteral("CREATE FUNCTION zaqvki_refuse() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN IF NEW.Opisanie = '%1' THEN RAISE EXCEPTION 'refused'; END IF; "
                           "RETURN NEW; END $$")
                .arg(description));
    execScriptStatement(
        db, QStringLiteral("CREATE TRIGGER Zaqvki_All_Refused BEFORE INSERT ON Zaqvki_All FOR EACH "
                           "ROW EXECUTE FUNCTION zaqvki_refuse()"));
}

} // namespace

class OrdersTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    QStringList stored() {
        QSqlQuery q =
            execSql(db(), "SELECT Data, Art_ID, Kat_N, Opisanie, Kol, Dost_Cena, Valuta, Klient_Ime, "
                          "Dost_Ime FROM Zaqvki_All ORDER BY ID");
        QStringList out;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < 9; ++i)
                cells << (i == 4 || i == 5 ? format44(q.value(i).toDouble()) : q.value(i).toString());
            out << cells.join(u'|');
        }
        return out;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (3, 'Напитки')");
        // 14 is in a group that no longer exists.
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Dostav4ik) VALUES "
                      "(12, 'Чай', 3, 5), (13, 'Кафе', 3, 0), (14, 'Хляб', 99, 0)");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES "
                      "(5, 'Метро ООД', 5, 0), (6, 'Булмаг', 6, 0)");
        execSql(db(), "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES "
                      "(12, 'MT-12', 5), (12, 'BG-7', 6), (13, 'BG-13', 6)");
        execSql(db(),
                "INSERT INTO Zaqvki_All (Data, Art_ID, Kat_N, Opisanie, Kol, Dost_Cena, Valuta, Klient_Ime, "
                "Dost_Ime) VALUES "
                "('2024-03-01', 12, 'MT-12', '12:Чай', 5, 4.5, 'Лева', '7:Иван', '5:Метро ООД'), "
                "('2024-03-02', 0, '', 'Чаши за кафе', 10, 1.2, 'EUR', 'Магазин', '6:Булмаг'), "
                "('2024-03-05', 14, '', '14:Хляб', 2.5, 1.1, 'Лева', '0:Няма избран Заявител', "
                "'5:Метро ООД'), "
                "('2024-03-07', 13, 'K-13', '13:Кафе', 6, 6, 'Лева', '7:Иван', '5:Метро ООД')");
    }
    void cleanup() { fx_.reset(); }

    // A free-text line and a line whose article has no group are listed
    // too, with an empty group.
    void listShowsEveryLine() {
        const SqlRows rows = readRows(db(), orderListStatement().text);
        QStringList shown;
        for (const QVariantList& r : rows.rows)
            shown << r[0].toString() + u' ' + r[4].toString() + u' ' + r[10].toString();
        QCOMPARE(shown,
                 (QStringList{"1 12:Чай Напитки", "2 Чаши за кафе ", "3 14:Хляб ", "4 13:Кафе Напитки"}));
    }

    void search_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QList<qint64>>("found");
        using C = OrderColumn;
        using K = OrderComparison;
        const auto row = [](const char* name, C column, K comparison, const QString& from, const QString& to,
                            const QList<qint64>& found) {
            QTest::newRow(name) << int(column) << int(comparison) << from << to << found;
        };
        // Dates are given as dd.MM.yyyy here.
        row("date equal", C::Date, K::Equal, "02.03.2024", "", {2});
        row("date at most includes it", C::Date, K::AtMost, "02.03.2024", "", {1, 2});
        row("date at least includes it", C::Date, K::AtLeast, "05.03.2024", "", {3, 4});
        row("date between", C::Date, K::Between, "02.03.2024", "05.03.2024", {2, 3});
        row("quantity at most 5 finds 5", C::Quantity, K::AtMost, "5", "", {3, 1});
        row("quantity at least", C::Quantity, K::AtLeast, "6", "", {4, 2});
        row("quantity with a comma", C::Quantity, K::Equal, "2,5", "", {3});
        row("price between", C::Price, K::Between, "1", "4.5", {3, 2, 1});
        row("article number", C::Article, K::Equal, "12", "", {1});
        row("free-text article", C::Article, K::Equal, "0", "", {2});
        row("description in any case", C::Description, K::Equal, "кафе", "", {4, 2});
        row("text whatever the comparison", C::Description, K::AtMost, "ЧАЙ", "", {1});
        row("wildcards as typed", C::Description, K::Equal, "%", "", {});
        row("supplier", C::Supplier, K::Equal, "метро", "", {1, 3, 4});
        row("free-text requester", C::Requester, K::Equal, "магазин", "", {2});
        row("currency", C::Currency, K::Equal, "eur", "", {2});
        row("supplier's number", C::SupplierNumber, K::Equal, "mt", "", {1});
        row("group name", C::Group, K::Equal, "напит", "", {1, 4});
        row("empty text finds every line", C::Supplier, K::Equal, "", "", {1, 3, 4, 2});
    }
    void search() {
        QFETCH(int, column);
        QFETCH(int, comparison);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QList<qint64>, found);
        OrderSearch s;
        s.column = OrderColumn(column);
        s.comparison = OrderComparison(comparison);
        if (orderListColumn(s.column).kind == OrderColumnKind::Date) {
            s.fromDate = QDate::fromString(from, "dd.MM.yyyy");
            s.toDate = QDate::fromString(to, "dd.MM.yyyy");
        } else {
            s.from = from;
            s.to = to;
        }
        QCOMPARE(ids(db(), orderSearchStatement(s)), found);
    }

    // The title sort of a search keeps its condition.
    void sortedSearch() {
        OrderSearch s;
        s.column = OrderColumn::Supplier;
        s.from = "метро";
        SortDirection direction;
        const SqlStatement asc = ORDER_SQL(orderSearchStatement(s), "Zaqvki_All.Kol", direction);
        QCOMPARE(ids(db(), asc), (QList<qint64>{3, 1, 4}));
        QCOMPARE(ids(db(), ORDER_SQL(asc, "Zaqvki_All.Kol", direction)), (QList<qint64>{4, 1, 3}));
    }

    void refusedSearch_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("not a number") << int(OrderColumn::Quantity) << int(OrderComparison::Equal) << "пет"
                                      << "";
        QTest::newRow("empty number") << int(OrderColumn::Price) << int(OrderComparison::AtLeast) << ""
                                      << "";
        QTest::newRow("between without a second number")
            << int(OrderColumn::Article) << int(OrderComparison::Between) << "1"
            << "";
        QTest::newRow("an exponent") << int(OrderColumn::Article) << int(OrderComparison::Equal) << "1e5"
                                     << "";
    }
    void refusedSearch() {
        QFETCH(int, column);
        QFETCH(int, comparison);
        QFETCH(QString, from);
        QFETCH(QString, to);
        OrderSearch s;
        s.column = OrderColumn(column);
        s.comparison = OrderComparison(comparison);
        s.from = from;
        s.to = to;
        QVERIFY_THROWS_EXCEPTION(EConvertError, orderSearchStatement(s));
    }

    void deleteLines() {
        QCOMPARE(deleteOrderLines(db(), {2, 4, 99}), 2);
        QCOMPARE(ids(db(), orderListStatement()), (QList<qint64>{1, 3}));
        QCOMPARE(deleteOrderLines(db(), {}), 0);
    }

    void appendOneLine() {
        OrderLine l;
        l.date = QDate(2024, 3, 9);
        l.article = 12;
        l.supplierNumber = "MT-12";
        l.description = "12:Чай";
        l.quantity = Decimal("1.5");
        l.price = Decimal("4.12345");
        l.currency = "EUR";
        l.requester = "7:Иван";
        l.supplier = "5:Метро ООД";
        const qint64 id = addOrderLine(db(), l);
        QCOMPARE(id, 5);
        QCOMPARE(stored().back(), "2024-03-09|12|MT-12|12:Чай|1.5000|4.1235|EUR|7:Иван|5:Метро ООД");
        QCOMPARE(addOrderLine(db(), line("Друго", "1")), 6);
    }

    void supplierNumber_data() {
        QTest::addColumn<qint64>("article");
        QTest::addColumn<qint64>("supplier");
        QTest::addColumn<QString>("number");
        QTest::newRow("the article's last supplier") << qint64(12) << qint64(0) << "MT-12";
        QTest::newRow("the supplier given") << qint64(12) << qint64(6) << "BG-7";
        QTest::newRow("a supplier without a number") << qint64(12) << qint64(8) << "";
        QTest::newRow("no last supplier") << qint64(13) << qint64(0) << "";
        QTest::newRow("no article") << qint64(0) << qint64(5) << "";
        QTest::newRow("an article not in the catalogue") << qint64(99) << qint64(0) << "";
    }
    void supplierNumber() {
        QFETCH(qint64, article);
        QFETCH(qint64, supplier);
        QFETCH(QString, number);
        QCOMPARE(supplierArticleNumber(db(), article, supplier), number);
    }

    void typedNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value"); // empty: refused
        QTest::newRow("comma") << "1,5"
                               << "1.5";
        QTest::newRow("blanks") << " 2.25 "
                                << "2.25";
        QTest::newRow("to 4 decimals") << "1.23456"
                                       << "1.2346";
        QTest::newRow("no number") << "пет"
                                   << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void typedNumbers() {
        QFETCH(QString, text);
        QFETCH(QString, value);
        const std::optional<Decimal> d = typedOrderNumber(text);
        QCOMPARE(d ? d->toString() : QString(), value);
    }

    // Lines are added, changed and removed in the copy; saving appends them
    // in copy order, all with the date given, and empties the copy.
    void workingCopy() {
        OrderLinesCopy copy(db());
        OrderLine first = line("Чаши", "2", "6:Булмаг");
        first.date = QDate(2024, 3, 1);
        QCOMPARE(copy.add(first), 1);
        QCOMPARE(copy.add(line("Лъжици", "3")), 2);
        QCOMPARE(copy.add(line("Вилици", "4")), 3);
        OrderLine changed = line("12:Чай", "7", "5:Метро ООД");
        changed.article = 12;
        changed.supplierNumber = "MT-12";
        QVERIFY(copy.edit(2, changed));
        QVERIFY(!copy.edit(9, changed));
        QCOMPARE(copy.remove({3, 9}), 1);
        QCOMPARE(copy.count(), 2);
        QCOMPARE(copy.line(2)->description, "12:Чай");
        QCOMPARE(copy.line(2)->quantity, Decimal(7));
        QCOMPARE(copy.line(1)->date, QDate(2024, 3, 1));
        QVERIFY(!copy.line(3));
        QCOMPARE(ids(db(), copy.linesStatement()), (QList<qint64>{1, 2}));

        // Another copy open at the same time has lines of its own.
        {
            OrderLinesCopy other(db());
            QCOMPARE(other.count(), 0);
            QVERIFY(other.table() != copy.table());
        }

        QCOMPARE(copy.save(QDate(2024, 3, 9)), (QList<qint64>{5, 6}));
        QCOMPARE(stored().mid(4),
                 (QStringList{
                     "2024-03-09|0||Чаши|2.0000|1.2500|Лева|0:Няма избран Заявител|6:Булмаг",
                     "2024-03-09|12|MT-12|12:Чай|7.0000|1.2500|Лева|0:Няма избран Заявител|5:Метро ООД"}));
        QCOMPARE(copy.count(), 0);
    }

    // A line refused in the middle of a save stores nothing, and the copy
    // keeps every line for another try.
    void saveIsAllOrNothing() {
        OrderLinesCopy copy(db());
        copy.add(line("Чаши", "2"));
        copy.add(line("лошо", "3"));
        copy.add(line("Вилици", "4"));
        refuseLine(db(), "лошо");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, copy.save(QDate(2024, 3, 9)));
        QCOMPARE(stored().size(), 4);
        QCOMPARE(copy.count(), 3);
        QVERIFY(copy.edit(2, line("Лъжици", "3")));
        QCOMPARE(copy.save(QDate(2024, 3, 9)).size(), 3);
        QCOMPARE(stored().size(), 7);
    }

    // The order document: the lines given, grouped by supplier in the order
    // of their first line, each with its totals by currency; the heading as
    // the list's print has it.
    void supplierDocument() {
        const QList<SupplierOrder> orders = supplierOrders(db(), {4, 2, 1, 3, 99, 4});
        QCOMPARE(orders.size(), 2);
        QCOMPARE(orders[0].supplier, "5:Метро ООД");
        QList<qint64> lines;
        for (const StoredOrderLine& l : orders[0].lines)
            lines << l.id;
        QCOMPARE(lines, (QList<qint64>{4, 1, 3}));
        QCOMPARE(orders[0].lines[2].amount(), Decimal("2.75"));
        QCOMPARE(supplierOrderTotals(orders[0]), QStringList{"\tОбщо: 61.25 Лева"});
        QCOMPARE(orders[1].supplier, "6:Булмаг");
        QCOMPARE(orders[1].lines.size(), 1);
        QCOMPARE(orders[1].lines[0].line.description, "Чаши за кафе");
        QCOMPARE(supplierOrderTotals(orders[1]), QStringList{"\tОбщо: 12.00 EUR"});
        const QDateTime now(QDate(2024, 3, 5), QTime(14, 7, 9));
        QCOMPARE(orderListHeading(now),
                 (QStringList{"", "\tЗАЯВКА КЪМ ДОСТАВЧИК ", "", "\tДата:05.03.2024 14:07:09"}));
        QCOMPARE(supplierOrderHeading(orders[1], now),
                 (QStringList{"", "\tЗАЯВКА КЪМ ДОСТАВЧИК ", "", "\tДата:05.03.2024 14:07:09",
                              "\tДоставчик: 6:Булмаг"}));

        // Totals by currency: a second currency of one supplier has its own line.
        execSql(db(), "UPDATE Zaqvki_All SET Valuta = 'EUR' WHERE ID = 3");
        QCOMPARE(supplierOrderTotals(supplierOrders(db(), {1, 3, 4}).front()),
                 (QStringList{"\tОбщо: 58.50 Лева", "\tОбщо: 2.75 EUR"}));
        QVERIFY(supplierOrders(db(), {}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(OrdersTest)
#include "test_orders.moc"
