// The article catalogue over 200,000 articles in 2,000 groups with 400,000
// barcodes and 50,000 serial numbers:
//
// - the lookups a till makes (article number, barcode, serial number,
//   catalogue number), each beside the same statement on a bare connection
//   of the engine (the sqlite3 C API on SQLite, libpq on a PostgreSQL server
//   named by TORVIKA_BENCH_PG): the ratio is what our layer costs;
// - the catalogue window's first screen of a group of 5,000 articles and of
//   "Всички артикули" (500 rows, the grid's page), with the group tree file
//   of 2,000 groups read as the window reads it on opening;
// - a part-of-word Cyrillic name search through the name index, checked to
//   find exactly the rows a scan finds.

#include "catalogue/article_groups.h"
#include "catalogue/article_lists.h"
#include "catalogue/articles.h"
#include "common/sql.h"
#include "common/sql_dialect.h"
#include "common/tree_file.h"
#include "support/company_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <libpq-fe.h>
#include <memory>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

using namespace torvika;

namespace {

constexpr qint64 kArticles = 200'000;
constexpr qint64 kGroups = 2'000;
constexpr qint64 kBarcodesPerArticle = 2;
constexpr qint64 kSerials = 50'000;
// Group 1 holds every 40th article: 5,000 of them.
constexpr qint64 kBigGroup = 1;
constexpr qint64 kBigGroupStep = 40;
constexpr int kPage = 500;   // the grid's page
constexpr int kKeys = 1'000; // lookups cycle through this many keys
constexpr std::uint32_t kSeed = 20260310;

// Article names as a shop's catalogue holds them: a kind of goods, a brand
// or a variety, a pack size ("Бира Загорка 0.5 л", "Кафе Лаваца мляно 250 г").
class NameGenerator {
public:
    QString next() {
        const Kind& k = kKinds[rng_() % std::size(kKinds)];
        QString name = QString::fromUtf8(k.kind) + u' ' + pick(k.brands);
        if (rng_() % 3 == 0)
            name += u' ' + pick(kQualities);
        return name + u' ' + pick(k.sizes);
    }
    std::uint32_t number(std::uint32_t below) { return rng_() % below; }

private:
    struct Kind {
        const char* kind;
        QStringList brands;
        QStringList sizes;
    };
    const QString& pick(const QStringList& list) {
        return list[qsizetype(rng_() % std::uint32_t(list.size()))];
    }

    inline static const QStringList kQualities{"био",  "екстра",  "премиум", "класик",
                                               "лайт", "домашно", "пикантно"};
    inline static const Kind kKinds[] = {
        {"Бира",
         {"Загорка", "Каменица", "Шуменско", "Пиринско", "Болярка", "Ариана", "Астика"},
         {"0.5 л", "0.33 л", "2 л"}},
        {"Кафе", {"Лаваца", "Нова Бразилия", "Якобс", "Чибо", "Идеал", "Дола"}, {"250 г", "500 г", "1 кг"}},
        {"Сирене", {"Маджаров", "Елена", "Бор Чвор", "Родопи", "Деликатеси"}, {"400 г", "1 кг", "200 г"}},
        {"Кашкавал", {"Витоша", "Маджаров", "Елена", "Родопа"}, {"400 г", "1 кг"}},
        {"Минерална вода", {"Девин", "Банкя", "Горна баня", "Хисар", "Велинград"}, {"0.5 л", "1.5 л", "6 л"}},
        {"Олио", {"Бисер", "Кристал", "Краси", "Слънчогледово"}, {"1 л", "3 л", "5 л"}},
        {"Захар", {"Захарни заводи", "Кристал"}, {"1 кг", "5 кг"}},
        {"Шоколад", {"Милка", "Своге", "Кристал", "Мура"}, {"100 г", "80 г", "250 г"}},
        {"Бисквити", {"Закуска", "Белвита", "Детски", "Чайни"}, {"200 г", "400 г"}},
        {"Прах за пране", {"Ариел", "Персил", "Тайд", "Бонукс"}, {"2 кг", "4 кг", "6 кг"}},
        {"Препарат за съдове", {"Фейри", "Пур", "Медикс"}, {"0.5 л", "1 л"}},
        {"Кабел", {"USB-C", "HDMI", "захранващ", "удължител"}, {"1 м", "2 м", "5 м"}},
        {"Крушка", {"LED", "халогенна", "енергоспестяваща"}, {"E27 9W", "E14 5W", "GU10 7W"}},
        {"Винт", {"самонарезен", "за дърво", "метрически"}, {"3x16", "4x30", "5x50", "M6x20"}},
        {"Боя", {"Оргахим", "Декорал", "Хелиос"}, {"0.75 л", "2.5 л", "15 л"}},
        {"Тетрадка", {"Брайт", "Уни", "Пачи"}, {"А4 100 л.", "А5 60 л.", "А4 60 л."}},
        {"Сок", {"Queen's", "Florina", "Капи", "Prestige"}, {"1 л", "0.25 л", "2 л"}},
        {"Вино", {"Мерло", "Каберне", "Мавруд", "Мелник", "Траминер"}, {"0.75 л", "1.5 л"}},
        {"Хляб", {"Добруджа", "типов", "ръжен", "пълнозърнест"}, {"500 г", "700 г"}},
        {"Кисело мляко", {"Верея", "Данон", "Елена", "Бор Чвор"}, {"400 г", "1 кг"}},
    };
    std::mt19937 rng_{kSeed};
};

// An EAN-13 code from a number, with its check digit.
QString ean13(qint64 n) {
    const QString digits = QStringLiteral("380") + QStringLiteral("%1").arg(n, 9, 10, QChar(u'0'));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (digits[i].unicode() - u'0') * (i % 2 ? 3 : 1);
    return digits + QChar(u'0' + (10 - sum % 10) % 10);
}

qint64 groupOf(qint64 id) {
    if (id % kBigGroupStep == 0)
        return kBigGroup;
    return 2 + id % (kGroups - 1);
}

// A connection to the company database that bypasses our layer and Qt, as
// a C program would have it. A lookup takes a statement with one "?" and
// its key, runs it once and reads every row.
class BareConnection {
public:
    virtual ~BareConnection() = default;
    virtual qsizetype lookup(const QByteArray& sql, const QVariant& key) = 0;
};

// SQLite: prepare, bind, step, finalize.
class BareSqlite : public BareConnection {
public:
    explicit BareSqlite(const QString& file) {
        if (sqlite3_open_v2(file.toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("bare connection: ") + sqlite3_errmsg(db_));
    }
    ~BareSqlite() override { sqlite3_close(db_); }
    qsizetype lookup(const QByteArray& sql, const QVariant& key) override {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        QByteArray text;
        if (key.typeId() == QMetaType::LongLong) {
            sqlite3_bind_int64(st, 1, key.toLongLong());
        } else {
            text = key.toString().toUtf8();
            sqlite3_bind_text(st, 1, text.constData(), int(text.size()), SQLITE_STATIC);
        }
        qsizetype rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_int64(st, 0));
            ++rows;
        }
        sqlite3_finalize(st);
        return rows;
    }

private:
    sqlite3* db_ = nullptr;
};

