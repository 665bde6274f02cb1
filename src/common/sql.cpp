#include "common/sql.h"

#include "common/errors.h"
#include "common/texts.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>
#include <QVarLengthArray>
#include <sqlite3.h>

#include <optional>

namespace torvika {

namespace {

QString failure(const QSqlError& e, const QString& sql) {
    QString text = e.text().trimmed();
    return text.isEmpty() ? sql : text + QStringLiteral(" [") + sql + u']';
}

sqlite3* sqliteHandle(const QSqlDatabase& db) {
    QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(v.constData());
    return nullptr;
}

QString argText(sqlite3_value* v) {
    const unsigned char* t = sqlite3_value_text(v);
    return t ? QString::fromUtf8(reinterpret_cast<const char*>(t), sqlite3_value_bytes(v)) : QString();
}

void resultText(sqlite3_context* ctx, const QString& s) {
    QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

bool isAscii(const unsigned char* s, int n) {
    for (int i = 0; i < n; ++i)
        if (s[i] & 0x80)
            return false;
    return true;
}

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - ('a' - 'A')) : c;
}

// Iterative LIKE matcher with backtracking to the last %, over QChar (any
// text) or char (ASCII only, for the common case of codes and serial
// numbers, without converting each row to UTF-16). `step` is the length of
// the text's character at an index: '_' takes a whole one.
template <typename Ch, typename Same, typename Step>
bool matchLike(const Ch* p, qsizetype pn, const Ch* t, qsizetype tn, Ch escape, bool hasEscape, Same same,
               Step step) {
    qsizetype pi = 0, ti = 0, starP = -1, starT = -1;
    while (ti < tn) {
        if (pi < pn) {
            const Ch pc = p[pi];
            if (hasEscape && pc == escape) {
                // The next pattern character is literal; an escape at the end matches nothing.
                if (pi + 1 < pn && same(p[pi + 1], t[ti])) {
                    pi += 2;
                    ++ti;
                    continue;
                }
            } else if (pc == Ch(u'%')) {
                starP = pi++;
                starT = ti;
                continue;
            } else if (pc == Ch(u'_')) {
                ++pi;
                ti += step(ti);
                continue;
            } else if (same(pc, t[ti])) {
                ++pi;
                ++ti;
                continue;
            }
        }
        if (starP < 0)
            return false;
        pi = starP + 1;
        starT += step(starT);
        ti = starT;
    }
    while (pi < pn && p[pi] == Ch(u'%'))
        ++pi;
    return pi == pn;
}

bool asciiLikeMatch(const QByteArray& p, const unsigned char* t, int tn, char escape, bool hasEscape) {
    auto same = [](char a, char b) { return a == b || asciiUpper(a) == asciiUpper(b); };
    return matchLike<char>(p.constData(), p.size(), reinterpret_cast<const char*>(t), tn, escape, hasEscape,
                           same, [](qsizetype) { return 1; });
}

void upperFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const unsigned char* t = sqlite3_value_text(argv[0]);
    const int n = sqlite3_value_bytes(argv[0]);
    if (t && isAscii(t, n)) {
        QVarLengthArray<char, 256> b(n);
        for (int i = 0; i < n; ++i)
            b[i] = asciiUpper(char(t[i]));
        sqlite3_result_text(ctx, b.constData(), n, SQLITE_TRANSIENT);
        return;
    }
    resultText(ctx, argText(argv[0]).toUpper());
}

void lowerFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, argText(argv[0]).toLower());
}

// The pattern, kept by SQLite between the rows of one statement when the
// pattern is the same for all of them (a literal or a bound value); with
// its bytes when pattern and escape are ASCII.
struct CachedPattern {
    QString pattern;
    std::optional<QByteArray> ascii;
};

void deletePattern(void* p) {
    delete static_cast<CachedPattern*>(p);
}

// like(pattern, text [, escape]): SQLite calls its LIKE operator this way.
void likeFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    QChar escape;
    if (argc == 3) {
        QString e = argText(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e[0];
    }
    auto* cached = static_cast<CachedPattern*>(sqlite3_get_auxdata(ctx, 0));
    if (!cached) {
        const unsigned char* p = sqlite3_value_text(argv[0]);
        const int pn = sqlite3_value_bytes(argv[0]);
        cached = new CachedPattern{argText(argv[0]), std::nullopt};
        if (p && isAscii(p, pn) && escape.unicode() < 0x80)
            cached->ascii = QByteArray(reinterpret_cast<const char*>(p), pn);
        // SQLite keeps it only while the pattern stays the same, and may
        // drop it at once (deleting it): read what is needed before.
        sqlite3_set_auxdata(ctx, 0, cached, deletePattern);
        cached = static_cast<CachedPattern*>(sqlite3_get_auxdata(ctx, 0));
        if (!cached) {
            // Dropped at once: match this row without the cache.
            const QString text = argText(argv[1]);
            sqlite3_result_int(ctx, likeMatch(argText(argv[0]), text, escape) ? 1 : 0);
            return;
        }
    }
    const unsigned char* t = sqlite3_value_text(argv[1]);
    const int tn = sqlite3_value_bytes(argv[1]);
    if (cached->ascii && t && isAscii(t, tn)) {
        sqlite3_result_int(
            ctx, asciiLikeMatch(*cached->ascii, t, tn, char(escape.unicode()), !escape.isNull()) ? 1 : 0);
        return;
    }
    sqlite3_result_int(ctx, likeMatch(cached->pattern, argText(argv[1]), escape) ? 1 : 0);
}

} // namespace

bool likeMatch(QStringView p, QStringView t, QChar escape) {
    auto step = [&t](qsizetype i) {
        return t[i].isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate() ? 2 : 1;
    };
    auto same = [](QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); };
    return matchLike<QChar>(p.data(), p.size(), t.data(), t.size(), escape, !escape.isNull(), same, step);
}

SqlEngine sqlEngine(const QSqlDatabase& db) {
    return db.driverName() == QLatin1String("QPSQL") ? SqlEngine::PostgreSQL : SqlEngine::SQLite;
}

bool isSqlite(const QSqlDatabase& db) {
    return sqlEngine(db) == SqlEngine::SQLite;
}

void registerSqlFunctions(const QSqlDatabase& db) {
    sqlite3* h = sqliteHandle(db);
    if (!h)
        return;
    // SQLite refuses to replace a built-in function of the same text encoding
    // while any statement of the connection is still on its rows (often the
    // case right after opening), and the built-ins are UTF-8. A UTF-16
    // variant is added beside them instead, which it allows at any time, and
    // a function of the connection takes precedence over a built-in of any
    // encoding. The values are still read and returned as UTF-8.
    const int flags = SQLITE_UTF16 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(h, "upper", 1, flags, nullptr, upperFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "lower", 1, flags, nullptr, lowerFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "like", 2, flags, nullptr, likeFn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "like", 3, flags, nullptr, likeFn, nullptr, nullptr, nullptr);
}

void setUpConnection(const QSqlDatabase& db) {
    if (sqlEngine(db) == SqlEngine::PostgreSQL) {
        execScriptStatement(db, QStringLiteral("SET client_encoding TO 'UTF8'"));
        // The server's notices ("… does not exist, skipping") are no news here.
        execScriptStatement(db, QStringLiteral("SET client_min_messages TO warning"));
        return;
    }
    // Write-ahead logging: readers never block the writer, and a commit
    // writes the log alone instead of flushing the whole file.
    for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"}) {
        QSqlQuery q(db);
        if (!q.exec(QString::fromLatin1(pragma)))
            throw EDatabaseError(failure(q.lastError(), QString::fromLatin1(pragma)));
        q.finish();
    }
    registerSqlFunctions(db);
}

namespace {

BusyWaitIndicator& busyIndicator() {
    static BusyWaitIndicator indicator;
    return indicator;
}

// Another connection holds the lock of the SQLite database.
bool isBusy(const QSqlDatabase& db, const QSqlError& e) {
    if (!isSqlite(db))
        return false;
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok && ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED);
}

int& busyPatience() {
    static int ms = 120000;
    return ms;
}

// Runs the prepared query; while the database is busy, tries again after a
// random pause of a few milliseconds, so that workstations waiting for the
// lock take turns instead of one of them timing out.
template <typename Run> bool execWaiting(const QSqlDatabase& db, QSqlQuery& q, Run run) {
    if (run())
        return true;
    if (!isBusy(db, q.lastError()))
        return false;
    QDeadlineTimer deadline(busyPatience());
    if (busyIndicator())
        busyIndicator()(true);
    bool done = false;
    while (!done && !deadline.hasExpired()) {
        QThread::msleep(5 + QRandomGenerator::global()->bounded(45));
        done = run();
        if (!done && !isBusy(db, q.lastError()))
            break;
    }
    if (busyIndicator())
        busyIndicator()(false);
    return done;
}

// A lock of the server was not granted within the patience (lock_timeout).
bool isLockTimeout(const QSqlDatabase& db, const QSqlError& e) {
    return sqlEngine(db) == SqlEngine::PostgreSQL && e.nativeErrorCode() == QLatin1String("55P03");
}

[[noreturn]] void throwFailure(const QSqlDatabase& db, const QSqlError& e, const QString& sql) {
    if (isBusy(db, e) || isLockTimeout(db, e))
        throw EDatabaseBusy(texts::kDatabaseBusy);
    throw EDatabaseError(failure(e, sql));
}

