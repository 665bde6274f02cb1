// The service intake's serial-number lookup over a company database with
// 100,000 serial numbers in 10,000 supplier warranty documents, 1,000,000
// sale rows (every tenth carrying a serial number) and 50,000 items issued
// from repair with 100,000 repair lines:
//
// - lookup: what Enter in the serial field does: the supplier's latest
//   warranty document, the latest sale, the register's entries (model,
//   batch, the pick list) and the dossier of earlier repairs, the serial
//   typed in another letter case than it is stored;
// - lookup_contains: the same with "търси част" (part of a serial number),
//   which has no index to go by.
//
// TORVIKA_BENCH_PG runs it on a PostgreSQL server.

#include "common/sql.h"
#include "service/intake_lines.h"
#include "support/company_database.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

using namespace torvika;

namespace {

constexpr qint64 kSerials = 100'000;
constexpr qint64 kDocuments = 10'000;
constexpr qint64 kSales = 1'000'000;
constexpr qint64 kIssued = 50'000;
constexpr qint64 kArticles = 5'000;
constexpr qint64 kClients = 1'000;

QString rows(qint64 count) {
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ")
        .arg(count);
}

struct Dataset {
    bench::CompanyDatabase company;

    Dataset() {
        const QSqlDatabase db = company.db();
        execSql(db, rows(kClients) + QStringLiteral("INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) "
                                                    "SELECT i, 'Клиент ' || i, '0', 0 FROM n"));
        execSql(db,
                rows(kArticles) + QStringLiteral("INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, "
                                                 "Valuta_P, Garancionen) SELECT i, 'Апарат ' || i, 1, 100, "
                                                 "'Лева', 'True' FROM n"));
        execSql(db,
                rows(kDocuments) +
                    QStringLiteral("INSERT INTO Garancia_dostavtchik (ID, ID_Kontrag, Vid_Dok, ID_Dok, Data, "
                                   "Zabel) SELECT i, i % %1 + 1, 3, 'К-' || i, '2025-06-01', '' FROM n")
                        .arg(kClients));
        // Serial numbers "SN-<i>", ten to a document.
        execSql(db,
                rows(kSerials) +
                    QStringLiteral("INSERT INTO Serials (ID_Karta, ID, Model, Partida, Serial_ID, Data) "
                                   "SELECT (i - 1) / 10 + 1, i % %1 + 1, 'M-' || (i % 50), 'P-' || (i % 70), "
                                   "'SN-' || i, '2027-06-01' FROM n")
                        .arg(kArticles));
        // Every tenth sale sells a serial number of the register.
        execSql(db, rows(kSales) +
                        QStringLiteral(
                            "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, "
                            "Kol, ED_Cena, Valuta, ID_Klient, T_O, Konsign_N, Pored_Ot, Pored_Do, "
                            "Type_Pay, Term_N, Sklad_ID) SELECT i, i % %1 + 1, 'Касиер', '2026-01-01', "
                            "'10:00:00', 1, 2.5, 'Лева', i % %2, 0, 0, CASE WHEN i % 10 = 0 THEN "
                            "'SN-' || (i / 10) ELSE '' END, '', 'в брой', 1, 1 FROM n")
                            .arg(kArticles)
                            .arg(kClients));
        // Items issued from repair: every second serial number, two lines each.
        execSql(db, rows(kIssued) +
                        QStringLiteral(
                            "INSERT INTO R_Priem (N_Priem, Barkod, S_N, Opisanie, Pri4ina, Gar, ID_Kontrag, "
                            "Data_Priem, Time_Priem, Operator, ID_Dostav4ik, Data_Izd, Time_Izd) "
                            "SELECT i, i % %1 + 1, 'SN-' || (2 * i), 'Апарат', 'Не работи', 'False', "
                            "i % %2 + 1, '2026-01-05', '09:00:00', 'Иван', 0, '2026-01-20', "
                            "'16:00:00' FROM n")
                            .arg(kArticles)
                            .arg(kClients));
        execSql(db, rows(2 * kIssued) +
                        QStringLiteral(
                            "INSERT INTO R_Remont (N_Priem, Remont, Kol, ED_Cena, Valuta, Garan_Remont, "
                            "SN, Zamqna, Oper_Remont, ID) SELECT (i + 1) / 2, 'Ремонт', 1, 10, 'Лева', "
                            "'2026-07-20', '', 'False', 'Иван', i FROM n"));
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

// The four lookups of Enter in the serial field.
int lookUp(const QSqlDatabase& db, const QString& serial, bool contains) {
    const SerialLookup found = lookupSerial(db, serial, contains);
    const SqlStatement dossier = dossierStatement(serial);
    const SqlRows repairs = readRows(db, dossier.text, dossier.values);
    return int(found.serials.size() + repairs.rows.size() + (found.sale ? 1 : 0) + (found.supplier ? 1 : 0));
}

void BM_Lookup(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    qint64 k = 1;
    int found = 0;
    for (auto _ : state) {
        k = k * 7919 % kSerials + 1;
        found += lookUp(db, QStringLiteral("sn-%1").arg(k), false);
    }
    // Every serial is in the register, has a supplier document and was sold.
    if (found < 3 * int(state.iterations()))
        state.SkipWithError("a lookup found less than it should");
}
BENCHMARK(BM_Lookup)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_LookupContains(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    qint64 k = 1;
    for (auto _ : state) {
        k = k * 7919 % kSerials + 1;
        benchmark::DoNotOptimize(lookUp(db, QStringLiteral("n-%1").arg(k), true));
    }
}
BENCHMARK(BM_LookupContains)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