// PostgreSQL through libpq: one PQexecParams per lookup (parse, bind and
// execute in one round trip), the key sent as text, every row read.
class BarePostgres : public BareConnection {
public:
    explicit BarePostgres(const Alias& a) {
        // libpq's keyword values, each in quotes with \ and ' escaped.
        auto value = [](const QString& v) {
            QString e = v;
            e.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
            return u'\'' + e + u'\'';
        };
        const QString info = QStringLiteral("host=%1 port=%2 dbname=%3 user=%4")
                                 .arg(value(a.host))
                                 .arg(a.port)
                                 .arg(value(a.database), value(a.user));
        conn_ = PQconnectdb(info.toUtf8().constData());
        if (PQstatus(conn_) != CONNECTION_OK)
            throw std::runtime_error(std::string("bare connection: ") + PQerrorMessage(conn_));
    }
    ~BarePostgres() override { PQfinish(conn_); }
    qsizetype lookup(const QByteArray& sql, const QVariant& key) override {
        QByteArray text = sql;
        text.replace('?', "$1");
        const QByteArray param = key.toString().toUtf8();
        const char* values[] = {param.constData()};
        PGresult* r = PQexecParams(conn_, text.constData(), 1, nullptr, values, nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_TUPLES_OK) {
            const std::string error = PQerrorMessage(conn_);
            PQclear(r);
            throw std::runtime_error(error);
        }
        const int rows = PQntuples(r);
        for (int i = 0; i < rows; ++i)
            benchmark::DoNotOptimize(PQgetvalue(r, i, 0));
        PQclear(r);
        return rows;
    }

private:
    PGconn* conn_ = nullptr;
};

// The company database with the generated catalogue, a bare connection to
// it, every name, and the keys the lookups cycle through.
struct Dataset {
    bench::CompanyDatabase company;
    QTemporaryDir treeDir;
    std::unique_ptr<BareConnection> bare;
    QStringList names;
    std::vector<qint64> numbers;
    QStringList barcodes;
    QStringList serials;
    QStringList catalogueNumbers;

    Dataset() {
        NameGenerator gen;
        company.insertRows(QStringLiteral("INSERT INTO Grupi (ID, Opisanie) VALUES (?, ?)"), kGroups,
                           [](qsizetype i) {
                               return QVariantList{qint64(i + 1), QStringLiteral("Група %1").arg(i + 1)};
                           });
        names.reserve(kArticles);
        company.insertRows(
            QStringLiteral(
                "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Dostavna_Cena, Valuta_D, "
                "Ed_Cena, Valuta_P, Mqrka, Garancionen, Kasovo_Ime, Etiketno_Ime, Dostav4ik, Poredica, "
                "Min_Kol, Max_TO, Trajnost, Kod_Vezna, Dan_Grup, Prigotvq_Se) "
                "VALUES (?, ?, ?, ?, ?, 'Лева', ?, 'Лева', 'бр.', ?, ?, ?, 0, 'False', 1, 0, '1:30', ?, "
                "1, 0)"),
            kArticles, [&](qsizetype i) {
                const qint64 id = i + 1;
                const qint64 group = groupOf(id);
                const QString name = gen.next();
                names << name;
                const double price = 0.5 + gen.number(20000) / 100.0;
                return QVariantList{id,
                                    defaultCatalogueNumber(group, QString::number(id)),
                                    group,
                                    name,
                                    price * 0.7,
                                    price,
                                    id % 4 == 0 ? QStringLiteral("True") : QStringLiteral("False"),
                                    name.left(20),
                                    name.left(30),
                                    id};
            });
        company.insertRows(QStringLiteral("INSERT INTO Barkodes (ID, Barkode) VALUES (?, ?)"),
                           kArticles * kBarcodesPerArticle, [](qsizetype i) {
                               return QVariantList{qint64(i / kBarcodesPerArticle + 1), ean13(i)};
                           });
        company.insertRows(
            QStringLiteral("INSERT INTO Serials (ID_Karta, ID, Model, Partida, Serial_ID, Data) "
                           "VALUES (?, ?, '', '', ?, '2027-01-01')"),
            kSerials, [](qsizetype i) {
                return QVariantList{qint64(i / 100 + 1), qint64((i * 4) % kArticles + 4),
                                    QStringLiteral("SN%1").arg(i * 7919 % 100'000'000, 8, 16, QChar(u'0'))};
            });
        // The group tree: 1,999 top-level groups, each tenth with sub-groups.
        QList<TreeLine> tree{{0, QStringLiteral("Всички артикули")}};
        for (qint64 g = 1; g <= kGroups; ++g)
            tree.append({g % 10 == 0 || g == 1 ? 0 : 1, QStringLiteral("%1:Група %1").arg(g)});
        writeTreeFile(articleTreeFile(treeDir.path()), tree);

        std::mt19937 rng(kSeed);
        for (int k = 0; k < kKeys; ++k) {
            const qint64 id = 1 + qint64(rng() % kArticles);
            numbers.push_back(id);
            catalogueNumbers << defaultCatalogueNumber(groupOf(id), QString::number(id));
            barcodes << ean13(qint64(rng() % (kArticles * kBarcodesPerArticle)));
            const qint64 s = qint64(rng() % kSerials);
            serials << QStringLiteral("SN%1").arg(s * 7919 % 100'000'000, 8, 16, QChar(u'0'));
        }
        company.settleAfterLoad();
        if (company.engine() == SqlEngine::PostgreSQL)
            bare = std::make_unique<BarePostgres>(company.alias());
        else
            bare = std::make_unique<BareSqlite>(company.file());
    }
};

