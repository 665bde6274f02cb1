// Stock operations in a company database of 20,000 articles, 200 suppliers
// and 100,000 recorded deliveries of 10 lines each (1,000,000 delivery
// lines):
// - saveDelivery: a delivery of 1,000 lines saved in its one transaction
//   (the delivery and its lines, the stock raised, the catalogue's prices
//   and last supplier); the lines are entered outside the timing;
// - deliveryReport: the delivery report read whole, unfiltered and by each
//   kind of filter (an article, a supplier, a range of dates);
// - deliveryLines: one delivery's lines and its record, as the report shows
//   them when a delivery is clicked;
// - produce: 100 units of an article by a recipe of 50 elements (the stock
//   of 51 articles moved and the operation recorded in one transaction).

#include "catalogue/deliveries.h"
#include "catalogue/recipes.h"
#include "common/sql.h"
#include "support/company_database.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

using namespace torvika;

namespace {

constexpr qsizetype kArticles = 20'000;
constexpr qsizetype kSuppliers = 200;
constexpr qsizetype kDeliveries = 100'000;
constexpr qsizetype kLinesPerDelivery = 10;
constexpr qint64 kRecipeArticle = kArticles + 1;

QString isoDay(qsizetype i) {
    return QDate(2020, 1, 1).addDays(i % 1500).toString(Qt::ISODate);
}

struct Dataset {
    bench::CompanyDatabase company;

    Dataset() {
        company.insertRows(QStringLiteral("INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Склад 2')"),
                           1, [](qsizetype) { return QVariantList{}; });
        company.insertRows(
            QStringLiteral("INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES (?, ?, 0, 0)"),
            kSuppliers, [](qsizetype i) {
                return QVariantList{qint64(i + 1), QStringLiteral("Доставчик %1").arg(i + 1)};
            });
        company.insertRows(
            QStringLiteral("INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, "
                           "Dostavna_Cena, Valuta_D, Mqrka, Dan_Grup, DDS) "
                           "VALUES (?, ?, ?, ?, 'Лева', ?, 'Лева', 'бр.', 1, 'False')"),
            kArticles + 1, [](qsizetype i) {
                const qint64 id = i + 1;
                return QVariantList{id, id % 50 + 1, QStringLiteral("Артикул %1").arg(id),
                                    double(id % 97) + 0.5, double(id % 89) + 0.25};
            });
        company.insertRows(
            QStringLiteral("INSERT INTO Dostavki (ID, Data_Dostavka, Time_Dostavka, Nomer_Dostav4ik, "
                           "Vid_Dokument, Data_Dokument, Nomer_Dokument, Zabel, ID_Sklad, Pay_Cach, "
                           "Pay_Bank, Pay_Not) VALUES (?, ?, '10:00:00', ?, ?, ?, ?, '', ?, 10, 0, 0)"),
            kDeliveries, [](qsizetype i) {
                return QVariantList{qint64(i + 1),     isoDay(i), qint64(i % kSuppliers + 1),
                                    qint64(i % 4 + 1), isoDay(i), QStringLiteral("F-%1").arg(i + 1),
                                    qint64(i % 2 + 1)};
            });
        company.insertRows(
            QStringLiteral("INSERT INTO Dostavka_Art (ID_Dostavka, Nomer_Produkt, Dostavna_Cena, "
                           "Valuta_D, Prodajna_Cena, Valuta_P, Kolitchestvo, Mqrka) "
                           "VALUES (?, ?, 1.25, 'Лева', 2.5, 'EUR', 3, 'бр.')"),
            kDeliveries * kLinesPerDelivery, [](qsizetype i) {
                const qsizetype delivery = i / kLinesPerDelivery;
                return QVariantList{qint64(delivery + 1),
                                    qint64((delivery * 7 + i % kLinesPerDelivery * 131) % kArticles + 1)};
            });
        // A recipe of 50 elements for the last article.
        company.insertRows(QStringLiteral("INSERT INTO Rezept_Art (ID, ID_Art, Kol_Art, Vid_R, Name_R) "
                                          "VALUES (1, ?, 4, 2, 'Стандарт')"),
                           1, [](qsizetype) { return QVariantList{kRecipeArticle}; });
        company.insertRows(QStringLiteral("INSERT INTO Rezept_El (ID_R, ID_El, Kol_El) VALUES (1, ?, ?)"), 50,
                           [](qsizetype i) {
                               return QVariantList{qint64(i * 17 + 1), 0.125 * double(i + 1)};
                           });
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

DeliveryHeader header(qint64 n) {
    DeliveryHeader h;
    h.supplier = n % kSuppliers + 1;
    h.documentKind = 2;
    h.documentNumber = QStringLiteral("B-%1").arg(n);
    h.documentDate = QDate(2024, 6, 1);
    h.delivered = QDateTime(QDate(2024, 6, 2), QTime(9, 0));
    h.warehouse = 2;
    return h;
}

void saveDelivery(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    const VatRates rates = VatRates::defaults();
    DeliveryDraft draft(db);
    qint64 n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++n;
        {
            Transaction t(db);
            for (qint64 i = 0; i < state.range(0); ++i) {
                DeliveryLine l;
                l.article = (n * 1000 + i * 19) % kArticles + 1;
                if (draft.line(l.article))
                    continue;
                l.quantity = Decimal("2.5");
                l.deliveryPrice = Decimal("1.2");
                l.deliveryCurrency = QStringLiteral("Лева");
                l.sellingPrice = Decimal("2.4");
                l.sellingCurrency = QStringLiteral("Лева");
                l.unit = QStringLiteral("бр.");
                draft.add(l);
            }
            t.commit();
        }
        state.ResumeTiming();
        const DeliverySaveResult r = draft.save(header(n), rates, {false, true});
        if (r.status != DeliverySaveResult::Saved) {
            state.SkipWithError(qPrintable(r.message));
            break;
        }
    }
    state.counters["lines"] = double(state.range(0));
}
BENCHMARK(saveDelivery)->Arg(1000)->Unit(benchmark::kMillisecond);

// 0 unfiltered, 1 an article, 2 a supplier, 3 a month of deliveries.
void deliveryReport(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    DeliveryReportFilter f;
    switch (state.range(0)) {
    case 1:
        f.articles = QList<qint64>{4242};
        break;
    case 2:
        f.supplier = 17;
        break;
    case 3:
        f.enteredDate = DateCondition{DateComparison::Between, QDate(2022, 3, 1), QDate(2022, 3, 31)};
        break;
    default:
        break;
    }
    const SqlStatement s = deliveryReportStatement(f);
    qsizetype rows = 0;
    for (auto _ : state)
        rows = readRows(db, s.text, s.values).rows.size();
    if (rows == 0)
        state.SkipWithError("the report found nothing");
    state.counters["rows"] = double(rows);
}
BENCHMARK(deliveryReport)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void deliveryLines(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    qint64 id = 0;
    qsizetype rows = 0;
    for (auto _ : state) {
        id = id * 7919 % kDeliveries + 1;
        const SqlStatement s = deliveryLinesStatement(id);
        rows = readRows(db, s.text, s.values).rows.size();
        benchmark::DoNotOptimize(loadDelivery(db, id));
    }
    if (rows != kLinesPerDelivery)
        state.SkipWithError("a delivery lost lines");
}
BENCHMARK(deliveryLines)->Unit(benchmark::kMillisecond);

void produceByRecipe(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    for (auto _ : state) {
        const ProductionResult r = produce(
            db, {1, Decimal(state.range(0)), 1, QStringLiteral("Бенчмарк"), QDateTime::currentDateTime()});
        if (r.status != ProductionResult::Done) {
            state.SkipWithError(qPrintable(r.message));
            break;
        }
    }
}
BENCHMARK(produceByRecipe)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace
