// Bringing data in and out: 100,000 articles imported from a numbered-field
// file into a fresh company database (one transaction, progress asked for
// on every line), the same articles exported to a file, and a revision of
// 10,000 counted lines saved (one transaction that moves the stock of each
// article by its difference). Each import and each revision runs on a
// database of its own, made outside the timing. Targets: the import under
// 10 s on SQLite and 30 s on PostgreSQL, the export under 3 s, the revision
// under 2 s.

#include "catalogue/data_export.h"
#include "catalogue/data_import.h"
#include "catalogue/revision.h"
#include "common/numbered_fields.h"
#include "common/sql.h"
#include "support/company_database.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QTime>
#include <benchmark/benchmark.h>
#include <memory>

using namespace torvika;

namespace {

constexpr qint64 kArticles = 100'000;
constexpr qint64 kGroups = 40;
constexpr qint64 kCounted = 10'000;

// Counts the calls, as the progress panel would be asked.
class CountingProgress : public Progress {
public:
    void start(int) override {}
    void setValue(int) override { ++values; }
    bool cancelled() override { return false; }
    void finish() override {}
    qint64 values = 0;
};

// The articles file: every field the export writes, Cyrillic text and the
// characters the format carries.
QString articlesFile(const QTemporaryDir& dir) {
    const QString name = dir.filePath(QStringLiteral("articles.txt"));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QByteArray chunk;
    for (qint64 id = 1; id <= kArticles; ++id) {
        const QString line = numberedFieldLine({
            {1, QString::number(id)},
            {2, QStringLiteral("КТ-%1").arg(id)},
            {3, QStringLiteral("Кабел \"%1\" 2:1").arg(id)},
            {4, QStringLiteral("%1.%2").arg(id % 500).arg(id % 100, 2, 10, QLatin1Char('0'))},
            {5, QStringLiteral("Лева")},
            {6, QStringLiteral("бр.")},
            {7, QStringLiteral("Група за внос %1").arg(id % kGroups)},
            {10, QStringLiteral("0")},
            {11, QStringLiteral("1")},
            {12, id % 2 ? QStringLiteral("True") : QStringLiteral("False")},
            {13, QStringLiteral("False")},
        });
        chunk += line.toUtf8() + "\r\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    return name;
}

void importArticlesFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString fileName = articlesFile(dir);
    if (fileName.isEmpty()) {
        state.SkipWithError("the articles file could not be written");
        return;
    }
    const QString tree = dir.filePath(QStringLiteral("Opis.pdt"));
    qint64 added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto company = std::make_unique<bench::CompanyDatabase>();
        QFile::remove(tree);
        CountingProgress progress;
        state.ResumeTiming();
        const ArticleImport result = importArticles(company->db(), tree, fileName, false, progress);
        state.PauseTiming();
        added = result.report.added;
        company.reset();
        state.ResumeTiming();
    }
    if (added != kArticles)
        state.SkipWithError("the import did not add every article");
    state.counters["articles"] = double(added);
}
BENCHMARK(importArticlesFile)->Unit(benchmark::kSecond)->Iterations(2);

void exportArticlesFile(benchmark::State& state) {
    bench::CompanyDatabase company;
    company.insertRows(QStringLiteral("INSERT INTO Grupi (ID, Opisanie) VALUES (?, ?)"), kGroups,
                       [](qsizetype i) {
                           return QVariantList{qint64(i + 1), QStringLiteral("Група %1").arg(i + 1)};
                       });
    company.insertRows(
        QStringLiteral("INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, "
                       "Mqrka, Kasovo_ime, Etiketno_ime) VALUES (?, ?, ?, ?, ?, 'Лева', 'бр.', ?, ?)"),
        kArticles, [](qsizetype i) {
            const qint64 id = i + 1;
            const QString name = QStringLiteral("Артикул \"%1\"").arg(id);
            return QVariantList{id,
                                QStringLiteral("%1_%2").arg(id % kGroups + 1).arg(id),
                                id % kGroups + 1,
                                name,
                                double(id % 97) + 0.5,
                                name,
                                name};
        });
    company.settleAfterLoad();
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("export.txt"));
    const ExportSource source = articleExportSource();
    const QList<bool> chosen(source.fields.size(), true);
    qint64 written = 0;
    for (auto _ : state) {
        CountingProgress progress;
        written = writeExport(company.db(), source, chosen, ExportFormat{}, fileName, progress);
    }
    if (written != kArticles)
        state.SkipWithError("the export did not write every article");
    state.counters["articles"] = double(written);
}
BENCHMARK(exportArticlesFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void saveRevision(benchmark::State& state) {
    qint64 lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto company = std::make_unique<bench::CompanyDatabase>();
        company->insertRows(QStringLiteral("INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, "
                                           "Ed_Cena, Valuta_P, Mqrka) VALUES (?, ?, 1, ?, ?, 'Лева', 'бр.')"),
                            kCounted, [](qsizetype i) {
                                const qint64 id = i + 1;
                                return QVariantList{id, QStringLiteral("1_%1").arg(id),
                                                    QStringLiteral("Артикул %1").arg(id),
                                                    double(id % 50) + 0.25};
                            });
        company->insertRows(QStringLiteral("INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (?, 1, ?)"),
                            kCounted / 2, [](qsizetype i) {
                                return QVariantList{qint64(i * 2 + 1), 10.5};
                            });
        auto draft = std::make_unique<RevisionDraft>(company->db(), 1);
        for (qint64 id = 1; id <= kCounted; ++id)
            draft->addCount(id, Decimal(id % 30).divided(4, 3));
        lines = draft->lineCount();
        state.ResumeTiming();
        draft->save(QDate::currentDate(), QTime::currentTime(), QStringLiteral("Справка налично"));
        state.PauseTiming();
        const qint64 stored =
            scalarSql(company->db(), QStringLiteral("SELECT COUNT(*) FROM Revision_Art"), {}).toLongLong();
        if (stored != kCounted)
            state.SkipWithError("the revision did not store every line");
        draft.reset();
        company.reset();
        state.ResumeTiming();
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(saveRevision)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
