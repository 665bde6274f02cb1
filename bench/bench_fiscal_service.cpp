// The fiscal service's device lookup and tax-office file over 50,000
// registered devices (5,000 owners with a site each, ten models) and
// 1,000,000 sale lines, each with a serial number. The lookup of a
// registered device (one row with its owner, person, site, model, service
// centre, tax office, sealing company and contract) should stay under
// 20 ms; the lookup of a device not registered adds the search of the
// shop's sales for exactly its number, through the serial's UPPER index. The
// tax-office file is read, built and written for a period of 9,999 devices
// (the most its four-digit count can say) and should stay under 2 s.

#include "common/sql.h"
#include "fiscal_service/devices.h"
#include "fiscal_service/tax_office_file.h"
#include "support/company_database.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <memory>
#include <random>
#include <stdexcept>

using namespace torvika;

namespace {

constexpr qsizetype kDevices = 50'000;
constexpr qsizetype kOwners = 5'000;
constexpr qsizetype kSales = 1'000'000;
constexpr qsizetype kModels = 10;
constexpr qsizetype kInPeriod = kTaxOfficeMaxDevices;
constexpr std::uint32_t kSeed = 20240611;
// Counterparty keys: the owners from 1, then the service centre, the tax
// office and the sealing company.
constexpr qint64 kService = kOwners + 1, kTaxOffice = kOwners + 2, kSealer = kOwners + 3;

QString device(qsizetype i) {
    return QStringLiteral("DT%1").arg(i + 1, 6, 10, QLatin1Char('0'));
}
// Serial numbers of sold devices: those of the registered ones and as many
// again that are not registered, the rest other articles' serials.
QString soldSerial(qsizetype i) {
    if (i < 2 * kDevices)
        return QStringLiteral("DT%1").arg(i + 1, 6, 10, QLatin1Char('0')).toLower();
    return QStringLiteral("SN%1").arg(i, 8, 10, QLatin1Char('0'));
}

struct Dataset {
    bench::CompanyDatabase company;

    Dataset() {
        company.insertRows(
            QStringLiteral("INSERT INTO Klienti (ID, Ime_Klient, Grad, EGN) VALUES (?, ?, ?, ?)"), kOwners,
            [](qsizetype i) {
                return QVariantList{qint64(i + 1), QStringLiteral("Лице %1").arg(i + 1),
                                    QStringLiteral("София"), QStringLiteral("%1").arg(7500000000 + i)};
            });
        company.insertRows(
            QStringLiteral("INSERT INTO Firmi (ID, Ime_Firma, Grad, Adres_Firma, EIK, Telefon, "
                           "ID_Mol, Nomer_Grupa) VALUES (?, ?, ?, ?, ?, ?, ?, 0)"),
            kOwners + 3, [](qsizetype i) {
                const qint64 id = i + 1;
                return QVariantList{id,
                                    QStringLiteral("Фирма %1 ЕООД").arg(id),
                                    QStringLiteral("Пловдив"),
                                    QStringLiteral("ул. Марица %1").arg(id),
                                    QStringLiteral("%1").arg(100000000 + id),
                                    QStringLiteral("032 %1").arg(id),
                                    id <= kOwners ? id : 0};
            });
        company.insertRows(
            QStringLiteral("INSERT INTO Kontrag_Sklad (ID_Sk, Opisanie_Sk, Grad_SK, Adres_SK, "
                           "Tel_SK, MOL_SK, ID_Kontrag) VALUES (?, ?, 'София', 'ул. Лале', "
                           "'0888', 'Мария', ?)"),
            kOwners, [](qsizetype i) {
                return QVariantList{qint64(i + 1), QStringLiteral("Обект %1").arg(i + 1), qint64(i + 1)};
            });
        company.insertRows(QStringLiteral("INSERT INTO SV_BIM (ID, Model_Opis, SV_ID, SV_Data, ID_Plomb) "
                                          "VALUES (?, ?, ?, '2008-04-01', ?)"),
                           kModels, [](qsizetype i) {
                               return QVariantList{qint64(i + 1), QStringLiteral("Модел %1").arg(i + 1),
                                                   QString::number(1000 + i), kSealer};
                           });
        // The first kInPeriod devices are registered in 2024, the rest in 2023.
        company.insertRows(QStringLiteral("INSERT INTO Reg_EKA (Dosie_ID, EKA, MFP, Model, Svid_N, Data_Reg, "
                                          "Time_Reg, ID_Serv, TDD_ID, ID_Kontrag, ID_Sklad) "
                                          "VALUES (?, ?, ?, ?, ?, ?, '10:00:00', ?, ?, ?, ?)"),
                           kDevices, [](qsizetype i) {
                               const qint64 owner = i % kOwners + 1;
                               const QDate day = QDate(i < kInPeriod ? 2024 : 2023, 1, 1).addDays(i % 365);
                               return QVariantList{qint64(i + 1),
                                                   device(i),
                                                   QStringLiteral("02%1").arg(i),
                                                   qint64(i % kModels + 1),
                                                   QString::number(1000 + i % kModels),
                                                   day.toString(Qt::ISODate),
                                                   kService,
                                                   kTaxOffice,
                                                   owner,
                                                   owner};
                           });
        company.insertRows(
            QStringLiteral("INSERT INTO Dogovor (Dog_ID, Prefics_ID, EKA, Vid_Dog, Dog_Ot, "
                           "Valid_Do) VALUES (?, '', ?, 'Абонамент', '2024-01-01', '2025-01-01')"),
            kDevices, [](qsizetype i) {
                return QVariantList{QString::number(i + 1).rightJustified(10, u'0'), device(i)};
            });
        std::mt19937 rng(kSeed);
        company.insertRows(
            QStringLiteral("INSERT INTO Prodajbi (ID_Prodajba, ID_Art, D_Prodajba, Kol, ID_Klient, "
                           "Pored_Ot, Pored_Do) VALUES (?, ?, '2023-12-01', 1, ?, ?, ?)"),
            kSales, [&rng](qsizetype i) {
                return QVariantList{qint64(i / 3 + 1), qint64(rng() % 1000 + 1), qint64(rng() % kOwners + 1),
                                    soldSerial(i), QStringLiteral("02%1").arg(i)};
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

// A registered device, typed in lower case.
void lookUpRegistered(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    std::mt19937 rng(kSeed);
    for (auto _ : state) {
        const auto d = lookUpDevice(db, device(qsizetype(rng() % kDevices)).toLower());
        if (!d || !d->contract || !d->taxOffice.found)
            throw std::runtime_error("a registered device was not found whole");
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(lookUpRegistered)->Unit(benchmark::kMillisecond);

// A device not registered but sold by the shop: the lookup finds nothing,
// and the sale prefills the registration.
void lookUpSoldNotRegistered(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    std::mt19937 rng(kSeed);
    for (auto _ : state) {
        const QString number = device(kDevices + qsizetype(rng() % kDevices));
        if (lookUpDevice(db, number))
            throw std::runtime_error("a device not registered was found");
        const auto sale = deviceSale(db, number);
        if (!sale || !sale->buyer.found)
            throw std::runtime_error("the sale of a sold device was not found");
        benchmark::DoNotOptimize(sale);
    }
}
BENCHMARK(lookUpSoldNotRegistered)->Unit(benchmark::kMillisecond);

// FISKAL.SER for the devices of 2024: read, built and written.
void taxOfficeFile(benchmark::State& state) {
    const QSqlDatabase db = dataset().company.db();
    QTemporaryDir dir;
    const TaxOfficeCompany company{"831234567", "Касов сервиз ООД", "Пловдив", "032 222", "Петър Георгиев"};
    for (auto _ : state) {
        const auto devices = taxOfficeDevices(db, QDate(2024, 1, 1), QDate(2024, 12, 31));
        if (devices.size() != kInPeriod)
            throw std::runtime_error("the period's devices were not all found");
        writeTaxOfficeFile(dir.filePath(QStringLiteral("FISKAL.SER")),
                           taxOfficeFileBytes(company, QDate(2024, 1, 1), QDate(2024, 12, 31), devices));
    }
    state.counters["devices"] = double(kInPeriod);
}
BENCHMARK(taxOfficeFile)->Unit(benchmark::kMillisecond);

} // namespace
