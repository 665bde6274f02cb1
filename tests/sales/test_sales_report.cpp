// The sales report: every recorded line listed and counted whatever it
// joins, each criterion as the operator means it, exact totals by payment
// state, the printout's heading, the documents of chosen lines (one buyer
// per document, payments left out, the line's own currency, numbered
// where the shop numbers) and the fiscal receipt of lines that never had
// one, printed once.

#include "common/errors.h"
#include "common/sql.h"
#include "documents/document_kinds.h"
#include "documents/report_query.h"
#include "sales/sales_report.h"
#include "support/fixture.h"

#include <QDir>
#include <QTest>
#include <QThread>

using namespace torvika;

Q_DECLARE_METATYPE(torvika::SalesReportCriteria)

namespace {

struct Row {
    qint64 id;
    qint64 article;
    const char* date;
    const char* time;
    double quantity;
    double price;
    const char* currency = "Лева";
    qint64 counterparty = 0;
    double discount = 0;
    qint64 consignment = 0;
    const char* pay = "в брой";
    const char* op = "Иван";
    int warehouse = 1;
};

void record(const QSqlDatabase& db, const Row& r) {
    execSql(
        db,
        "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, ED_Cena, Valuta, "
        "ID_Klient, T_O, Konsign_N, Pored_Ot, Pored_Do, Type_Pay, Term_N, Sklad_ID) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '', '', ?, 1, ?)",
        {r.id, r.article, QString::fromUtf8(r.op), QString::fromLatin1(r.date), QString::fromLatin1(r.time),
         r.quantity, r.price, QString::fromUtf8(r.currency), r.counterparty, r.discount, r.consignment,
         QString::fromUtf8(r.pay), r.warehouse});
}

QList<qint64> ids(const QSqlDatabase& db, const SqlStatement& s) {
    QList<qint64> out;
    for (const QVariantList& r : readRows(db, s.text, s.values).rows)
        out << r[0].toLongLong();
    return out;
}

Decimal d(const char* text) {
    return Decimal(text);
}

} // namespace

class SalesReportTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Напитки')");
        execSql(db(),
                "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Dan_Grup) VALUES "
                "(10, 'Чай', 1, 2.5, 'Лева', 'бр.', 1), (11, 'Кафе', 7, 4, 'Лева', 'кг', 3), "
                "(12, 'Уред', 1, 10, 'EUR', 'бр.', 1)");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, ID_Mol) VALUES (15, 'Бип ЕТ', '121', 0), "
                      "(16, 'Доп ООД', '122', 0)");
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Втори склад')");
        // 1: paid, no counterparty; 2: a group that is gone, counterparty 15;
        // 3: an open credit line; 4: its first instalment (article 0);
        // 5: paid off, a counterparty that is gone; 6: a euro line, bank;
        // 7: a warehouse that is gone, another operator.
        record(db(), {1, 10, "2024-12-31", "23:59:59", 2, 2.5});
        record(db(), {2, 11, "2025-01-01", "00:00:00", 1.5, 4, "Лева", 15});
        record(db(), {3, 10, "2025-01-02", "10:00:00", 4, 2.5, "Лева", 15, 0, 5, "отложено плащане"});
        record(db(), {4, 0, "2025-01-02", "10:00:00", 1, 3, "BGL", 15});
        record(db(), {5, 10, "2025-01-03", "12:30:00", 1, 2.5, "Лева", 77, 0, -1, "отложено плащане"});
        record(db(), {6, 12, "2025-01-03", "12:31:00", 2, 10, "EUR", 16, 10, 0, "по банков път"});
        record(db(), {7, 11, "2025-01-04", "08:00:00", 1, 4, "Лева", 0, 0, 0, "в брой", "Мария", 9});
    }
    void cleanup() { fx_.reset(); }

    // With nothing ticked every line is there, whatever it joins, and the
    // totals split them by payment state.
    void everyLineListedAndCounted() {
        const SqlStatement s = salesReportStatement({}, 2);
        QCOMPARE(ids(db(), s), (QList<qint64>{1, 2, 3, 4, 5, 6, 7}));
        const SqlRows rows = readRows(db(), s.text, s.values);
        auto column = [&rows](const QString& name) {
            for (int i = 0; i < rows.fields.size(); ++i)
                if (rows.fields[i].compare(name, Qt::CaseInsensitive) == 0)
                    return i;
            return -1;
        };
        const int group = column("Ime_Grupa");
        const int client = column("Ime_Firma");
        QCOMPARE(rows.rows[0][group].toString(), "Напитки");
        QVERIFY(rows.rows[1][group].isNull());
        QCOMPARE(rows.rows[0][client].toString(), "Няма избран контрагент");
        QVERIFY(rows.rows[4][client].isNull());

        const SalesReportTotals t = salesReportTotals(db(), {}, 2);
        QCOMPARE(t.lines, 7);
        // 5.00 + 6.00 + 3.00 + 35.20 + 4.00; 10.00; 2.50.
        QCOMPARE(t.paid, d("53.20"));
        QCOMPARE(t.open, d("10.00"));
        QCOMPARE(t.paidOff, d("2.50"));
        QCOMPARE(salesReportTotalTexts(t, 2), (QStringList{"Обща сума платено в брой лева: 53.20",
                                                           "Обща сума на задължения в лева : 10.00",
                                                           "Обща сума на платени задължения в лева : 2.50"}));
    }

    void criteria_data() {
        QTest::addColumn<SalesReportCriteria>("criteria");
        QTest::addColumn<QList<qint64>>("found");
        auto c = [] { return SalesReportCriteria{}; };
        SalesReportCriteria x = c();
        x.counterparty = 0;
        QTest::newRow("counterparty 0: sales without one") << x << QList<qint64>{1, 7};
        x = c();
        x.counterparty = 15;
        QTest::newRow("counterparty") << x << QList<qint64>{2, 3, 4};
        x = c();
        x.articles = QList<qint64>{11, 0};
        QTest::newRow("articles, payments among them") << x << QList<qint64>{2, 4, 7};
        x = c();
        x.date = Range<QDate>{Comparison::Between, QDate(2024, 12, 31), QDate(2025, 1, 2)};
        QTest::newRow("between includes both ends") << x << QList<qint64>{1, 2, 3, 4};
        x.date = Range<QDate>{Comparison::Between, QDate(2025, 1, 2), QDate(2024, 12, 31)};
        QTest::newRow("from after to is swapped") << x << QList<qint64>{1, 2, 3, 4};
        x.date = Range<QDate>{Comparison::AtMost, QDate(2025, 1, 1), {}};
        QTest::newRow("up to the day itself") << x << QList<qint64>{1, 2};
        x.date = Range<QDate>{Comparison::AtLeast, QDate(2025, 1, 3), {}};
        QTest::newRow("from the day itself") << x << QList<qint64>{5, 6, 7};
        x.date = Range<QDate>{Comparison::Equal, QDate(2025, 1, 2), {}};
        QTest::newRow("on the day") << x << QList<qint64>{3, 4};
        x = c();
        x.time = Range<QTime>{Comparison::Between, QTime(12, 30), QTime(23, 59, 59)};
        QTest::newRow("times, ends included") << x << QList<qint64>{1, 5, 6};
        x = c();
        x.operatorName = "Мария";
        QTest::newRow("operator") << x << QList<qint64>{7};
        x = c();
        x.payKind = "отложено плащане";
        QTest::newRow("deferred") << x << QList<qint64>{3, 5};
        x = c();
        x.warehouse = 9;
        QTest::newRow("warehouse") << x << QList<qint64>{7};
        x = c();
        x.amount = Range<Decimal>{Comparison::Equal, d("35.20"), {}};
        QTest::newRow("amount as shown, euro converted") << x << QList<qint64>{6};
        x.amount = Range<Decimal>{Comparison::Between, d("6"), d("3")};
        QTest::newRow("amount between, swapped") << x << QList<qint64>{1, 2, 4, 7};
        x.amount = Range<Decimal>{Comparison::AtMost, d("2.50"), {}};
        QTest::newRow("amount up to") << x << QList<qint64>{5};
        x = c();
        x.counterparty = 15;
        x.payKind = "в брой";
        x.date = Range<QDate>{Comparison::AtLeast, QDate(2025, 1, 2), {}};
        QTest::newRow("criteria together") << x << QList<qint64>{4};
    }
    void criteria() {
        QFETCH(SalesReportCriteria, criteria);
        QFETCH(QList<qint64>, found);
        QCOMPARE(ids(db(), salesReportStatement(criteria, 2)), found);
        // The totals count the same lines.
        QCOMPARE(salesReportTotals(db(), criteria, 2).lines, found.size());
    }

    // A value with a quote is a value: bound, never SQL.
    void quotesInValues() {
        SalesReportCriteria x;
        x.operatorName = "Ив'ан\" OR 1=1 --";
        QCOMPARE(ids(db(), salesReportStatement(x, 2)), QList<qint64>{});
    }

    // Exact cents, rates named when missing.
    void totalsExactAndRatesMissing() {
        for (qint64 id = 20; id < 23; ++id)
            record(db(), {id, 10, "2025-02-01", "09:00:00", 1, 0.1});
        record(db(), {23, 10, "2025-02-01", "09:00:00", 1, 0.2});
        record(db(), {24, 10, "2025-02-01", "09:00:00", 1, 5, "GBP"});
        SalesReportCriteria x;
        x.date = Range<QDate>{Comparison::Equal, QDate(2025, 2, 1), {}};
        const SalesReportTotals t = salesReportTotals(db(), x, 2);
        QCOMPARE(t.paid, d("0.50"));
        QCOMPARE(t.lines, 5);
        QCOMPARE(t.currenciesWithoutRate, QStringList{"GBP"});
        // A day without sales: 0, not nothing.
        x.date = Range<QDate>{Comparison::Equal, QDate(2030, 1, 1), {}};
        QCOMPARE(salesReportTotalTexts(salesReportTotals(db(), x, 2), 2).first(),
                 "Обща сума платено в брой лева: 0.00");
    }

    void articlesOfTheCriterion_data() {
        QTest::addColumn<QList<qint64>>("marked");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QList<qint64>>("articles");
        QTest::addColumn<bool>("none");
        QTest::newRow("marked win") << QList<qint64>{12, 10} << "11:Кафе" << QList<qint64>{12, 10} << false;
        QTest::newRow("the label's one") << QList<qint64>{} << "11:Кафе" << QList<qint64>{11} << false;
        QTest::newRow("the label's several") << QList<qint64>{} << "10;12;" << QList<qint64>{10, 12} << false;
        QTest::newRow("nothing chosen is 0")
            << QList<qint64>{} << "0:Няма избран артикул" << QList<qint64>{0} << false;
        QTest::newRow("no number") << QList<qint64>{} << "Кафе" << QList<qint64>{} << true;
    }
    void articlesOfTheCriterion() {
        QFETCH(QList<qint64>, marked);
        QFETCH(QString, label);
        QFETCH(QList<qint64>, articles);
        QFETCH(bool, none);
        const std::optional<QList<qint64>> got = reportArticles(marked, label);
        QCOMPARE(!got.has_value(), none);
        if (got)
            QCOMPARE(*got, articles);
    }

    void heading() {
        const QList<SalesReportHeadingCriterion> criteria{{"Контрагент:", "15:Бип ЕТ", std::nullopt, {}},
                                                          {"Дата:", "31.12.2024", Comparison::Equal, {}},
                                                          {"Час:", "08:00:00", Comparison::AtLeast, {}},
                                                          {"Сума:", "3.00", Comparison::Between, "6.00"},
                                                          {"Тип на плащане:", "в брой", std::nullopt, {}}};
        QCOMPARE(
            salesReportHeading("Справка продажби ", QDateTime(QDate(2025, 1, 5), QTime(9, 8, 7)), criteria),
            (QStringList{"", "\tСправка продажби ", "", "\tДата:05.01.2025 09:08:07", "\tТЪРСЕНЕ ПО:",
                         "\t  Контрагент:15:Бип ЕТ", "\t  Дата:31.12.2024", "\t  Час:по - голямо 08:00:00",
                         "\t  Сума:между 3.00 - 6.00", "\t  Тип на плащане:в брой"}));
    }

    // One document per buyer, payments and vanished lines apart.
    void documentPlan() {
        const SaleDocumentPlan p = planSaleDocuments(db(), {6, 4, 2, 99, 3, 1, 2});
        QCOMPARE(p.documents.size(), 3);
        QCOMPARE(p.documents[0].counterparty, 16);
        QCOMPARE(p.documents[0].lines, QList<qint64>{6});
        QCOMPARE(p.documents[1].counterparty, 15);
        QCOMPARE(p.documents[1].lines, (QList<qint64>{2, 3}));
        QCOMPARE(p.documents[2].counterparty, 0);
        QCOMPARE(p.payments, QList<qint64>{4});
        QCOMPARE(p.gone, QList<qint64>{99});
        QVERIFY(planSaleDocuments(db(), {}).documents.isEmpty());
    }

    // The document of a recorded euro line: converted at the line's own
    // currency (the article is priced in leva meanwhile), its VAT at its
    // tax group's rate, numbered where the shop numbers its lines.
    void documentOfARecordedLine() {
        execSql(db(), "UPDATE Produkti SET Valuta_P = 'Лева' WHERE ID = 12");
        const VatTotals vat = recordedSalesVat(db(), {6}, 2, VatRates::defaults());
        QCOMPARE(vat.gross, d("35.20"));
        QCOMPARE(vat.net, d("29.33"));
        QCOMPARE(vat.vat, d("5.87"));

        ReportTemplate report;
        report.name = "Фактура";
        for (const char* field : {"Barkod", "Opisanie", "Kol", "Mqrka", "Bez_DDS", "SUM_BezDDS"}) {
            ReportElement e;
            e.kind = ElementKind::DataField;
            e.dataSet = "Prodajbi_vremenni.DB";
            e.dataField = field;
            report.elements << e;
        }
        ReportElement buyer;
        buyer.kind = ElementKind::DataField;
        buyer.dataSet = "Firmi.db";
        buyer.dataField = "Ime_Firma";
        report.elements << buyer;
        DocumentQueryInput in;
        in.context = PrintContext::SalesReport;
        in.lines = {6};
        in.counterparty = 16;
        in.vatRates = VatRates::defaults();
        const ReportData data = readReportData(db(), report, in);
        QCOMPARE(data.rows.size(), 1);
        QCOMPARE(data.lines, QList<qint64>{6});
        const QVariantList& row = data.rows[0];
        QCOMPARE(row[0].toInt(), 12);
        QCOMPARE(row[1].toString(), "Уред");
        QCOMPARE(row[3].toString(), "бр.");
        // 10 € × 1.95583 less 10 %, without 20 % VAT: 14.669; the line's
        // value is that of its amount, 35.20 / 1.2 = 29.33 as the totals take
        // it (not 2 × 14.669 = 29.34).
        QCOMPARE(Decimal::fromVariant(row[4])->toFixed(2), "14.67");
        QCOMPARE(Decimal::fromVariant(row[5])->toFixed(2), "29.33");
        QCOMPARE(row[6].toString(), "Доп ООД");

        execSql(db(), "UPDATE Dokumenti SET N_Dok = '0000000007' WHERE Opisanie = 'Фактура'");
        IssueRequest issue{
            "Фактура", PrintContext::SalesReport, {6}, 16, QDateTime(QDate(2025, 1, 5), QTime(9, 0))};
        Transaction tx(db());
        QCOMPARE(INC_NUMBER_PRINTED_DOK(db(), issue).number, "0000000007");
        tx.commit();
        QCOMPARE(scalarSql(db(), "SELECT Ot_Kade_Prod FROM Printed_Dok WHERE ID_Prod = 6").toInt(), 1);
        QCOMPARE(scalarSql(db(), "SELECT ID_Art FROM Printed_Dok WHERE ID_Prod = 6").toInt(), 12);
        // The same line again: the issued document is found, from the shop's place too.
        const std::optional<IssuedDocument> issued = issuedDocument(db(), "Фактура", PrintContext::Shop, {6});
        QVERIFY(issued);
        QCOMPARE(issued->number, "0000000007");
        QVERIFY(issued->sameLines);
    }

    // "Издай фискален бон": a receipt for lines that had none, recorded
    // with them; never a second one.
    void receiptOfLinesWithout() {
        FiscalSettings settings;
        settings.programDir = fx_->root();
        settings.receiptDir = fx_->root() + "Fiscal";
        FiscalState state;
        const BonHeader header{"1", "Иван", "0"};
        execSql(db(), "INSERT INTO Prodajbi_Bon (ID_Prodajba, Bon_File) VALUES (1, 'BON9.bon')");
        QCOMPARE(printReportReceipt(state, db(), {2, 1}, settings, header, 2).status,
                 ReportReceipt::AlreadyPrinted);
        QCOMPARE(printReportReceipt(state, db(), {2, 99}, settings, header, 2).status, ReportReceipt::Gone);
        QVERIFY(!QDir(settings.receiptDir).exists());

        const ReportReceipt r = printReportReceipt(state, db(), {2, 4}, settings, header, 2);
        QCOMPARE(r.status, ReportReceipt::Printed);
        QCOMPARE(r.bon.receiptFile, QDir(settings.receiptDir).filePath("BON1.bon"));
        QCOMPARE(test::Fixture::readFile(r.bon.receiptFile),
                 commandFileBytes({":ПОС: 1", ":Опер.: Иван            ", "%11^Кафе        ^400^1500^3^",
                                   "%0^Вноска      ^300^1000^1^"}));
        QCOMPARE(linesWithReceipt(db(), {1, 2, 3, 4}), (QList<qint64>{1, 2, 4}));
        QCOMPARE(printReportReceipt(state, db(), {4}, settings, header, 2).status,
                 ReportReceipt::AlreadyPrinted);
    }
};

QTEST_GUILESS_MAIN(SalesReportTest)
#include "test_sales_report.moc"
