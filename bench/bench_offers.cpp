// Supplier price lists: a catalogue of 200,000 article lines (1,000 groups)
// imported into a fresh company database (one transaction, progress asked
// for as the window asks it); and, over 500,000 imported articles of five
// suppliers, a click on a group (its figures and its first screen of rows)
// and searches by description (a rare and a common text: the count, the
// price bounds and the first screen of rows). Targets: the import under
// 15 s on SQLite and 30 s on PostgreSQL, a group under 100 ms, a search
// under 1 s.

#include "common/sql.h"
#include "offers/supplier_lists.h"
#include "support/company_database.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace torvika;

namespace {

constexpr qint64 kImportLines = 200'000;
constexpr qint64 kGroupsPerFile = 1'000;
constexpr qint64 kSearched = 500'000;
constexpr qint64 kSuppliers = 5;
constexpr qint64 kFirstScreen = 200;

const QStringList kColours{QStringLiteral("червен"), QStringLiteral("син"),  QStringLiteral("зелен"),
                           QStringLiteral("черен"),  QStringLiteral("бял"),  QStringLiteral("жълт"),
                           QStringLiteral("сив"),    QStringLiteral("кафяв")};

QString articleName(qint64 id) {
    return QStringLiteral("Монитор модел %1 цвят %2").arg(id).arg(kColours[id % kColours.size()]);
}

class CountingProgress : public Progress {
public:
    void start(int) override {}
    void setValue(int) override { ++values; }
    bool cancelled() override { return false; }
    void finish() override {}
    qint64 values = 0;
};

QString catalogueFile(const QTemporaryDir& dir) {
    const QString name = dir.filePath(QStringLiteral("catalogue.txt"));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QByteArray chunk = "16:[Доставчик за внос]\t17:[София]\t18:[02 000]\t19:[]\r\n";
    const qint64 perGroup = kImportLines / kGroupsPerFile;
    for (qint64 id = 1; id <= kImportLines; ++id) {
        if ((id - 1) % perGroup == 0)
            chunk += QStringLiteral("11:[Група %1]\r\n").arg((id - 1) / perGroup + 1).toUtf8();
        chunk += QStringLiteral("1:[%1]\t2:[%2,%3]\t3:[%4]\t4:[0]\t5:[%5]\t6:[наличен]\t7:[KT-%6]\r\n")
                     .arg(articleName(id))
                     .arg(id % 900)
                     .arg(id % 100, 2, 10, QLatin1Char('0'))
                     .arg(id % 800)
                     .arg(id % 3 ? QStringLiteral("Лева") : QStringLiteral("EUR"))
                     .arg(id)
                     .toUtf8();
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    return name;
}

void importSupplierCatalogue(benchmark::State& state) {
    QTemporaryDir dir;
    const QString fileName = catalogueFile(dir);
    if (fileName.isEmpty()) {
        state.SkipWithError("the catalogue file could not be written");
        return;
    }
    const QString tree = dir.filePath(QStringLiteral("CL.pdt"));
    int stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto company = std::make_unique<bench::CompanyDatabase>();
        QFile::remove(tree);
        CountingProgress progress;
        state.ResumeTiming();
        const SupplierListImport result =
            importSupplierList(company->db(), tree, fileName, std::nullopt, progress);
        state.PauseTiming();
        stored = result.articles;
        company.reset();
        state.ResumeTiming();
    }
    if (stored != kImportLines)
        state.SkipWithError("the import did not store every article");
    state.counters["articles"] = double(stored);
}
BENCHMARK(importSupplierCatalogue)->Unit(benchmark::kSecond)->Iterations(2);

// 500,000 articles of five suppliers, 1,000 groups each, loaded once.
bench::CompanyDatabase& searchedLists() {
    static std::unique_ptr<bench::CompanyDatabase> company = [] {
        auto c = std::make_unique<bench::CompanyDatabase>();
        c->insertRows(QStringLiteral("INSERT INTO Firm_CL (ID, Opisanie) VALUES (?, ?)"), kSuppliers,
                      [](qsizetype i) {
                          return QVariantList{qint64(i + 1), QStringLiteral("Доставчик %1").arg(i + 1)};
                      });
        c->insertRows(QStringLiteral("INSERT INTO Grupi_CL (ID, Opisanie, ID_F) VALUES (?, ?, ?)"),
                      kSuppliers * kGroupsPerFile, [](qsizetype i) {
                          return QVariantList{qint64(i % kGroupsPerFile + 1),
                                              QStringLiteral("Група %1").arg(i % kGroupsPerFile + 1),
                                              qint64(i / kGroupsPerFile + 1)};
                      });
        c->insertRows(
            QStringLiteral("INSERT INTO Art_CL (ID, Opisanie, Cena_1, Cena_2, Cena_3, Valuta, Status, "
                           "ID_G, ID_F, Kat_N) VALUES (?, ?, ?, ?, 0, 'Лева', 'наличен', ?, ?, ?)"),
            kSearched, [](qsizetype i) {
                const qint64 id = i + 1;
                return QVariantList{id,
                                    articleName(id),
                                    double(id % 900) + 0.5,
                                    double(id % 800),
                                    qint64(i % kGroupsPerFile + 1),
                                    qint64(i / kGroupsPerFile % kSuppliers + 1),
                                    QStringLiteral("KT-%1").arg(id)};
            });
        c->settleAfterLoad();
        return c;
    }();
    return *company;
}

// What the window reads for a statement: its figures and its first screen.
qint64 showStatement(const QSqlDatabase& db, const SqlStatement& s) {
    const SelectionFigures f = selectionFigures(db, s);
    readRows(db, s.text, s.values, int(kFirstScreen));
    return f.count;
}

void clickGroup(benchmark::State& state) {
    bench::CompanyDatabase& company = searchedLists();
    qint64 shown = 0;
    qint64 group = 0;
    for (auto _ : state) {
        group = group % kGroupsPerFile + 1;
        shown = showStatement(company.db(), supplierGroupArticles(3, group));
    }
    if (shown != kSearched / kSuppliers / kGroupsPerFile)
        state.SkipWithError("the group did not show its articles");
    state.counters["articles"] = double(shown);
}
BENCHMARK(clickGroup)->Unit(benchmark::kMillisecond)->Iterations(20);

void searchDescription(benchmark::State& state, const QString& text, qint64 expected) {
    bench::CompanyDatabase& company = searchedLists();
    qint64 found = 0;
    for (auto _ : state) {
        const std::optional<SqlStatement> s =
            supplierSearch(company.db(), SupplierSearch::Description, text, {1, 2, 3, 4, 5});
        found = showStatement(company.db(), *s);
    }
    if (found != expected)
        state.SkipWithError("the search did not find what it should");
    state.counters["found"] = double(found);
}
BENCHMARK_CAPTURE(searchDescription, rare, QStringLiteral("модел 123456 "), 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(searchDescription, common, QStringLiteral("ЦВЯТ ЧЕРВЕН"), kSearched / 8)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
