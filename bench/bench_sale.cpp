// The till: a company database of 200,000 articles, each with a barcode,
// and an operator's bill of 100 lines.
//
// - scan: what the shop page does for one scanned barcode: the lookup (the
//   barcode, the pick-list check, the article with its group, the recipe
//   check), the line written, the totals recomputed (the bill's lines read
//   with their currency, the new line's net values written) — the grid is
//   filled from the lines read. The line is removed again outside the timing
//   so that every iteration meets a bill of 100 lines.
// - scan_bare (SQLite only): the same statements on a bare sqlite3
//   connection, prepared once, with no conversion of the rows read.
// - totals/N: Calculate_SUM of a bill of N lines whose net values are
//   already stored (a refresh), for N = 10, 100 and 1,000.
// - sale/20: "Продажба" of a bill of 20 lines in cash with a sales history
//   of 1,000,000 Prodajbi rows: the sale recorded in its transaction (lines
//   locked and read, rows written, stock lowered, lines removed), the fiscal
//   receipt file written and recorded with the sale. The lines are entered
//   outside the timing.

#include "common/sql.h"
#include "sales/article_lookup.h"
#include "sales/receipt_files.h"
#include "sales/sale_completion.h"
#include "sales/sale_lines.h"
#include "support/company_database.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>

using namespace torvika;

namespace {

constexpr qsizetype kArticles = 200'000;
constexpr int kBillLines = 100;
constexpr qsizetype kHistory = 1'000'000; // Prodajbi rows before the sales measured
const QString kOperator = QStringLiteral("Касиер");

QString barcodeOf(qint64 id) {
    return QStringLiteral("380%1").arg(id, 10, 10, QLatin1Char('0'));
}

SaleContext saleOf(int bill) {
    SaleContext c;
    c.operatorName = kOperator;
    c.bill = bill;
    c.vatRates = VatRates::uniform(20);
    return c;
}

struct Dataset {
    bench::CompanyDatabase company;

    Dataset() {
        company.insertRows(QStringLiteral("INSERT INTO Grupi (ID, Opisanie) VALUES (?, ?)"), 100,
                           [](qsizetype i) {
                               return QVariantList{qint64(i + 1), QStringLiteral("Група %1").arg(i + 1)};
                           });
        company.insertRows(
            QStringLiteral("INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Ed_Cena, "
                           "Valuta_P, Mqrka, Max_TO, Dan_Grup, Prigotvq_Se, Garancionen, Poredica) "
                           "VALUES (?, ?, ?, ?, ?, 'Лева', 'бр.', 0, 1, 0, 'False', 'False')"),
            kArticles, [](qsizetype i) {
                const qint64 id = i + 1;
                return QVariantList{id, QStringLiteral("N-%1").arg(id), id % 100 + 1,
                                    QStringLiteral("Артикул %1").arg(id), double(id % 97) + 0.5};
            });
        company.insertRows(QStringLiteral("INSERT INTO Barkodes (ID, Barkode) VALUES (?, ?)"), kArticles,
                           [](qsizetype i) {
                               return QVariantList{qint64(i + 1), barcodeOf(i + 1)};
                           });
        // Bills 1 (10 lines), 2 (100 lines) and 3 (1,000 lines).
        int bill = 0;
        for (int lines : {10, kBillLines, 1000}) {
            ++bill;
            for (int i = 0; i < lines; ++i)
                enterLine(company.db(), saleOf(bill), {qint64(i * 37 % kArticles + 1), 2, 3, {}, {}});
            recalculateSale(company.db(), saleOf(bill));
        }
        // The sales history and the stock of every article in warehouse 1.
        execSql(company.db(),
                QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, "
                    "ED_Cena, Valuta, ID_Klient, T_O, Konsign_N, Pored_Ot, Pored_Do, Type_Pay, Term_N, "
                    "Sklad_ID) SELECT i, i % %2 + 1, 'Касиер', '2026-01-01', '10:00:00', 1, 2.5, "
                    "'Лева', 0, 0, 0, '', '', 'в брой', 1, 1 FROM n")
                    .arg(kHistory)
                    .arg(kArticles));
        execSql(company.db(),
                QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                               "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) SELECT i, 1, 1000000 FROM n")
                    .arg(kArticles));
        company.settleAfterLoad();
    }
};

std::unique_ptr<Dataset> gDataset;

Dataset& dataset() {
    if (!gDataset) {
        gDataset = std::make_unique<Dataset>();
        qAddPostRoutine([] { gDataset.reset(); });
    }
    return *gDataset;
}

// One scanned barcode, as the shop page handles it.
qint64 scan(const QSqlDatabase& db, qint64 article) {
    const QList<qint64> found = findArticles(db, SearchCriterion::Barcode, barcodeOf(article));
    const QList<PickItem> items = pickItems(db, found);
    const std::optional<SaleArticle> a = loadSaleArticle(db, items.value(0).id);
    benchmark::DoNotOptimize(hasRecipe(db, a->id));
    const EnterResult r = enterLine(db, saleOf(2), {a->id, 1, a->price, {}, {}});
    const SaleTotals t = recalculateSale(db, saleOf(2));
    benchmark::DoNotOptimize(t.total);
    return r.line;
}

void BM_Scan(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    qint64 article = 1;
    for (auto _ : state) {
        article = article * 7919 % kArticles + 1;
        const qint64 line = scan(db, article);
        state.PauseTiming();
        cancelLines(db, kOperator, {line}, 1);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond)->MinTime(2);

// The same statements on a bare connection.
class Bare {
public:
    explicit Bare(const QString& file) {
        if (sqlite3_open(file.toUtf8().constData(), &db_) != SQLITE_OK)
            throw std::runtime_error("bare connection");
        sqlite3_busy_timeout(db_, 5000);
    }
    ~Bare() {
        for (sqlite3_stmt* s : statements_)
            sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        statements_.push_back(s);
        return s;
    }
    void exec(const char* sql) { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
    sqlite3* db() const { return db_; }

private:
    sqlite3* db_ = nullptr;
    std::vector<sqlite3_stmt*> statements_;
};

// Steps the statement to its end, reading every column of every row.
void drain(sqlite3_stmt* s) {
    while (sqlite3_step(s) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(s); ++c)
            benchmark::DoNotOptimize(sqlite3_column_text(s, c));
    sqlite3_reset(s);
}

void BM_Scan_Bare(benchmark::State& state) {
    if (dataset().company.engine() != SqlEngine::SQLite) {
        state.SkipWithError("SQLite only");
        return;
    }
    Bare bare(dataset().company.file());
    sqlite3_stmt* barcode = bare.prepare("SELECT ID FROM Barkodes WHERE Barkode IN (?, ?)");
    sqlite3_stmt* name = bare.prepare("SELECT Opisanie FROM Produkti WHERE ID = ?");
    sqlite3_stmt* article = bare.prepare(
        "SELECT P.ID, P.Opisanie, P.Mqrka, P.Ed_Cena, P.Valuta_P, P.DDS, P.Garancionen, P.Poredica, "
        "P.Trajnost, "
        "P.Nomer_Grupa, G.Opisanie FROM Produkti P LEFT JOIN Grupi G ON G.ID = P.Nomer_Grupa WHERE P.ID = ?");
    sqlite3_stmt* recipe = bare.prepare("SELECT 1 FROM Rezept_Art WHERE ID_Art = ?");
    sqlite3_stmt* entry = bare.prepare("SELECT Opisanie, Mqrka, Ed_Cena, Valuta_P, Max_TO, Dan_Grup, "
                                       "Prigotvq_Se FROM Produkti WHERE ID = ?");
    sqlite3_stmt* insert = bare.prepare(
        "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, Operator, Pored_Ot, "
        "Pored_Do, T_O, SUM_BezDDS, Bez_DDS, Sm_N, Term_N, Nomenkl_N, Dan_Grup, Prigotvq_Se) VALUES "
        "(?, 'Артикул', 1, 'бр.', 3, 'Лева', ?, '', '', 0, 2.5, 2.5, 2, 1, '0', 1, 0) RETURNING N_Prodajba");
    sqlite3_stmt* lines = bare.prepare(
        "SELECT P.N_Prodajba, P.Barkod, P.Opisanie, P.Kol, P.Mqrka, P.Ed_Cena, P.Valuta, P.T_O, P.Operator, "
        "P.Pored_Ot, P.Pored_Do, P.Sm_N, P.Term_N, P.Dan_Grup, P.Prigotvq_Se, P.Nomenkl_N, P.Bez_DDS, "
        "P.SUM_BezDDS, V.Kurs FROM Prodajbi_Vremenni P JOIN Valuti V ON V.Opisanie = P.Valuta "
        "WHERE P.Operator = ? AND P.Sm_N = 2 ORDER BY P.N_Prodajba");
    sqlite3_stmt* update = bare.prepare(
        "UPDATE Prodajbi_Vremenni SET Bez_DDS = 2.5, SUM_BezDDS = 2.5 WHERE N_Prodajba = ? AND Operator = ?");
    sqlite3_stmt* remove = bare.prepare("DELETE FROM Prodajbi_Vremenni WHERE N_Prodajba = ?");
    const QByteArray op = kOperator.toUtf8();
    qint64 id = 1;
    for (auto _ : state) {
        id = id * 7919 % kArticles + 1;
        const QByteArray code = barcodeOf(id).toUtf8();
        sqlite3_bind_text(barcode, 1, code.constData(), int(code.size()), SQLITE_STATIC);
        sqlite3_bind_text(barcode, 2, code.constData(), int(code.size()), SQLITE_STATIC);
        drain(barcode);
        for (sqlite3_stmt* s : {name, article, recipe, entry}) {
            sqlite3_bind_int64(s, 1, id);
            drain(s);
        }
        bare.exec("BEGIN");
        sqlite3_bind_int64(insert, 1, id);
        sqlite3_bind_text(insert, 2, op.constData(), int(op.size()), SQLITE_STATIC);
        sqlite3_step(insert);
        const sqlite3_int64 line = sqlite3_column_int64(insert, 0);
        sqlite3_reset(insert);
        bare.exec("COMMIT");
        sqlite3_bind_text(lines, 1, op.constData(), int(op.size()), SQLITE_STATIC);
        drain(lines);
        bare.exec("BEGIN");
        sqlite3_bind_int64(update, 1, line);
        sqlite3_bind_text(update, 2, op.constData(), int(op.size()), SQLITE_STATIC);
        drain(update);
        bare.exec("COMMIT");
        state.PauseTiming();
        sqlite3_bind_int64(remove, 1, line);
        drain(remove);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Scan_Bare)->Unit(benchmark::kMillisecond)->MinTime(2);

// Calculate_SUM of a bill of 10, 100 or 1,000 lines (bills 1, 2 and 3).
void BM_Totals(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    const int bill = state.range(0) == 10 ? 1 : state.range(0) == kBillLines ? 2 : 3;
    qsizetype lines = 0;
    for (auto _ : state)
        lines = recalculateSale(db, saleOf(bill)).lines.size();
    if (lines != state.range(0))
        state.SkipWithError("the bill has another number of lines");
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_Totals)->Arg(10)->Arg(kBillLines)->Arg(1000)->Unit(benchmark::kMillisecond);

// A sale of 20 lines in cash, its receipt file included.
void BM_Sale(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    QTemporaryDir receipts;
    FiscalSettings settings;
    settings.programDir = receipts.path();
    settings.receiptDir = receipts.path();
    settings.saleReceipt = kFiscalReceipt;
    FiscalState fiscal;
    const BonHeader header{QStringLiteral("1"), kOperator, QStringLiteral("0")};
    const SaleContext sale = saleOf(5);
    qint64 article = 1;
    for (auto _ : state) {
        state.PauseTiming();
        SaleRequest request;
        request.operatorName = kOperator;
        request.warehouse = 1;
        for (int i = 0; i < state.range(0); ++i) {
            article = article * 7919 % kArticles + 1;
            request.lines << enterLine(db, sale, {article, 2, 3, {}, {}}).line;
        }
        request.amountDue = recalculateSale(db, sale).total;
        request.when = QDateTime::currentDateTime();
        state.ResumeTiming();

        const SaleResult r = recordSale(db, request);
        const BonResult bon =
            printSaleReceipt(fiscal, receiptLines(r.sold), request.amountDue, db, settings, header);
        recordReceiptFile(db, r.sold, bon.receiptFile);

        state.PauseTiming();
        if (r.status != SaleResult::Sold || bon.receiptFailed)
            state.SkipWithError("the sale was not recorded or printed");
        QFile::remove(bon.receiptFile);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Sale)->Arg(20)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace
