// The sales report over a history of 1,000,000 Prodajbi rows: 400 days of
// 2,500 lines each, over 1,000 articles in 20 groups, 200 counterparties,
// lines in leva and in euro, most paid at the sale, some on open or
// paid-off credits.
//
// - day: "Справка" for one day ("Дата" равно): its totals by payment state
//   and the grid's first page (500 rows, in the order of the key).
// - day_all_rows: the same with every row of the day read (2,500).
// - month_totals: the totals by payment state of a month ("Дата" между
//   the first and the last day, 75,000 lines).
// - month_first_page: the grid's first page of that month.
// The `rows` counter is what each read or counted.

#include "common/sql.h"
#include "sales/sales_report.h"
#include "support/company_database.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

using namespace torvika;

namespace {

constexpr qint64 kHistory = 1'000'000;
constexpr int kDays = 400;
constexpr int kPage = 500;
const QDate kFirstDay(2024, 1, 1);

struct Dataset {
    bench::CompanyDatabase company;

    Dataset() {
        company.insertRows(QStringLiteral("INSERT INTO Grupi (ID, Opisanie) VALUES (?, ?)"), 20,
                           [](qsizetype i) {
                               return QVariantList{qint64(i + 1), QStringLiteral("Група %1").arg(i + 1)};
                           });
        company.insertRows(
            QStringLiteral("INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, "
                           "Mqrka, Dan_Grup) VALUES (?, ?, ?, ?, 'Лева', 'бр.', 1)"),
            1000, [](qsizetype i) {
                return QVariantList{qint64(i + 1), qint64(i % 20 + 1),
                                    QStringLiteral("Артикул %1").arg(i + 1), double(i % 97) + 0.5};
            });
        company.insertRows(
            QStringLiteral("INSERT INTO Firmi (ID, Ime_Firma, EIK, ID_Mol) VALUES (?, ?, '0', 0)"), 200,
            [](qsizetype i) {
                return QVariantList{qint64(i + 1), QStringLiteral("Фирма %1").arg(i + 1)};
            });
        // Line i falls on day i / 2,500 of the history; every tenth is in
        // euro, every twentieth on an open credit, every fiftieth on one paid off.
        const QString day = company.engine() == SqlEngine::SQLite
                                ? QStringLiteral("date('%1', '+' || ((i - 1) / %2) || ' days')")
                                : QStringLiteral("to_char(DATE '%1' + ((i - 1) / %2)::int, 'YYYY-MM-DD')");
        const QString sql = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, ED_Cena, "
            "Valuta, "
            "ID_Klient, T_O, Konsign_N, Pored_Ot, Pored_Do, Type_Pay, Term_N, Sklad_ID) "
            "SELECT i, i % 1000 + 1, CASE WHEN i % 3 = 0 THEN 'Мария' ELSE 'Иван' END, %2, '10:00:00', "
            "i % 5 + 1, (i % 97) + 0.5, CASE WHEN i % 10 = 0 THEN 'EUR' ELSE 'Лева' END, i % 201, i % 7, "
            "CASE WHEN i % 20 = 0 THEN i % 300 + 1 WHEN i % 50 = 0 THEN -1 ELSE 0 END, '', '', "
            "CASE WHEN i % 20 = 0 THEN 'отложено плащане' ELSE 'в брой' END, i % 3 + 1, 1 FROM n");
        execSql(company.db(),
                sql.arg(kHistory).arg(day.arg(kFirstDay.toString(Qt::ISODate)).arg(kHistory / kDays)));
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

SalesReportCriteria onDay(int day) {
    SalesReportCriteria c;
    c.date = Range<QDate>{Comparison::Equal, kFirstDay.addDays(day), {}};
    return c;
}

SalesReportCriteria inMonth(int month) {
    const QDate first = kFirstDay.addMonths(month);
    SalesReportCriteria c;
    c.date = Range<QDate>{Comparison::Between, first, first.addMonths(1).addDays(-1)};
    return c;
}

qint64 readList(const QSqlDatabase& db, const SalesReportCriteria& c, int limit) {
    const SqlStatement s = salesReportStatement(c, 2);
    return readRows(db, s.text, s.values, limit).rows.size();
}

void BM_Day(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    int day = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        day = (day + 37) % kDays;
        const SalesReportTotals t = salesReportTotals(db, onDay(day), 2);
        benchmark::DoNotOptimize(t.paid);
        rows = readList(db, onDay(day), kPage);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_Day)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_Day_AllRows(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    int day = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        day = (day + 37) % kDays;
        const SalesReportTotals t = salesReportTotals(db, onDay(day), 2);
        benchmark::DoNotOptimize(t.paid);
        rows = readList(db, onDay(day), -1);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_Day_AllRows)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_Month_Totals(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    int month = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        month = (month + 5) % 12;
        const SalesReportTotals t = salesReportTotals(db, inMonth(month), 2);
        benchmark::DoNotOptimize(t.open);
        rows = t.lines;
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_Month_Totals)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_Month_FirstPage(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    int month = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        month = (month + 5) % 12;
        rows = readList(db, inMonth(month), kPage);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_Month_FirstPage)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace
