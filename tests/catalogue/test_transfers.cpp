// Transfers and scrap on either engine: the warehouses and their refusals,
// lines changed and removed by their own key, what the source holds, the
// value of the lines, saving as one whole (out of one warehouse and into
// the other) and a failure halfway, import and export, print and report.

#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "catalogue/transfers.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "support/fixture.h"
#include "support/fuzz.h"

#include <QFile>
#include <QTest>
#include <memory>

using namespace torvika;

class TransfersTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    Decimal stock(qint64 article, qint64 warehouse) {
        return stockIn(db(), article, warehouse).value_or(Decimal(-999));
    }
    qint64 count(const char* table) {
        return scalarSql(db(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
            .toLongLong();
    }
    StockMoveHeader header() {
        return {QDateTime(QDate(2024, 4, 2), QTime(9, 30, 0)), QStringLiteral("Иван"),
                QStringLiteral("за обекта")};
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Склад 2'), (3, 'Бус')");
        execSql(db(),
                "INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Mqrka, Dan_Grup) VALUES "
                "(10, 1, 'Чай', 2.4, 'Лева', 'бр.', 1), (11, 1, 'Кафе', 5, 'EUR', 'кг.', 1), "
                "(12, 1, 'Хляб', 1.09, 'Лева', 'бр.', 3)");
        execSql(db(),
                "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (10, 1, 10), (11, 1, 2.5), (10, 2, 1)");
    }
    void cleanup() { fx_.reset(); }

    void warehouses() {
        StockMoveDraft t(db(), StockMoveKind::Transfer);
        QCOMPARE(t.add(10, Decimal(1)).refusal, texts::kChooseStockMoveWarehouse);
        QCOMPARE(t.setWarehouses(1, 1).value_or(""), texts::kSameWarehouse);
        QCOMPARE(t.setWarehouses(1, 9).value_or(""), texts::kChooseStockMoveWarehouse);
        QVERIFY(!t.setWarehouses(1, 2));
        QVERIFY(t.add(10, Decimal(1)).refusal.isEmpty());
        // Fixed once lines exist; the same choice again is no change.
        QCOMPARE(t.setWarehouses(1, 3).value_or(""), texts::kWarehousesFixed);
        QVERIFY(!t.setWarehouses(1, 2));
        t.clear();
        QVERIFY(!t.setWarehouses(3, 2));

        StockMoveDraft scrap(db(), StockMoveKind::Scrap);
        QVERIFY(!scrap.setWarehouses(2, 2));
        QCOMPARE(scrap.target(), 0);
    }

    void lineRefusals_data() {
        QTest::addColumn<qint64>("article");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("no such article") << qint64(99) << "1" << texts::kArticleNumberNotFound;
        QTest::newRow("zero") << qint64(10) << "0" << texts::kQuantityNotPositive;
        QTest::newRow("negative") << qint64(10) << "-2" << texts::kQuantityNotPositive;
    }
    void lineRefusals() {
        QFETCH(qint64, article);
        QFETCH(QString, quantity);
        QFETCH(QString, refusal);
        StockMoveDraft t(db(), StockMoveKind::Transfer);
        QVERIFY(!t.setWarehouses(1, 2));
        QCOMPARE(t.add(article, Decimal(quantity)).refusal, refusal);
        QCOMPARE(t.count(), 0);
    }

    // Two lines of one article: each is changed and removed on its own.
    void linesByTheirOwnKey() {
        StockMoveDraft t(db(), StockMoveKind::Transfer);
        QVERIFY(!t.setWarehouses(1, 2));
        const qint64 first = t.add(10, Decimal(2)).key;
        const qint64 second = t.add(10, Decimal(3)).key;
        QVERIFY(!t.change(second, Decimal("4.5")));
        QCOMPARE(t.line(first)->quantity, Decimal(2));
        QCOMPARE(t.line(second)->quantity, Decimal("4.5"));
        QCOMPARE(t.change(first, Decimal(0)).value_or(""), texts::kQuantityNotPositive);
        QCOMPARE(t.change(99, Decimal(1)).value_or(""), texts::kStockMoveLineGone);
        // What the source still holds for a new line, or for one being edited.
        QCOMPARE(t.available(10), Decimal("3.5"));
        QCOMPARE(t.available(10, second), Decimal(8));
        QCOMPARE(t.available(12), Decimal(0));
        QCOMPARE(t.remove({first}), 1);
        QCOMPARE(t.lines().size(), 1);
        QCOMPARE(t.lines().front().key, second);
    }

    // The selling prices at the rates of the lines' tax groups.
    void sumsAndShortages() {
        StockMoveDraft t(db(), StockMoveKind::Transfer);
        QVERIFY(!t.setWarehouses(1, 2));
        t.add(10, Decimal(6));
        t.add(10, Decimal(5));
        t.add(11, Decimal(1));
        t.add(12, Decimal(10));
        const StockMoveSums s = t.sums(VatRates::defaults());
        // 26.40 + 9.78 at 20 %, 10.90 at 9 %.
        QCOMPARE(s.total, Decimal("47.08"));
        QCOMPARE(s.vat, Decimal("6.93"));
        QCOMPARE(s.base, Decimal("40.15"));
        const QList<StockShortage> short_ = t.shortages();
        QCOMPARE(short_.size(), 2);
        QCOMPARE(short_[0].article, 10);
        QCOMPARE(short_[0].wanted, Decimal(11));
        QCOMPARE(short_[0].available, Decimal(10));
        QCOMPARE(short_[1].article, 12);
        QCOMPARE(stockMovePrintTotals(s, 2),
                 (QStringList{"", "\tСума : 40.15", "", "\tДДС: 6.93", "", "\tОБЩО: 47.08"}));
    }

    void transferMovesTheStock() {
        StockMoveDraft t(db(), StockMoveKind::Transfer);
        QVERIFY(!t.setWarehouses(1, 2));
        t.add(10, Decimal("2.25"));
        t.add(11, Decimal(3));
        const StockMoveSaveResult r = t.save(header());
        QCOMPARE(r.status, StockMoveSaveResult::Saved);
        QCOMPARE(r.id, 1);
        QCOMPARE(stock(10, 1), Decimal("7.75"));
        QCOMPARE(stock(10, 2), Decimal("3.25"));
        QCOMPARE(stock(11, 1), Decimal("-0.5"));
        QCOMPARE(stock(11, 2), Decimal(3));
        QVERIFY(t.isEmpty());
        const SqlRows head = readRows(
            db(),
            "SELECT ID, Data_Transfer, Time_Transfer, Sklad_Ot, Sklad_Do, Operator, Zabel FROM Transfer");
        QCOMPARE(head.rows.size(), 1);
        QCOMPARE(head.rows[0][1].toString(), QString("2024-04-02"));
        QCOMPARE(head.rows[0][2].toString(), QString("09:30:00"));
        QCOMPARE(head.rows[0][5].toString(), QString("Иван"));
        const QList<StockMoveLine> lines = recordedStockMoveLines(db(), StockMoveKind::Transfer, 1);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].quantity, Decimal("2.25"));
        QCOMPARE(lines[1].currency, QString("EUR"));
        QCOMPARE(t.save(header()).message, texts::kEmptyStockMove);
    }

    void scrapRecordsItsReasons() {
        StockMoveDraft t(db(), StockMoveKind::Scrap);
        QVERIFY(!t.setWarehouses(1));
        t.add(10, Decimal(1), "счупен");
        t.add(11, Decimal("0.5"), "изтекъл срок");
        QCOMPARE(t.add(10, Decimal(1), QString(256, u'x')).refusal, texts::kReasonTooLong.arg(255));
        const StockMoveSaveResult r = t.save(header());
        QCOMPARE(r.id, 1);
        QCOMPARE(stock(10, 1), Decimal(9));
        QCOMPARE(stock(11, 1), Decimal(2));
        const QList<StockMoveLine> lines = recordedStockMoveLines(db(), StockMoveKind::Scrap, 1);
        QCOMPARE(lines[0].reason, QString("счупен"));
        QCOMPARE(lines[1].reason, QString("изтекъл срок"));
        QCOMPARE(count("Brak"), 1);
    }

    // A failure halfway (the target's stock refused) leaves both warehouses
    // as they were, nothing recorded and the lines to save again.
    void failureHalfwayMovesNothing() {
        test::refuseInserts(db(), "Transfer_Art", "NEW.Art_ID = 11", "disk full");
        StockMoveDraft t(db(), StockMoveKind::Transfer);
        QVERIFY(!t.setWarehouses(1, 2));
        t.add(10, Decimal(4));
        t.add(11, Decimal(1));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, t.save(header()));
        QCOMPARE(stock(10, 1), Decimal(10));
        QCOMPARE(stock(10, 2), Decimal(1));
        QCOMPARE(count("Transfer"), 0);
        QCOMPARE(count("Transfer_Art"), 0);
        QCOMPARE(t.count(), 2);
    }

    void anArticleGoneIsRefused() {
        StockMoveDraft t(db(), StockMoveKind::Scrap);
        QVERIFY(!t.setWarehouses(1));
        t.add(12, Decimal(1));
        execSql(db(), "DELETE FROM Produkti WHERE ID = 12");
        const StockMoveSaveResult r = t.save(header());
        QCOMPARE(r.status, StockMoveSaveResult::Refused);
        QCOMPARE(r.message, texts::kArticleGone.arg("12:Хляб"));
        QCOMPARE(count("Brak"), 0);
        QCOMPARE(stock(12, 1), Decimal(-999));
    }

    void exportAndImport() {
        StockMoveDraft t(db(), StockMoveKind::Transfer);
        QVERIFY(!t.setWarehouses(1, 2));
        t.add(10, Decimal("1.5"));
        t.add(12, Decimal(2));
        const QString file = fx_->root() + "t.txt";
        exportStockMoveLines(t, file);
        QCOMPARE(test::Fixture::readFile(file), QByteArray("1:[10]\t2:[1.5]\r\n1:[12]\t2:[2]\r\n"));
        t.clear();
        fx_->writeFile("in.txt", "1:[11] 2:[0,5]\r\n\r\n2:[3]1:[10]\n");
        const StockMoveImport in = importStockMoveLines(t, fx_->root() + "in.txt");
        QCOMPARE(in.added, 2);
        QCOMPARE(t.lines()[0].quantity, Decimal("0.5"));
        QCOMPARE(t.lines()[1].article, 10);
        fx_->writeFile("bad.txt", "1:[12]2:[1]\r\n1:[abc]2:[1]\r\n1:[12]2:[-1]\r\n");
        const StockMoveImport bad = importStockMoveLines(t, fx_->root() + "bad.txt");
        QCOMPARE(bad.refused, (QStringList{texts::kImportNoArticle.arg(2).arg("abc"),
                                           texts::kImportBadQuantity.arg(3).arg("-1")}));
        QCOMPARE(t.count(), 2);
    }

    void importFuzz() {
        StockMoveDraft t(db(), StockMoveKind::Transfer);
        QVERIFY(!t.setWarehouses(1, 2));
        const QString file = fx_->root() + "fuzz.txt";
        const auto result = test::fuzz({"1:[10]\t2:[1.5]\r\n1:[12]\t2:[2]", "2:[3]1:[11]\n\n1:[10]2:[0,25]"},
                                       2000, [&](const QByteArray& bytes) {
                                           QFile f(file);
                                           f.open(QIODevice::WriteOnly);
                                           f.write(bytes);
                                           f.close();
                                           t.clear();
                                           importStockMoveLines(t, file);
                                       });
        QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
    }

    void printHeading() {
        const QDateTime when(QDate(2024, 4, 2), QTime(9, 30, 0));
        QCOMPARE(stockMovePrintFile(StockMoveKind::Transfer), QString("Transfer"));
        QCOMPARE(stockMovePrintHeading(StockMoveKind::Transfer, "1:Основен склад", "2:Склад 2", when),
                 (QStringList{"", "\t ТРАНСФЕР НА СТОКИ МЕЖДУ СКЛАДОВЕ", "\tОТ СКЛАД: 1:Основен склад",
                              "\tКЪМ СКЛАД: 2:Склад 2", "", "\tОт Дата:02.04.2024, 09:30:00"}));
        QCOMPARE(stockMovePrintHeading(StockMoveKind::Scrap, "3:Бус", QString(), when),
                 (QStringList{"", "\t БРАКУВАНЕ НА СТОКИ", "\tСКЛАД: 3:Бус", "",
                              "\tОт Дата:02.04.2024, 09:30:00"}));
    }

    void report() {
        StockMoveDraft t(db(), StockMoveKind::Transfer);
        QVERIFY(!t.setWarehouses(1, 2));
        t.add(10, Decimal(1));
        t.save(header());
        t.clear();
        QVERIFY(!t.setWarehouses(2, 3));
        t.add(11, Decimal(1));
        StockMoveHeader later = header();
        later.when = later.when.addDays(3);
        t.save(later);
        const auto ids = [&](StockMoveKind kind, const StockMoveReportFilter& f) {
            const SqlStatement s = stockMoveReportStatement(kind, f);
            QList<qint64> out;
            for (const QVariantList& r : readRows(db(), s.text, s.values).rows)
                out << r[0].toLongLong();
            return out;
        };
        QCOMPARE(ids(StockMoveKind::Transfer, {}), (QList<qint64>{1, 2}));
        QCOMPARE(ids(StockMoveKind::Transfer, {std::nullopt, 3, std::nullopt}), QList<qint64>{2});
        QCOMPARE(ids(StockMoveKind::Transfer, {std::nullopt, 2, std::nullopt}), (QList<qint64>{1, 2}));
        QCOMPARE(ids(StockMoveKind::Transfer, {std::nullopt, std::nullopt, 10}), QList<qint64>{1});
        QCOMPARE(ids(StockMoveKind::Transfer, {DateCondition{DateComparison::AtLeast, QDate(2024, 4, 3), {}},
                                               std::nullopt, std::nullopt}),
                 QList<qint64>{2});
        QCOMPARE(ids(StockMoveKind::Scrap, {}), QList<qint64>{});
        const SqlStatement lines = stockMoveLinesStatement(StockMoveKind::Transfer, 2);
        const SqlRows rows = readRows(db(), lines.text, lines.values);
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(fromNumberColumn(rows.rows[0][7], 4), Decimal("9.7792"));
    }
};

QTEST_GUILESS_MAIN(TransfersTest)
#include "test_transfers.moc"
