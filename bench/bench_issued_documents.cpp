// The issued-documents report over a register of 500,000 Printed_Dok rows:
// 100,000 documents of 5 lines each, of three kinds, over 400 days, 200
// counterparties (and documents issued without one), one in ten from the
// service; each shop line a recorded sale of one of 1,000 articles.
//
// - search_kind_month: "Вид документ" and "Дата на документ" между a
//   month: the grid's first page (500 documents).
// - search_counterparty: "Контрагент": every document of one counterparty
//   in the whole register.
// - search_operator_day: "Оператор" and "Дата" равно a day.
// - search_number: "Вид документ" and "Номер документ".
// - search_all_first_page: no filter, the first page of every document.
// - lines: moving to a document: its lines and their total.
// The `rows` counter is the documents or lines each read.

#include "common/sql.h"
#include "documents/issued_documents.h"
#include "support/company_database.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

using namespace torvika;

namespace {

constexpr qint64 kRegister = 500'000;
constexpr qint64 kLinesPerDocument = 5;
constexpr qint64 kDocuments = kRegister / kLinesPerDocument;
constexpr int kDays = 400;
constexpr int kPage = 500;
const QDate kFirstDay(2024, 1, 1);

struct Dataset {
    bench::CompanyDatabase company;

    Dataset() {
        company.insertRows(
            QStringLiteral(
                "INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Mqrka, Dan_Grup) "
                "VALUES (?, 1, ?, ?, 'Лева', 'бр.', 1)"),
            1000, [](qsizetype i) {
                return QVariantList{qint64(i + 1), QStringLiteral("Артикул %1").arg(i + 1),
                                    double(i % 97) + 0.5};
            });
        company.insertRows(
            QStringLiteral("INSERT INTO Firmi (ID, Ime_Firma, EIK, ID_Mol) VALUES (?, ?, '0', 0)"), 200,
            [](qsizetype i) {
                return QVariantList{qint64(i + 1), QStringLiteral("Фирма %1").arg(i + 1)};
            });
        const bool sqlite = company.engine() == SqlEngine::SQLite;
        // Line i belongs to document d = (i - 1) / 5, of kind d % 3 + 1,
        // numbered d / 3 + 1 in its kind, issued on day d / 250.
        const QString day =
            sqlite ? QStringLiteral("date('%1', '+' || (((i - 1) / 5) / %2) || ' days')")
                   : QStringLiteral("to_char(DATE '%1' + (((i - 1) / 5) / %2)::int, 'YYYY-MM-DD')");
        const QString number = sqlite ? QStringLiteral("printf('%010d', ((i - 1) / 5) / 3 + 1)")
                                      : QStringLiteral("lpad(((((i - 1) / 5) / 3) + 1)::text, 10, '0')");
        const QString time =
            sqlite ? QStringLiteral("printf('%02d:%02d:00', 8 + ((i - 1) / 5) % 10, ((i - 1) / 5) % 60)")
                   : QStringLiteral("lpad((8 + ((i - 1) / 5) % 10)::text, 2, '0') || ':' || "
                                    "lpad((((i - 1) / 5) % 60)::text, 2, '0') || ':00'");
        const QString registerSql =
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO Printed_Dok (ID_Prod, ID_Dok, ID_Kontrag, ID_Art, N_Dok, Operator, Data, "
                "fTime, Ot_Kade_Prod) SELECT i, ((i - 1) / 5) % 3 + 1, ((i - 1) / 5) % 201, i % 1000 + 1, "
                "%2, CASE WHEN ((i - 1) / 5) % 4 = 0 THEN 'Мария' ELSE 'Иван' END, %3, %4, "
                "CASE WHEN ((i - 1) / 5) % 10 = 9 THEN 2 ELSE 1 END FROM n")
                .arg(kRegister)
                .arg(number, day.arg(kFirstDay.toString(Qt::ISODate)).arg(kDocuments / kDays), time);
        execSql(company.db(), registerSql);
        execSql(
            company.db(),
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, Kol, ED_Cena, "
                           "Valuta, ID_Klient, T_O) SELECT i, i % 1000 + 1, 'Иван', '2024-01-01', i % 5 + 1, "
                           "(i % 97) + 0.5, CASE WHEN i % 10 = 0 THEN 'EUR' ELSE 'Лева' END, 0, i % 7 FROM n")
                .arg(kRegister));
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

qint64 firstPage(const QSqlDatabase& db, const IssuedDocumentFilter& f) {
    const SqlStatement s = issuedDocumentsStatement(f);
    return readRows(db, s.text, s.values, kPage).rows.size();
}

void run(benchmark::State& state, const std::function<IssuedDocumentFilter(int step)>& filter) {
    const QSqlDatabase db = dataset().company.db();
    int step = 0;
    qint64 rows = 0;
    for (auto _ : state)
        rows = firstPage(db, filter(++step));
    state.counters["rows"] = double(rows);
}

void BM_Search_KindMonth(benchmark::State& state) {
    run(state, [](int step) {
        IssuedDocumentFilter f;
        f.kind = step % 3 + 1;
        f.date = ValueComparison::Between;
        f.dateFrom = kFirstDay.addMonths(step * 5 % 12);
        f.dateTo = f.dateFrom.addMonths(1).addDays(-1);
        return f;
    });
}
BENCHMARK(BM_Search_KindMonth)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_Search_Counterparty(benchmark::State& state) {
    run(state, [](int step) {
        IssuedDocumentFilter f;
        f.counterparty = step * 37 % 200 + 1;
        return f;
    });
}
BENCHMARK(BM_Search_Counterparty)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_Search_OperatorDay(benchmark::State& state) {
    run(state, [](int step) {
        IssuedDocumentFilter f;
        f.operatorName = QStringLiteral("Мария");
        f.date = ValueComparison::Equal;
        f.dateFrom = kFirstDay.addDays(step * 37 % kDays);
        return f;
    });
}
BENCHMARK(BM_Search_OperatorDay)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_Search_Number(benchmark::State& state) {
    run(state, [](int step) {
        IssuedDocumentFilter f;
        f.kind = step % 3 + 1;
        f.number = QStringLiteral("%1").arg(step * 7919 % (kDocuments / 3) + 1, 10, 10, QLatin1Char('0'));
        return f;
    });
}
BENCHMARK(BM_Search_Number)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_Search_AllFirstPage(benchmark::State& state) {
    run(state, [](int) { return IssuedDocumentFilter{}; });
}
BENCHMARK(BM_Search_AllFirstPage)->Unit(benchmark::kMillisecond)->MinTime(2);

// The document the operator moves to, as a row of the search names it.
IssuedDocumentRef documentAt(const QSqlDatabase& db, qint64 d) {
    const SqlRows r = readRows(db,
                               QStringLiteral("SELECT ID_Dok, N_Dok, Ot_Kade_Prod, Data, fTime, ID_Kontrag "
                                              "FROM Printed_Dok WHERE ID_Prod = ?"),
                               {d * kLinesPerDocument + 1}, 1);
    IssuedDocumentRef ref;
    ref.kind = r.rows[0][0].toLongLong();
    ref.number = r.rows[0][1].toString();
    ref.place = r.rows[0][2].toInt();
    ref.date = r.rows[0][3].toString();
    ref.time = r.rows[0][4].toString();
    ref.counterparty = r.rows[0][5].toLongLong();
    return ref;
}

void BM_Lines(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    QList<IssuedDocumentRef> documents;
    for (qint64 d = 0; d < kDocuments; d += 997)
        if (d % 10 != 9)
            documents << documentAt(db, d);
    int i = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const IssuedDocumentRef& d = documents[i++ % documents.size()];
        const SqlStatement s = issuedLinesStatement(d);
        rows = readRows(db, s.text, s.values).rows.size();
        benchmark::DoNotOptimize(issuedDocumentTotal(db, d));
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_Lines)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace
