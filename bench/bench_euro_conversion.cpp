// The change of a company's books to the euro over 200,000 articles in lev
// (with their selling and delivery prices, 2,000 price list rows, 2,000
// special discounts): the conversion, one transaction recording every value
// it changes, and its undoing. Each iteration converts and undoes, so the
// next one finds the lev again; each is measured apart.

#include "catalogue/euro_conversion.h"
#include "common/sql.h"
#include "support/company_database.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

using namespace torvika;

namespace {

constexpr qsizetype kArticles = 200'000;
constexpr qsizetype kSmall = 2'000;

struct Dataset {
    bench::CompanyDatabase company;

    Dataset() {
        company.insertRows(
            QStringLiteral(
                "INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Dostavna_Cena, "
                "Valuta_D, Mqrka) VALUES (?, 1, ?, ?, 'Лева', ?, 'Лева', 'бр.')"),
            kArticles, [](qsizetype i) {
                const qint64 id = i + 1;
                return QVariantList{id, QStringLiteral("Артикул %1").arg(id), double(id % 9973) / 100 + 0.01,
                                    double(id % 7919) / 10000};
            });
        company.insertRows(QStringLiteral("INSERT INTO Art_CL (ID, Opisanie, Cena_1, Cena_2, Cena_3, Valuta) "
                                          "VALUES (?, ?, ?, ?, ?, 'Лева')"),
                           kSmall, [](qsizetype i) {
                               return QVariantList{qint64(i + 1), QStringLiteral("Ред %1").arg(i + 1),
                                                   double(i) + 0.5, double(i) + 0.25, double(i) + 0.75};
                           });
        company.insertRows(QStringLiteral("INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O, "
                                          "Suma_Up) VALUES (?, 'A', ?, 5, ?)"),
                           kSmall, [](qsizetype i) {
                               return QVariantList{qint64(i % 50 + 1), qint64(i + 1), double(i) * 10 + 100};
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

void convertToEuroAndBack(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    const QDateTime now(QDate(2026, 1, 1), QTime(7, 0));
    double reversal = 0;
    for (auto _ : state) {
        const EuroConversionResult r = convertToEuro(db, QStringLiteral("Администратор"), now);
        state.PauseTiming();
        if (!r.done() || r.articles != kArticles) {
            state.SkipWithError("the conversion did not convert every article");
            break;
        }
        const auto begin = std::chrono::steady_clock::now();
        if (!reverseEuroConversion(db, now).done()) {
            state.SkipWithError("the conversion was not undone");
            break;
        }
        reversal += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        state.ResumeTiming();
    }
    state.counters["articles"] = double(kArticles);
    state.counters["reversal_s"] = benchmark::Counter(reversal, benchmark::Counter::kAvgIterations);
}
BENCHMARK(convertToEuroAndBack)->Unit(benchmark::kSecond)->Iterations(3);

} // namespace
