// The counterparty quick search and the counterparty window's list over
// 100,000 companies, on the engine the benchmarks run on (SQLite, or the
// PostgreSQL server TORVIKA_BENCH_PG names; see support/company_database.h).
//
// A name search of three letters or more goes through the name index (an
// FTS5 trigram table on SQLite, a pg_trgm GIN index on PostgreSQL); the
// same search as a scan of UPPER(Ime_Firma) runs beside it, so the index's
// gain shows. Both must find exactly the generated names that contain the
// text, which is checked once before timing. The rows each found are the
// counter "rows".
//
// On SQLite each statement also runs on a bare connection (the sqlite3 C
// API, SQLite's own functions only). The ratio between the two is what our
// layer costs: QtSql, the QVariant and QString conversions, and our
// Unicode-aware UPPER and LIKE. SQLite's own UPPER and LIKE fold ASCII
// letters only, so on the bare connection a Cyrillic name search finds just
// the names that hold the upper-cased text literally (a legal form, say),
// not the rows a user means; its row count is reported beside ours but not
// compared with it. The list of all counterparties uses no function, and
// there both connections must return the same rows.

#include "common/errors.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "common/sql_dialect.h"
#include "common/sql_statement.h"
#include "counterparties/counterparties.h"
#include "support/company_database.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <vector>

using namespace torvika;

namespace {

constexpr qsizetype kCounterparties = 100'000;
constexpr std::uint32_t kSeed = 20240611;
// The list statements' columns: the grid's, the person's key and the group.
constexpr int kListColumnCount = kListColumnGroup + 1;
// The rows the list window reads first.
constexpr int kListPage = 500;

// Company names as they appear in a Bulgarian register: a coined word from
// a stem and an ending ("Агротех"), a stem and a second word ("Родопа
// Трейд"), a family business ("Братя Петрови"), or a sole trader named after
// the owner ("ЕТ Мария Колева"), each with its legal form. mt19937 and plain
// modulo keep the names the same on every machine.
class NameGenerator {
public:
    QString next() {
        const std::uint32_t kind = rng_() % 100;
        if (kind < 15)
            return QStringLiteral("ЕТ ") + ownerName();
        QString name;
        if (kind < 70)
            name = pick(kStems) + pick(kEndings);
        else if (kind < 90)
            name = pick(kStems) + u' ' + pick(kWords);
        else if (kind < 95)
            name = QStringLiteral("Братя ") + pick(kSurnames) + u'и';
        else
            name = pick(kSurnames) + QStringLiteral(" и син");
        return name + u' ' + legalForm();
    }

    QString town() { return pick(kTowns); }
    std::uint32_t number(std::uint32_t below) { return rng_() % below; }

private:
    const QString& pick(const QStringList& list) {
        return list[qsizetype(rng_() % std::uint32_t(list.size()))];
    }

    QString ownerName() {
        const std::uint32_t i = rng_() % std::uint32_t(kMen.size() + kWomen.size());
        if (i < std::uint32_t(kMen.size()))
            return kMen[i] + u' ' + pick(kSurnames);
        return kWomen[i - kMen.size()] + u' ' + pick(kSurnames) + u'а';
    }

    QString legalForm() {
        const std::uint32_t p = rng_() % 100;
        if (p < 50)
            return QStringLiteral("ЕООД");
        if (p < 80)
            return QStringLiteral("ООД");
        if (p < 88)
            return QStringLiteral("АД");
        if (p < 94)
            return QStringLiteral("ЕАД");
        return p < 97 ? QStringLiteral("СД") : QStringLiteral("КД");
    }

    inline static const QStringList kStems{
        "Агро",    "Авто",     "Алфа",  "Балкан", "Бул",     "Вит",     "Гео",     "Дар",    "Евро",
        "Електро", "Енерго",   "Зора",  "Интер",  "Калина",  "Комфорт", "Кристал", "Лукс",   "Мега",
        "Метал",   "Нео",      "Нова",  "Пирин",  "Петро",   "Про",     "Родопа",  "Рила",   "Сердика",
        "Софт",    "Строй",    "Тера",  "Техно",  "Транс",   "Хидро",   "Хелиос",  "Витоша", "Дунав",
        "Марица",  "Струма",   "Янтра", "Тракия", "Емона",   "Мизия",   "Орион",   "Вега",   "Сириус",
        "Фарма",   "Медико",   "Био",   "Еко",    "Инфо",    "Теле",    "Мебел",   "Пласт",  "Текс",
        "Санта",   "Делта",    "Омега", "Стела",  "Арго",    "Булгар",  "Европа",  "Папир",  "Котел",
        "Лозя",    "Винпром",  "Хлебо", "Млечен", "Топло",   "Водо",    "Бизнес",  "Стар",   "Ивел",
        "Албена",  "Странджа", "Видин", "Русе",   "Созопол", "Несебър", "Кипарис", "Ведра"};
    inline static const QStringList kEndings{
        "тех",        "инвест", "строй",  "трейд",    "комерс", "транс",    "сервиз", "консулт",
        "продукт",    "импекс", "маркет", "логистик", "груп",   "про",      "вест",   "лес",
        "инженеринг", "дизайн", "мед",    "агро",     "ойл",    "газ",      "пак",    "плам",
        "ком",        "нет",    "систем", "тур",      "текс",   "хол",      "мат",    "кар",
        "фуд",        "вин",    "стил",   "бетон",    "принт",  "електрик", "сат",    "табак"};
    inline static const QStringList kWords{
        "Трейд",     "Инвест", "Груп",   "Холдинг", "Консулт", "Сервиз",  "Маркет", "Търговия", "Експрес",
        "Лоджистик", "Строй",  "Дизайн", "Имоти",   "Финанс",  "Енерджи", "Медия",  "Принт",    "Фрут",
        "Вита",      "Стил",   "Хаус",   "Тур",     "Агро",    "Кооп",    "Травел", "Партнърс", "Солюшънс"};
    inline static const QStringList kSurnames{
        "Петров",   "Иванов",   "Георгиев",  "Димитров", "Николов",  "Стоянов",  "Тодоров",  "Христов",
        "Маринов",  "Атанасов", "Ангелов",   "Василев",  "Петков",   "Илиев",    "Колев",    "Костов",
        "Марков",   "Янков",    "Минков",    "Попов",    "Ганчев",   "Русев",    "Стефанов", "Кирилов",
        "Славов",   "Цветков",  "Симеонов",  "Добрев",   "Райчев",   "Бонев",    "Лазаров",  "Митев",
        "Радев",    "Пенев",    "Енчев",     "Жеков",    "Кънчев",   "Узунов",   "Киров",    "Аргиров",
        "Богданов", "Вълчев",   "Грозев",    "Делчев",   "Здравков", "Йорданов", "Коцев",    "Любенов",
        "Найденов", "Огнянов",  "Панайотов", "Сотиров",  "Табаков",  "Филипов",  "Чакъров",  "Шишков"};
    inline static const QStringList kMen{"Иван",   "Георги", "Димитър", "Николай", "Петър",    "Христо",
                                         "Стоян",  "Тодор",  "Ангел",   "Васил",   "Красимир", "Пламен",
                                         "Стефан", "Йордан", "Емил",    "Румен"};
    inline static const QStringList kWomen{"Мария",     "Елена",  "Йорданка", "Росица",    "Пенка",
                                           "Цветелина", "Милена", "Галина",   "Десислава", "Тодорка"};
    inline static const QStringList kTowns{"София",          "Пловдив", "Варна",   "Бургас",    "Русе",
                                           "Стара Загора",   "Плевен",  "Сливен",  "Добрич",    "Шумен",
                                           "Перник",         "Хасково", "Ямбол",   "Пазарджик", "Благоевград",
                                           "Велико Търново", "Враца",   "Габрово", "Казанлък",  "Видин"};

    std::mt19937 rng_{kSeed};
};

struct Bank {
    const char* name;
    const char* code;
};
const Bank kBanks[] = {{"УниКредит Булбанк", "UNCRBGSF"},
                       {"ОББ", "UBBSBGSF"},
                       {"Банка ДСК", "STSABGSF"},
                       {"Пощенска банка", "BPBIBGSF"},
                       {"Първа инвестиционна банка", "FINVBGSF"},
                       {"ЦКБ", "CECBBGSF"}};

// The company database with the generated counterparties, on SQLite a bare
// connection to the same file, and every name the table holds.
struct Dataset {
    bench::CompanyDatabase company;
    sqlite3* bare = nullptr;
    QStringList names;

    Dataset() {
        // The creation script's own rows ("Няма избран контрагент").
        QSqlQuery existing = execSql(company.db(), QStringLiteral("SELECT Ime_Firma FROM Firmi"));
        while (existing.next())
            names << existing.value(0).toString();
        existing.finish();

        NameGenerator gen;
        company.insertRows(
            QStringLiteral("INSERT INTO Firmi (ID, Ime_Firma, Grad, Adres_Firma, EIK, Dan_N, Telefon, "
                           "Banka_Ime, Banka_Kod, Banka_Smetka, T_O, Zabel, ID_Mol, Nomer_Grupa) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            kCounterparties, [&](qsizetype i) {
                const QString name = gen.next();
                names << name;
                const QString eik = QString::number(100'000'000 + gen.number(900'000'000));
                const Bank& bank = kBanks[gen.number(std::size(kBanks))];
                // BG, check digits, bank, branch, account: 22 characters.
                const QString account = QStringLiteral("BG%1%2%3%4")
                                            .arg(gen.number(100), 2, 10, QChar(u'0'))
                                            .arg(QString::fromLatin1(bank.code).left(4))
                                            .arg(gen.number(10'000), 4, 10, QChar(u'0'))
                                            .arg(gen.number(1'000'000'000), 10, 10, QChar(u'0'));
                const std::uint32_t discount[] = {0, 0, 0, 0, 2, 3, 5, 10};
                return QVariantList{
                    qint64(i + 1),
                    name,
                    gen.town(),
                    QStringLiteral("ул. „%1“ %2").arg(gen.town()).arg(1 + gen.number(120)),
                    eik,
                    gen.number(10) < 6 ? QStringLiteral("BG") + eik : QString(),
                    QStringLiteral("08%1 %2 %3")
                        .arg(gen.number(100), 2, 10, QChar(u'0'))
                        .arg(gen.number(1000), 3, 10, QChar(u'0'))
                        .arg(gen.number(1000), 3, 10, QChar(u'0')),
                    QString::fromUtf8(bank.name),
                    QString::fromLatin1(bank.code),
                    account,
                    double(discount[gen.number(std::size(discount))]),
                    QString(),
                    qint64(i + 1),
                    qint64(1 + gen.number(20)),
                };
            });
        company.settleAfterLoad();

        if (company.engine() == SqlEngine::SQLite &&
            sqlite3_open_v2(company.file().toUtf8().constData(), &bare, SQLITE_OPEN_READONLY, nullptr) !=
                SQLITE_OK)
            throw std::runtime_error(std::string("bare connection: ") + sqlite3_errmsg(bare));
    }
    ~Dataset() { sqlite3_close(bare); }

    QSqlDatabase db() const { return company.db(); }
    SqlEngine engine() const { return company.engine(); }

    // The names that contain the text, in any case: what a name search must find.
    qsizetype namesContaining(const QString& text) const {
        qsizetype n = 0;
        for (const QString& name : names)
            n += name.contains(text, Qt::CaseInsensitive) ? 1 : 0;
        return n;
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

// A statement's text and values made ready for the C API once, so that the
// timed loop does only what a C program would: prepare, bind, step, finalize.
class BareStatement {
public:
    explicit BareStatement(const SqlStatement& s) : text_(s.text.toUtf8()) {
        for (const QVariant& v : s.values) {
            Value b;
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
                b.kind = SQLITE_INTEGER;
                b.integer = v.toLongLong();
                break;
            case QMetaType::Double:
                b.kind = SQLITE_FLOAT;
                b.real = v.toDouble();
                break;
            default:
                b.kind = SQLITE_TEXT;
                b.text = v.toString().toUtf8();
            }
            values_.push_back(std::move(b));
        }
    }

    // Runs the statement, calling row(stmt) on every row; returns the rows.
    template <class Row> qsizetype run(sqlite3* db, Row&& row) const {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, text_.constData(), int(text_.size()), &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        for (int i = 0; i < int(values_.size()); ++i) {
            const Value& v = values_[size_t(i)];
            if (v.kind == SQLITE_INTEGER)
                sqlite3_bind_int64(st, i + 1, v.integer);
            else if (v.kind == SQLITE_FLOAT)
                sqlite3_bind_double(st, i + 1, v.real);
            else
                sqlite3_bind_text(st, i + 1, v.text.constData(), int(v.text.size()), SQLITE_STATIC);
        }
        qsizetype rows = 0;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            row(st);
            ++rows;
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db));
        return rows;
    }

private:
    struct Value {
        int kind = SQLITE_NULL;
        qint64 integer = 0;
        double real = 0;
        QByteArray text;
    };
    QByteArray text_;
    std::vector<Value> values_;
};

// Reads every column of the row the way a grid needs it.
void readBareRow(sqlite3_stmt* st) {
    const int columns = sqlite3_column_count(st);
    for (int c = 0; c < columns; ++c) {
        switch (sqlite3_column_type(st, c)) {
        case SQLITE_INTEGER:
            benchmark::DoNotOptimize(sqlite3_column_int64(st, c));
            break;
        case SQLITE_FLOAT:
            benchmark::DoNotOptimize(sqlite3_column_double(st, c));
            break;
        case SQLITE_NULL:
            break;
        default:
            benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            benchmark::DoNotOptimize(sqlite3_column_bytes(st, c));
        }
    }
}

// Ours: every column of every row through QSqlQuery::value.
qsizetype readOurList(const SqlStatement& s) {
    QSqlQuery q = execSql(dataset().db(), s.text, s.values);
    qsizetype rows = 0;
    while (q.next()) {
        for (int c = 0; c < kListColumnCount; ++c)
            benchmark::DoNotOptimize(q.value(c));
        ++rows;
    }
    return rows;
}

// The service page's quick search statement on the engine in use. The
// service page has no wildcard letters, so every letter is searched as typed.
SqlStatement quickSearchOf(const QString& text) {
    const std::optional<SqlStatement> s =
        quickSearchStatement(text, QuickSearchPage::Service, dataset().engine());
    if (!s)
        throw std::logic_error("the text runs no quick search");
    return *s;
}

// The same quick search as a scan: the program's condition on the name
// (through the name index for three letters or more) replaced by the scan
// of UPPER(Ime_Firma) (likeCondition), the rest of the statement as the
// program builds it.
SqlStatement quickSearchScanOf(const QString& text) {
    SqlStatement s = quickSearchOf(text);
    const ContainsCondition program =
        containsCondition(dataset().engine(), QStringLiteral("Firmi"), QStringLiteral("ID"),
                          QStringLiteral("Ime_Firma"), QStringLiteral("Firmi_Names"), text);
    if (!s.text.contains(program.sql) || s.values != QVariantList{program.value})
        throw std::logic_error("the quick search has no condition on the name");
    const ContainsCondition scan = likeCondition(QStringLiteral("Ime_Firma"), likeContains(text.toUpper()));
    s.text.replace(program.sql, scan.sql);
    s.values = {scan.value};
    return s;
}

// Makes the statements of the connection scan while it lives. On SQLite the
// scan's condition names no index, and nothing is needed. PostgreSQL's
// planner uses the trigram index for any LIKE on UPPER(Ime_Firma), the
// scan's "LIKE ? ESCAPE" too, so its index scans are turned off there.
class ScansOnly {
public:
    ScansOnly() {
        if (postgres_)
            for (const char* sql : {"SET enable_bitmapscan = off", "SET enable_indexscan = off"})
                execScriptStatement(dataset().db(), QString::fromLatin1(sql));
    }
    ~ScansOnly() {
        if (!postgres_)
            return;
        try {
            for (const char* sql : {"RESET enable_bitmapscan", "RESET enable_indexscan"})
                execScriptStatement(dataset().db(), QString::fromLatin1(sql));
        } catch (const Error& e) {
            std::fprintf(stderr, "the planner's index scans stay off: %s\n", qPrintable(e.message()));
        }
    }
    ScansOnly(const ScansOnly&) = delete;
    ScansOnly& operator=(const ScansOnly&) = delete;

private:
    const bool postgres_ = dataset().engine() == SqlEngine::PostgreSQL;
};

// What quickSearch does with its statement: the reference texts of the rows.
QStringList runQuickSearch(const SqlStatement& s) {
    QSqlQuery q = execSql(dataset().db(), s.text, s.values);
    QStringList items;
    while (q.next())
        items << refText(q.value(0).toLongLong(), q.value(1).toString());
    return items;
}

// A name search must find exactly the generated names that contain the text.
bool checkNameSearch(benchmark::State& state, const QString& text, qsizetype found) {
    if (found != dataset().namesContaining(text)) {
        state.SkipWithError("the search does not find the names that contain the text");
        return false;
    }
    return true;
}

void setRows(benchmark::State& state, qsizetype rows) {
    state.counters["rows"] = double(rows);
}

void BM_QuickSearch(benchmark::State& state, const QString& text) {
    const QSqlDatabase db = dataset().db();
    QStringList found = quickSearch(db, text, QuickSearchPage::Service);
    if (!checkNameSearch(state, text, found.size()))
        return;
    // The index must find the rows the scan finds (equal names may come in
    // either order).
    QStringList scanned;
    {
        const ScansOnly scansOnly;
        scanned = runQuickSearch(quickSearchScanOf(text));
    }
    std::sort(found.begin(), found.end());
    std::sort(scanned.begin(), scanned.end());
    if (found != scanned) {
        state.SkipWithError("the name index and the scan find different rows");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(quickSearch(db, text, QuickSearchPage::Service));
    setRows(state, found.size());
}

// The same quick search as a scan of every name, read the way quickSearch reads.
void BM_QuickSearchScan(benchmark::State& state, const QString& text) {
    const SqlStatement s = quickSearchScanOf(text);
    const ScansOnly scansOnly;
    const qsizetype rows = runQuickSearch(s).size();
    if (!checkNameSearch(state, text, rows))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(runQuickSearch(s));
    setRows(state, rows);
}

// The same statement text on the bare connection. Its LIKE folds ASCII
// letters only: the rows it finds are not the rows a user means.
void BM_QuickSearch_Bare(benchmark::State& state, const QString& text) {
    const BareStatement s(quickSearchOf(text));
    sqlite3* db = dataset().bare;
    auto row = [](sqlite3_stmt* st) {
        benchmark::DoNotOptimize(sqlite3_column_int64(st, 0));
        benchmark::DoNotOptimize(sqlite3_column_text(st, 1));
    };
    const qsizetype rows = s.run(db, row);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.run(db, row));
    setRows(state, rows);
}

// The first page of all counterparties by name, as the list window reads it.
void BM_CounterpartyListFirstPage(benchmark::State& state) {
    const SqlStatement s = groupListStatement(0);
    const QSqlDatabase db = dataset().db();
    const qsizetype rows = readRows(db, s.text, s.values, kListPage, 0).rows.size();
    if (rows != kListPage) {
        state.SkipWithError("the first page of the list is not full");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(readRows(db, s.text, s.values, kListPage, 0));
    setRows(state, rows);
}

// Every counterparty, every column.
void BM_CounterpartyList(benchmark::State& state) {
    const SqlStatement s = groupListStatement(0);
    const qsizetype rows = readOurList(s);
    if (rows != dataset().names.size() ||
        (dataset().bare && BareStatement(s).run(dataset().bare, readBareRow) != rows)) {
        state.SkipWithError("the list does not hold every counterparty");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(readOurList(s));
    setRows(state, rows);
}

void BM_CounterpartyList_Bare(benchmark::State& state) {
    const BareStatement s(groupListStatement(0));
    sqlite3* db = dataset().bare;
    const qsizetype rows = s.run(db, readBareRow);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.run(db, readBareRow));
    setRows(state, rows);
}

// The list's search by the name column (grid column 1), every row read.
SqlStatement nameSearch(const QString& text) {
    return listSearchStatement(1, Comparison::Equal, text, QString(), dataset().engine());
}

void BM_ListSearchByName(benchmark::State& state, const QString& text) {
    const SqlStatement s = nameSearch(text);
    const qsizetype rows = readOurList(s);
    if (!checkNameSearch(state, text, rows))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(readOurList(s));
    setRows(state, rows);
}

// The same statement text on the bare connection (ASCII-only LIKE, as above).
void BM_ListSearchByName_Bare(benchmark::State& state, const QString& text) {
    const BareStatement s(nameSearch(text));
    sqlite3* db = dataset().bare;
    const qsizetype rows = s.run(db, readBareRow);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.run(db, readBareRow));
    setRows(state, rows);
}

// The searched texts. "Аг": the first letters of a name as a cashier types
// them, too short for the index (a scan). "рот": three letters from inside
// names ("Агротех", "Евротранс"). "трейд" and "ТРЕЙД": a word of many
// names, in either case.
struct SearchText {
    const char* label;
    const char* utf8;
    bool throughIndex; // three letters or more: also timed as a scan
    bool listSearch;   // also timed as the list's search by name
};
const SearchText kTexts[] = {{"first_letters", "Аг", false, false},
                             {"inner_part", "рот", true, true},
                             {"word", "трейд", true, true},
                             {"word_upper", "ТРЕЙД", true, false}};

template <class Fn, class... Args> void add(const std::string& name, Fn&& fn, Args&&... args) {
    // Wall time: on PostgreSQL most of the work is the server's, not this process's.
    benchmark::RegisterBenchmark(name.c_str(), std::forward<Fn>(fn), std::forward<Args>(args)...)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

// The engine is known before main runs (from the environment); the bare
// comparisons exist on SQLite only.
[[maybe_unused]] const bool registered = [] {
    const bool sqlite = bench::benchEngine() == SqlEngine::SQLite;
    benchmark::AddCustomContext("engine", sqlite ? "SQLite" : "PostgreSQL (TORVIKA_BENCH_PG)");
    for (const SearchText& t : kTexts) {
        const QString text = QString::fromUtf8(t.utf8);
        add(std::string("BM_QuickSearch/") + t.label, BM_QuickSearch, text);
        if (t.throughIndex)
            add(std::string("BM_QuickSearchScan/") + t.label, BM_QuickSearchScan, text);
        if (sqlite)
            add(std::string("BM_QuickSearch_Bare/") + t.label, BM_QuickSearch_Bare, text);
    }
    for (const SearchText& t : kTexts) {
        if (!t.listSearch)
            continue;
        const QString text = QString::fromUtf8(t.utf8);
        add(std::string("BM_ListSearchByName/") + t.label, BM_ListSearchByName, text);
        if (sqlite)
            add(std::string("BM_ListSearchByName_Bare/") + t.label, BM_ListSearchByName_Bare, text);
    }
    add("BM_CounterpartyListFirstPage", BM_CounterpartyListFirstPage);
    add("BM_CounterpartyList", BM_CounterpartyList);
    if (sqlite)
        add("BM_CounterpartyList_Bare", BM_CounterpartyList_Bare);
    return true;
}();

} // namespace
