// Stock levels in a company database of 20,000 articles kept in five
// warehouses (100,000 stock rows): GET_NALI4NOST on each of its paths (an
// addition to a stored quantity, a count that sets it, the first movement
// that creates the row, a movement refused for a warehouse that does not
// exist), and the two stock reports read whole. Each call of GET_NALI4NOST
// is one statement committed on its own, as a sale line or a delivery line
// makes it; it should stay well under a millisecond.

#include "catalogue/stock.h"
#include "common/errors.h"
#include "common/sql.h"
#include "support/company_database.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <memory>
#include <random>

using namespace torvika;

namespace {

constexpr qsizetype kArticles = 20'000;
constexpr qint64 kWarehouses = 5;
constexpr std::uint32_t kSeed = 20240611;

struct Dataset {
    bench::CompanyDatabase company;

    Dataset() {
        // Warehouse 1 comes with the creation script.
        company.insertRows(QStringLiteral("INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (?, ?)"),
                           kWarehouses - 1, [](qsizetype i) {
                               return QVariantList{qint64(i + 2), QStringLiteral("Склад %1").arg(i + 2)};
                           });
        company.insertRows(QStringLiteral("INSERT INTO Grupi (ID, Opisanie) VALUES (?, ?)"), 50,
                           [](qsizetype i) {
                               return QVariantList{qint64(i + 1), QStringLiteral("Група %1").arg(i + 1)};
                           });
        company.insertRows(
            QStringLiteral("INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Ed_Cena, "
                           "Valuta_P, Mqrka) VALUES (?, ?, ?, ?, ?, 'Лева', 'бр.')"),
            kArticles, [](qsizetype i) {
                const qint64 id = i + 1;
                return QVariantList{id, QStringLiteral("%1_%2").arg(id % 50 + 1).arg(id), id % 50 + 1,
                                    QStringLiteral("Артикул %1").arg(id), double(id % 97) + 0.5};
            });
        std::mt19937 rng(kSeed);
        company.insertRows(QStringLiteral("INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (?, ?, ?)"),
                           kArticles * kWarehouses, [&rng](qsizetype i) {
                               return QVariantList{qint64(i / kWarehouses + 1), qint64(i % kWarehouses + 1),
                                                   double(rng() % 500) / 4};
                           });
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

void addToStoredQuantity(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    std::mt19937 rng(kSeed);
    for (auto _ : state) {
        const qint64 article = rng() % kArticles + 1;
        const qint64 warehouse = rng() % kWarehouses + 1;
        GET_NALI4NOST(db, article, warehouse, kAddStock, rng() % 2 ? Decimal("-1.25") : Decimal("1.25"));
    }
}
BENCHMARK(addToStoredQuantity)->Unit(benchmark::kMicrosecond);

void setCountedQuantity(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    std::mt19937 rng(kSeed + 1);
    for (auto _ : state) {
        const qint64 article = rng() % kArticles + 1;
        GET_NALI4NOST(db, article, rng() % kWarehouses + 1, kSetStock, Decimal(rng() % 1000).divided(8, 3));
    }
}
BENCHMARK(setCountedQuantity)->Unit(benchmark::kMicrosecond);

// Articles the stock has never seen: every call inserts a row.
void firstMovement(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    static qint64 next = 1'000'000;
    for (auto _ : state)
        GET_NALI4NOST(db, ++next, 1, kAddStock, 3);
}
BENCHMARK(firstMovement)->Unit(benchmark::kMicrosecond);

void refusedForMissingWarehouse(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    for (auto _ : state) {
        try {
            GET_NALI4NOST(db, 7, kWarehouses + 10, kAddStock, 1);
            state.SkipWithError("a movement into a missing warehouse was written");
            break;
        } catch (const EDatabaseError&) {
        }
    }
}
BENCHMARK(refusedForMissingWarehouse)->Unit(benchmark::kMicrosecond);

// The stock report read whole: every article, or one warehouse's.
void stockReport(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    StockFilter filter;
    if (state.range(0) > 0)
        filter.warehouse = state.range(0);
    const SqlStatement s = stockReportStatement(filter);
    qsizetype rows = 0;
    for (auto _ : state)
        rows = readRows(db, s.text, s.values).rows.size();
    if (rows < kArticles)
        state.SkipWithError("the report lost articles");
    state.counters["rows"] = double(rows);
}
BENCHMARK(stockReport)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);

// The catalogue's stock of 255 marked articles.
void markedArticlesStock(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    QList<qint64> marked;
    for (qint64 id = 1; id <= 255; ++id)
        marked << id * 73 % kArticles + 1;
    const SqlStatement s = *markedArticlesStockStatement(marked);
    qsizetype rows = 0;
    for (auto _ : state)
        rows = readRows(db, s.text, s.values).rows.size();
    if (rows != 255)
        state.SkipWithError("the report did not list the marked articles");
}
BENCHMARK(markedArticlesStock)->Unit(benchmark::kMillisecond);

} // namespace
