#include "documents/own_queries.h"

#include "common/errors.h"
#include "common/number_column.h"
#include "common/profile_file.h"
#include "common/sql.h"
#include "documents/template_files.h"
#include "documents/texts.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <sqlite3.h>

namespace torvika {

// ---- the stored queries

namespace {
const QString kCount = QStringLiteral("Count");
const QString kMax = QStringLiteral("Max");
const QString kNames = QStringLiteral("Names");
const QString kQueries = QStringLiteral("Queries");
} // namespace

QString encodeOwnQuery(const QString& statement) {
    QString out;
    QString text = statement;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

QString decodeOwnQuery(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size() && (value[i + 1] == u'\\' || value[i + 1] == u'n')) {
            out += value[i + 1] == u'n' ? QChar(u'\n') : QChar(u'\\');
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QStringList OwnQueryStore::items() const {
    const ProfileData data = ProfileFile(path_).load();
    const int count = std::max(0, data.value(kCount, kMax, QStringLiteral("0")).trimmed().toInt());
    QStringList out;
    for (int i = 1; i <= count; ++i) {
        const QString name = data.value(kNames, QString::number(i), QString());
        out << QString::number(i) + u':' + (name.isEmpty() ? texts::kNoQueryName : name);
    }
    return out;
}

QString OwnQueryStore::statement(int number) const {
    if (number <= 0)
        return {};
    return decodeOwnQuery(ProfileFile(path_).readString(kQueries, QString::number(number)));
}

int OwnQueryStore::add(const QString& name, const QString& statement) {
    int number = 0;
    // One read and one save: the count and the query change together.
    ProfileFile(path_).update([&](ProfileData& data) {
        number = std::max(0, data.value(kCount, kMax, QStringLiteral("0")).trimmed().toInt()) + 1;
        QString oneLineName = name;
        oneLineName.replace(u'\r', u' ').replace(u'\n', u' ');
        data.setValue(kQueries, QString::number(number), encodeOwnQuery(statement));
        data.setValue(kNames, QString::number(number), oneLineName);
        data.setValue(kCount, kMax, QString::number(number));
    });
    return number;
}

int ownQueryNumber(const QString& item) {
    return item.section(u':', 0, 0).trimmed().toInt();
}

// ---- the check

namespace {

// Functions a read-only transaction still lets run that act on the server,
// its other sessions or its files, or on files of the workstation.
bool isServerFunction(const QString& name) {
    static const QStringList names{
        // PostgreSQL: other sessions, the server, its files, large objects.
        QStringLiteral("pg_terminate_backend"), QStringLiteral("pg_cancel_backend"),
        QStringLiteral("pg_reload_conf"), QStringLiteral("pg_rotate_logfile"), QStringLiteral("pg_promote"),
        QStringLiteral("pg_switch_wal"), QStringLiteral("pg_create_restore_point"),
        QStringLiteral("pg_log_backend_memory_contexts"), QStringLiteral("pg_read_file"),
        QStringLiteral("pg_read_binary_file"), QStringLiteral("pg_ls_dir"), QStringLiteral("pg_stat_file"),
        QStringLiteral("pg_advisory_lock"), QStringLiteral("pg_advisory_lock_shared"),
        QStringLiteral("pg_try_advisory_lock"), QStringLiteral("pg_notify"), QStringLiteral("set_config"),
        QStringLiteral("lo_import"), QStringLiteral("lo_export"), QStringLiteral("lo_unlink"),
        QStringLiteral("lo_create"), QStringLiteral("lo_creat"), QStringLiteral("lo_from_bytea"),
        QStringLiteral("lo_put"), QStringLiteral("dblink"), QStringLiteral("dblink_exec"),
        // SQLite: extensions and files.
        QStringLiteral("load_extension"), QStringLiteral("readfile"), QStringLiteral("writefile"),
        QStringLiteral("fts3_tokenizer")};
    return names.contains(name.trimmed(), Qt::CaseInsensitive);
}

} // namespace

QString checkedOwnQuery(const QString& text) {
    // Walks the text once: quoted texts and names, and comments, are passed
    // over; the first ";" outside them ends the statement.
    const qsizetype n = text.size();
    qsizetype end = -1;
    qsizetype i = 0;
    auto skipQuoted = [&](QChar quote) {
        for (++i; i < n; ++i) {
            if (text[i] == quote) {
                if (i + 1 < n && text[i + 1] == quote) {
                    ++i;
                    continue;
                }
                return;
            }
        }
    };
    // Names of functions the statement calls, as words or quoted names.
    auto checkName = [](const QString& name) {
        if (isServerFunction(name))
            throw EDocumentError(texts::kOwnQueryServerFunction.arg(name));
    };
    while (i < n) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            const qsizetype start = i + 1;
            skipQuoted(c);
            if (c != u'\'')
                checkName(text.mid(start, i - start));
            ++i;
        } else if (c == u'[') {
            const qsizetype start = i + 1;
            while (i < n && text[i] != u']')
                ++i;
            checkName(text.mid(start, i - start));
            ++i;
        } else if (c.isLetter() || c == u'_') {
            const qsizetype start = i;
            while (i < n && (text[i].isLetterOrNumber() || text[i] == u'_' || text[i] == u'$'))
                ++i;
            checkName(text.mid(start, i - start));
        } else if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            while (i < n && text[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && text[i + 1] == u'*') {
            const qsizetype close = text.indexOf(QStringLiteral("*/"), i + 2);
            i = close < 0 ? n : close + 2;
        } else if (c == u';') {
            end = i;
            break;
        } else {
            ++i;
        }
    }
    QString statement = end < 0 ? text : text.left(end);
    if (end >= 0) {
        // Only blanks and comments may follow the ";".
        qsizetype j = end + 1;
        while (j < n) {
            if (text[j].isSpace()) {
                ++j;
            } else if (text[j] == u'-' && j + 1 < n && text[j + 1] == u'-') {
                while (j < n && text[j] != u'\n')
                    ++j;
            } else if (text[j] == u'/' && j + 1 < n && text[j + 1] == u'*') {
                const qsizetype close = text.indexOf(QStringLiteral("*/"), j + 2);
                if (close < 0)
                    break;
                j = close + 2;
            } else {
                break;
            }
        }
        if (j < n)
            throw EDocumentError(texts::kOwnQueryOneStatement);
    }
    // The first word, after blanks, comments and opening parentheses.
    qsizetype k = 0;
    const qsizetype m = statement.size();
    while (k < m) {
        if (statement[k].isSpace() || statement[k] == u'(') {
            ++k;
        } else if (statement[k] == u'-' && k + 1 < m && statement[k + 1] == u'-') {
            while (k < m && statement[k] != u'\n')
                ++k;
        } else if (statement[k] == u'/' && k + 1 < m && statement[k + 1] == u'*') {
            const qsizetype close = statement.indexOf(QStringLiteral("*/"), k + 2);
            k = close < 0 ? m : close + 2;
        } else {
            break;
        }
    }
    if (k >= m)
        throw EDocumentError(texts::kOwnQueryEmpty);
    qsizetype w = k;
    while (w < m && (statement[w].isLetterOrNumber() || statement[w] == u'_'))
        ++w;
    const QString word = statement.mid(k, w - k).toUpper();
    if (word != QStringLiteral("SELECT") && word != QStringLiteral("WITH"))
        throw EDocumentError(texts::kOwnQuerySelectOnly);
    return statement.trimmed();
}

// ---- a run

namespace {

sqlite3* sqliteHandleOf(const QSqlDatabase& db) {
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(v.constData());
    return nullptr;
}

// Called by SQLite while it works: a non-zero answer interrupts the
// statement (cancelled, or past its time).
struct SqliteWatch {
    const std::atomic<bool>* cancel;
    const QDeadlineTimer* deadline;
};

// A statement of our own that the server cannot prepare (transaction
// control, settings), run as it is.
void execPlain(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw EDatabaseError(q.lastError().text().trimmed());
}

int sqliteProgress(void* context) {
    const auto* watch = static_cast<const SqliteWatch*>(context);
    return watch->cancel->load() || watch->deadline->hasExpired() ? 1 : 0;
}

} // namespace

OwnQueryRun::OwnQueryRun(const QSqlDatabase& db, QString statement, OwnQueryLimits limits, QObject* parent)
    : QObject(parent), driver_(db.driverName()), database_(db.databaseName()), host_(db.hostName()),
      user_(db.userName()), password_(db.password()), options_(db.connectOptions()), port_(db.port()),
      company_(db), statement_(std::move(statement)), limits_(limits) {}

OwnQueryRun::~OwnQueryRun() {
    if (thread_.joinable()) {
        cancel();
        thread_.join();
    }
}

void OwnQueryRun::start() {
    deadline_ = QDeadlineTimer(limits_.timeoutMs);
    thread_ = std::thread([this] { work(); });
}

void OwnQueryRun::cancel() {
    if (outcome_.load() != Outcome::Running)
        return;
    cancel_ = true;
    // SQLite watches the flag itself; a PostgreSQL statement is stopped by
    // the server at the company connection's request.
    const qint64 backend = backend_.load();
    if (backend > 0 && sqlEngine(company_) == SqlEngine::PostgreSQL) {
        try {
            execSql(company_, QStringLiteral("SELECT pg_cancel_backend(?)"), {backend});
        } catch (const Error&) {
            // The statement then ends at its time limit.
        }
    }
}

void OwnQueryRun::wait() {
    if (thread_.joinable())
        thread_.join();
}

QString OwnQueryRun::message() const {
    switch (outcome_.load()) {
    case Outcome::Failed:
        return texts::kOwnQueryFailed.arg(error_);
    case Outcome::Cancelled:
        return texts::kOwnQueryCancelled;
    case Outcome::TimedOut:
        return texts::kOwnQueryTimedOut.arg((limits_.timeoutMs + 999) / 1000);
    default:
        return {};
    }
}

void OwnQueryRun::finish(Outcome outcome) {
    outcome_ = outcome;
    // Queued to the thread this object lives on.
    QMetaObject::invokeMethod(this, &OwnQueryRun::done, Qt::QueuedConnection);
}

void OwnQueryRun::work() {
    const QString name = QStringLiteral("own_query_") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    Outcome outcome = Outcome::Done;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver_, name);
        db.setDatabaseName(database_);
        db.setHostName(host_);
        db.setUserName(user_);
        db.setPassword(password_);
        db.setPort(port_);
        const bool sqlite = driver_.startsWith(QStringLiteral("QSQLITE"));
        db.setConnectOptions(sqlite ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                                    : options_);
        SqliteWatch watch{&cancel_, &deadline_};
        // Kept until the transaction has ended: a PostgreSQL statement is
        // released only outside a failed transaction.
        std::optional<QSqlQuery> query;
        try {
            if (!db.open())
                throw EDatabaseError(db.lastError().text());
            if (sqlite) {
                execSql(db, QStringLiteral("PRAGMA query_only = ON"));
                registerSqlFunctions(db);
                if (sqlite3* handle = sqliteHandleOf(db))
                    sqlite3_progress_handler(handle, 1000, sqliteProgress, &watch);
            } else {
                setUpConnection(db);
                backend_ = scalarSql(db, QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
                execPlain(db, QStringLiteral("START TRANSACTION READ ONLY"));
                execPlain(db, QStringLiteral("SET LOCAL statement_timeout = %1")
                                  .arg(std::max<qint64>(1, deadline_.remainingTime())));
            }
            if (cancel_)
                throw EDatabaseError(QString());
            query.emplace(db);
            QSqlQuery& q = *query;
            q.setForwardOnly(true);
            if (!q.prepare(statement_) || !q.exec())
                throw EDatabaseError(q.lastError().text().trimmed());
            const QSqlRecord record = q.record();
            for (int c = 0; c < record.count(); ++c)
                result_.fields << record.fieldName(c);
            while (q.next()) {
                if (result_.rows.size() >= limits_.rowCap) {
                    result_.capped = true;
                    break;
                }
                QVariantList row;
                row.reserve(record.count());
                for (int c = 0; c < record.count(); ++c)
                    row << q.value(c);
                result_.rows << row;
                if (cancel_ || deadline_.hasExpired())
                    throw EDatabaseError(QString());
            }
            if (q.lastError().isValid())
                throw EDatabaseError(q.lastError().text().trimmed());
            q.finish();
        } catch (const Error& e) {
            outcome = cancel_                  ? Outcome::Cancelled
                      : deadline_.hasExpired() ? Outcome::TimedOut
                                               : Outcome::Failed;
            error_ = e.message();
            result_ = OwnQueryResult();
        }
        if (!sqlite && db.isOpen()) {
            QSqlQuery end(db);
            end.exec(QStringLiteral("ROLLBACK"));
        }
        query.reset();
        if (sqlite)
            if (sqlite3* handle = sqliteHandleOf(db))
                sqlite3_progress_handler(handle, 0, nullptr, nullptr);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    finish(outcome);
}

OwnQueryResult runOwnQuery(const QSqlDatabase& db, const QString& text, OwnQueryLimits limits) {
    OwnQueryRun run(db, checkedOwnQuery(text), limits);
    run.start();
    run.wait();
    if (run.outcome() != OwnQueryRun::Outcome::Done)
        throw EDocumentError(run.message());
    return run.result();
}

// ---- totals

ColumnTotals columnTotals(const QList<QVariantList>& rows, int column) {
    ColumnTotals t;
    Decimal sum;
    int counted = 0;
    for (const QVariantList& r : rows) {
        if (column < 0 || column >= r.size())
            continue;
        if (const std::optional<Decimal> v = Decimal::fromVariant(r[column])) {
            sum += *v;
            ++counted;
        }
    }
    if (counted == 0)
        return t;
    t.sum = sum;
    t.average = sum.divided(counted, 8);
    return t;
}

bool isNumericColumn(const QList<QVariantList>& rows, int column) {
    bool any = false;
    for (const QVariantList& r : rows) {
        if (column < 0 || column >= r.size() || r[column].isNull())
            continue;
        if (!Decimal::fromVariant(r[column]))
            return false;
        any = true;
    }
    return any;
}

} // namespace torvika