std::unique_ptr<Dataset> gDataset;

// Made on first use, outside every timed loop; dropped while the
// application still exists, as Qt's SQL connections expect.
Dataset& dataset() {
    if (!gDataset) {
        gDataset = std::make_unique<Dataset>();
        qAddPostRoutine([] { gDataset.reset(); });
    }
    return *gDataset;
}

enum class Lookup { Number, Barcode, Serial, CatalogueNumber };

// The statement each lookup of ours runs.
QByteArray lookupSql(Lookup l) {
    switch (l) {
    case Lookup::Number:
        return "SELECT ID FROM Produkti WHERE ID = ?";
    case Lookup::Barcode:
        return "SELECT ID FROM Barkodes WHERE Barkode = ?";
    case Lookup::Serial:
        return "SELECT ID FROM Serials WHERE Serial_ID = ?";
    case Lookup::CatalogueNumber:
        return "SELECT ID FROM Produkti WHERE Nomenkl_N = ?";
    }
    return {};
}

QVariant lookupKey(Lookup l, int k) {
    const Dataset& d = dataset();
    switch (l) {
    case Lookup::Number:
        return qint64(d.numbers[size_t(k)]);
    case Lookup::Barcode:
        return d.barcodes[k];
    case Lookup::Serial:
        return d.serials[k];
    case Lookup::CatalogueNumber:
        return d.catalogueNumbers[k];
    }
    return {};
}

qsizetype ourLookup(const QSqlDatabase& db, Lookup l, const QVariant& key) {
    switch (l) {
    case Lookup::Number:
        return articleByNumber(db, key.toLongLong()) ? 1 : 0;
    case Lookup::Barcode:
        return articlesByBarcode(db, key.toString()).size();
    case Lookup::Serial:
        return articlesBySerial(db, key.toString()).size();
    case Lookup::CatalogueNumber:
        return articlesByCatalogueNumber(db, key.toString()).size();
    }
    return 0;
}

void BM_Lookup_Ours(benchmark::State& state, Lookup l) {
    const QSqlDatabase db = dataset().company.db();
    qsizetype found = 0;
    for (int k = 0; k < kKeys; ++k)
        found += ourLookup(db, l, lookupKey(l, k));
    qsizetype bare = 0;
    for (int k = 0; k < kKeys; ++k)
        bare += dataset().bare->lookup(lookupSql(l), lookupKey(l, k));
    if (found < kKeys || found != bare) {
        state.SkipWithError("the lookups do not find the articles, or not the bare connection's");
        return;
    }
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ourLookup(db, l, lookupKey(l, k)));
        k = (k + 1) % kKeys;
    }
    state.counters["found"] = double(found) / kKeys;
}

void BM_Lookup_Bare(benchmark::State& state, Lookup l) {
    BareConnection& db = *dataset().bare;
    const QByteArray sql = lookupSql(l);
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.lookup(sql, lookupKey(l, k)));
        k = (k + 1) % kKeys;
    }
}

// The grid's first page of a statement, as StatementModel reads it.
qsizetype firstPage(const SqlStatement& s) {
    return readRows(dataset().company.db(), s.text, s.values, kPage, 0).rows.size();
}