QHash<QString, int>& transactionLevels() {
    static QHash<QString, int> levels;
    return levels;
}

} // namespace

void setBusyWaitIndicator(BusyWaitIndicator indicator) {
    busyIndicator() = std::move(indicator);
}

void setBusyPatience(int milliseconds) {
    busyPatience() = milliseconds;
}

int busyPatienceMilliseconds() {
    return busyPatience();
}

QSqlQuery execSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // A statement without values runs as it is: PostgreSQL's driver
    // prepares statements as PREPARE ... AS, which takes no table
    // definitions.
    if (values.isEmpty()) {
        if (!execWaiting(db, q, [&] { return q.exec(sql); }))
            throwFailure(db, q.lastError(), sql);
        return q;
    }
    if (!q.prepare(sql))
        throwFailure(db, q.lastError(), sql);
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!execWaiting(db, q, [&] { return q.exec(); }))
        throwFailure(db, q.lastError(), sql);
    return q;
}

QVariant scalarSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
                   const QVariant& def) {
    QSqlQuery q = execSql(db, sql, values);
    return q.next() ? q.value(0) : def;
}

qint64 insertReturningKey(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
                          const QString& keyColumn) {
    QSqlQuery q = execSql(db, sql + QStringLiteral(" RETURNING ") + keyColumn, values);
    if (!q.next())
        throw EDatabaseError(QStringLiteral("The new row's key was not returned [%1]").arg(sql));
    const qint64 key = q.value(0).toLongLong();
    q.finish();
    return key;
}

PreparedSql::PreparedSql(const QSqlDatabase& db, const QString& sql) : db_(db), sql_(sql), query_(db) {
    query_.setForwardOnly(true);
    if (!query_.prepare(sql_))
        throwFailure(db_, query_.lastError(), sql_);
}

QSqlQuery& PreparedSql::exec(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        query_.bindValue(i, values[i]);
    if (!execWaiting(db_, query_, [&] { return query_.exec(); }))
        throwFailure(db_, query_.lastError(), sql_);
    return query_;
}

SqlRows readRows(const QSqlDatabase& db, const QString& sql, const QVariantList& values, int limit,
                 qint64 offset) {
    QVariantList bound = values;
    QString text = sql;
    if (limit >= 0) {
        text += QStringLiteral("\nLIMIT ? OFFSET ?");
        bound << limit << offset;
    }
    QSqlQuery q = execSql(db, text, bound);
    SqlRows out;
    const QSqlRecord record = q.record();
    const int columns = record.count();
    for (int i = 0; i < columns; ++i)
        out.fields << record.fieldName(i);
    while (q.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << q.value(i);
        out.rows << std::move(row);
    }
    if (q.lastError().isValid())
        throw EDatabaseError(failure(q.lastError(), text));
    q.finish();
    return out;
}

QSqlRecord tableColumns(const QSqlDatabase& db, const QString& table) {
    const QSqlRecord exact = db.record(table);
    return exact.isEmpty() ? db.record(table.toLower()) : exact;
}

void execScriptStatement(const QSqlDatabase& db, const QString& sql) {
    execSql(db, sql);
}

Transaction::Transaction(QSqlDatabase db)
    : db_(std::move(db)), level_(transactionLevels().value(db_.connectionName())) {
    if (level_ > 0) {
        execScriptStatement(db_, QStringLiteral("SAVEPOINT torvika_%1").arg(level_));
    } else if (isSqlite(db_)) {
        execSql(db_, QStringLiteral("BEGIN IMMEDIATE"));
    } else {
        execScriptStatement(db_, QStringLiteral("BEGIN"));
        // A lock another workstation holds is waited for as long as a busy
        // SQLite database is.
        execScriptStatement(db_, QStringLiteral("SET LOCAL lock_timeout = %1").arg(busyPatience()));
    }
    transactionLevels()[db_.connectionName()] = level_ + 1;
}

Transaction::~Transaction() {
    if (!open_)
        return;
    transactionLevels()[db_.connectionName()] = level_;
    QSqlQuery q(db_);
    if (level_ > 0) {
        q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT torvika_%1").arg(level_));
        q.exec(QStringLiteral("RELEASE SAVEPOINT torvika_%1").arg(level_));
    } else {
        q.exec(QStringLiteral("ROLLBACK"));
    }
}

void Transaction::commit() {
    if (level_ > 0)
        execScriptStatement(db_, QStringLiteral("RELEASE SAVEPOINT torvika_%1").arg(level_));
    else
        execScriptStatement(db_, QStringLiteral("COMMIT"));
    open_ = false;
    transactionLevels()[db_.connectionName()] = level_;
}

bool Transaction::isOpen(const QSqlDatabase& db) {
    return transactionLevels().value(db.connectionName()) > 0;
}

} // namespace torvika