void BM_GroupOf5000_FirstPage(benchmark::State& state) {
    const SqlStatement s = groupArticlesStatement(kBigGroup);
    const qsizetype all = readRows(dataset().company.db(), s.text, s.values).rows.size();
    if (all != kArticles / kBigGroupStep || firstPage(s) != kPage) {
        state.SkipWithError("the group does not hold its 5,000 articles");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(firstPage(s));
}

// Opening the window: the tree file read and the first page of every article.
void BM_OpenCatalogue(benchmark::State& state) {
    const QString file = articleTreeFile(dataset().treeDir.path());
    const SqlStatement s = allArticlesStatement();
    if (readArticleTree(file).size() != kGroups + 1 || firstPage(s) != kPage) {
        state.SkipWithError("the tree or the list is not complete");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(readArticleTree(file));
        benchmark::DoNotOptimize(firstPage(s));
    }
}

QList<qint64> allIds(const SqlStatement& s) {
    QList<qint64> ids;
    QSqlQuery q = execSql(dataset().company.db(), s.text, s.values);
    while (q.next())
        ids << q.value(0).toLongLong();
    return ids;
}

// A part-of-word name search of three letters or more: the grid's first page
// through the name index; the whole result must equal a scan's and the
// generated names that contain the text.
void BM_NameSearch(benchmark::State& state, const char* utf8) {
    const QString text = QString::fromUtf8(utf8);
    const QSqlDatabase db = dataset().company.db();
    const SqlStatement indexed = articleSearchStatement(
        ArticleCriterion::Description, ArticleComparison::Equal, text, {}, true, sqlEngine(db));
    const ContainsCondition scan =
        likeCondition(QStringLiteral("Produkti.Opisanie"), likeContains(text.toUpper()));
    const SqlStatement scanned{QStringLiteral("SELECT Produkti.ID FROM Produkti WHERE ") + scan.sql +
                                   QStringLiteral(" ORDER BY Produkti.ID"),
                               {scan.value}};
    const QList<qint64> found = allIds(indexed);
    qsizetype expected = 0;
    for (const QString& name : dataset().names)
        expected += name.contains(text, Qt::CaseInsensitive) ? 1 : 0;
    if (found != allIds(scanned) || found.size() != expected || !indexed.text.contains("Produkti_Names")) {
        state.SkipWithError("the name index does not find what a scan finds");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(firstPage(indexed));
    state.counters["rows"] = double(found.size());
}

// The same search reading every row it finds.
void BM_NameSearch_AllRows(benchmark::State& state, const char* utf8) {
    const QString text = QString::fromUtf8(utf8);
    const SqlStatement indexed =
        articleSearchStatement(ArticleCriterion::Description, ArticleComparison::Equal, text, {}, true,
                               sqlEngine(dataset().company.db()));
    qsizetype rows = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(rows = allIds(indexed).size());
    state.counters["rows"] = double(rows);
}

} // namespace

BENCHMARK_CAPTURE(BM_Lookup_Ours, number, Lookup::Number)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup_Bare, number, Lookup::Number)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup_Ours, barcode, Lookup::Barcode)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup_Bare, barcode, Lookup::Barcode)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup_Ours, serial, Lookup::Serial)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup_Bare, serial, Lookup::Serial)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup_Ours, catalogue_number, Lookup::CatalogueNumber)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup_Bare, catalogue_number, Lookup::CatalogueNumber)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GroupOf5000_FirstPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCatalogue)->Unit(benchmark::kMillisecond);
// "заг": a brand from inside names ("Бира Загорка"); "ЛАД": upper case
// typed for "Шоколад"; "вода": a kind of goods, many rows.
BENCHMARK_CAPTURE(BM_NameSearch, brand, "заг")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NameSearch, upper_case, "ЛАД")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NameSearch, kind, "вода")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NameSearch_AllRows, brand, "заг")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NameSearch_AllRows, kind, "вода")->Unit(benchmark::kMillisecond);
