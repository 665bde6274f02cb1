#include "shell/database_copy.h"

#include "common/errors.h"
#include "common/sql.h"
#include "common/sql_dialect.h"
#include "shell/nts_script.h"
#include "shell/texts.h"
#include "shell/version.h"
#include "shell/workspace.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlField>
#include <QSqlRecord>
#include <algorithm>

namespace torvika {

namespace {

const QString kSource = QStringLiteral("CopySource");
const QString kTarget = QStringLiteral("CopyTarget");
// Rows written by one statement.
constexpr int kBatch = 200;

struct SourceTable {
    QString name;
    qint64 rows = 0;
};

// The tables of the source that hold the company's data: not the engine's
// own, not the name index (the target keeps its own), not the version
// record (the target records the program's version itself).
QList<SourceTable> dataTables(const QSqlDatabase& src) {
    QStringList names;
    if (isSqlite(src)) {
        QStringList indexes;
        QSqlQuery q =
            execSql(src, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'table'"));
        QList<std::pair<QString, QString>> all;
        while (q.next())
            all.append({q.value(0).toString(), q.value(1).toString()});
        for (const auto& [name, sql] : all)
            if (sql.startsWith(QStringLiteral("CREATE VIRTUAL TABLE"), Qt::CaseInsensitive))
                indexes << name;
        for (const auto& [name, sql] : all) {
            const bool indexPart = std::any_of(indexes.cbegin(), indexes.cend(), [&](const QString& index) {
                return name == index || name.startsWith(index + u'_');
            });
            if (!name.startsWith(QStringLiteral("sqlite_")) && !indexPart)
                names << name;
        }
    } else {
        names = src.tables(QSql::Tables);
    }
    QList<SourceTable> tables;
    for (const QString& name : names) {
        if (name.compare(QStringLiteral("DB_Info"), Qt::CaseInsensitive) == 0)
            continue;
        tables.append(
            {name, scalarSql(src, QStringLiteral("SELECT COUNT(*) FROM %1").arg(name)).toLongLong()});
    }
    return tables;
}

// The target's name of a source table, in whatever letter case it keeps it.
QString targetTable(const QStringList& targetTables, const QString& name) {
    for (const QString& t : targetTables)
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    return {};
}

// Copies the rows of one table, kBatch rows a statement; the columns are
// those both tables have.
qint64 copyRows(const QSqlDatabase& src, const QSqlDatabase& dst, const QString& table, const QString& target,
                Progress& progress, qint64& done) {
    const QSqlRecord from = tableColumns(src, table);
    const QSqlRecord to = tableColumns(dst, target);
    QStringList columns;
    for (int i = 0; i < from.count(); ++i)
        if (to.indexOf(from.fieldName(i)) >= 0)
            columns << from.fieldName(i);
    if (columns.isEmpty())
        return 0;
    const QString group = u'(' + QStringList(columns.size(), QStringLiteral("?")).join(u',') + u')';
    auto insert = [&](int rows) {
        return QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(target, columns.join(u',')) +
               QStringList(rows, group).join(u',');
    };
    QSqlQuery q = execSql(src, QStringLiteral("SELECT %1 FROM %2").arg(columns.join(u','), table));
    QVariantList batch;
    int inBatch = 0;
    qint64 copied = 0;
    auto flush = [&] {
        if (inBatch == 0)
            return;
        execSql(dst, insert(inBatch), batch);
        copied += inBatch;
        done += inBatch;
        batch.clear();
        inBatch = 0;
        progress.setValue(int(done));
        if (progress.cancelled())
            throw Error(texts::kCopyCancelled);
    };
    while (q.next()) {
        for (int i = 0; i < columns.size(); ++i)
            batch << q.value(i);
        if (++inBatch == kBatch)
            flush();
    }
    flush();
    return copied;
}

// Columns that keep a number once taken from a table's own key: a sale
// line's number lives on in the sale, its invalidation, its receipt and the
// documents printed for it (page 1, the shop); an intake line's in the items
// in service, their archive and their repairs (page 2, the service desk).
struct KeptNumber {
    const char* key;   // the table whose key gave the number
    const char* table; // where it is kept
    const char* column;
    const char* condition; // which rows, or nullptr for all
};
const KeptNumber kKeptNumbers[] = {
    {"Prodajbi_Vremenni", "Prodajbi", "ID_Prodajba", nullptr},
    {"Prodajbi_Vremenni", "Invalidate_Sales", "ID_Prodajba", nullptr},
    {"Prodajbi_Vremenni", "Prodajbi_Bon", "ID_Prodajba", nullptr},
    {"Prodajbi_Vremenni", "Printed_Dok", "ID_Prod", "Ot_Kade_Prod = 1"},
    {"Priem_Ser_Vremen", "Priem_Ser", "N_Prodajba", nullptr},
    {"Priem_Ser_Vremen", "R_Priem", "N_Priem", nullptr},
    {"Priem_Ser_Vremen", "Remont", "N_Priem", nullptr},
    {"Priem_Ser_Vremen", "R_Remont", "N_Priem", nullptr},
    {"Priem_Ser_Vremen", "Printed_Dok", "ID_Prod", "Ot_Kade_Prod = 2"},
};

qint64 maxOf(const QSqlDatabase& db, const QString& table, const QString& column, const char* condition) {
    QString sql = QStringLiteral("SELECT MAX(%1) FROM %2").arg(column, table);
    if (condition)
        sql += QStringLiteral(" WHERE ") + QString::fromLatin1(condition);
    return scalarSql(db, sql).toLongLong();
}

// The highest number the source ever gave out of the table's key: SQLite's
// own record of it (which stays when the last rows are deleted), or the
// source server's sequence.
qint64 sourceRecord(const QSqlDatabase& src, const QString& table, const QString& sequence) {
    if (isSqlite(src)) {
        if (scalarSql(src,
                      QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'sqlite_sequence'"))
                .toInt() == 0)
            return 0;
        return scalarSql(src, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE LOWER(name) = LOWER(?)"),
                         {table})
            .toLongLong();
    }
    return scalarSql(src, QStringLiteral("SELECT pg_sequence_last_value(to_regclass(?))"), {sequence})
        .toLongLong();
}

// Sets every sequence of the target past the highest number ever taken from
// it: the copied keys, the source's record, and every column that keeps a
// number taken from it. Otherwise the server would give out again the
// numbers of recorded sales whose pending lines are long gone.
void setSequencesPastTakenNumbers(const QSqlDatabase& src, const QSqlDatabase& dst) {
    QSqlQuery q =
        execSql(dst, QStringLiteral(
                         "SELECT seq.relname, tab.relname, att.attname FROM pg_class seq "
                         "JOIN pg_depend dep ON dep.objid = seq.oid AND dep.deptype = 'a' "
                         "JOIN pg_class tab ON tab.oid = dep.refobjid "
                         "JOIN pg_attribute att ON att.attrelid = tab.oid AND att.attnum = dep.refobjsubid "
                         "WHERE seq.relkind = 'S' AND tab.relnamespace = to_regnamespace(current_schema())"));
    struct Sequence {
        QString name, table, column;
    };
    QList<Sequence> sequences;
    while (q.next())
        sequences.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    for (const Sequence& s : sequences) {
        qint64 highest = std::max(maxOf(dst, s.table, s.column, nullptr), sourceRecord(src, s.table, s.name));
        for (const KeptNumber& kept : kKeptNumbers)
            if (s.table.compare(QLatin1String(kept.key), Qt::CaseInsensitive) == 0)
                highest = std::max(highest, maxOf(dst, QString::fromLatin1(kept.table),
                                                  QString::fromLatin1(kept.column), kept.condition));
        if (highest > 0)
            execSql(dst, QStringLiteral("SELECT setval(to_regclass(?), ?)"), {s.name, highest});
    }
}

// The company's text files (group trees and the like) of the source's
// directory, copied into the target's. Returns the files written.
QStringList copyTextFiles(const QString& from, const QString& to) {
    QStringList written;
    if (from.isEmpty() || to.isEmpty() || QDir(from) == QDir(to))
        return written;
    if (!QDir().mkpath(to))
        throw EInOutError(texts::kCannotCreateDirectory.arg(to));
    for (const QFileInfo& f : QDir(from).entryInfoList(QDir::Files)) {
        if (f.fileName().startsWith(kCompanyDbFile))
            continue;
        const QString target = QDir(to).filePath(f.fileName());
        QFile::remove(target);
        if (!QFile::copy(f.filePath(), target))
            throw EInOutError(texts::kCannotWriteFile.arg(target));
        written << target;
    }
    return written;
}

} // namespace

CopyReport copyCompanyDatabase(const ProgramDir& programDir, const Alias& from, const Alias& to,
                               const QString& password, Progress& progress) {
    if (!to.isPostgres())
        throw Error(texts::kCopyNeedsServer);
    struct Connections {
        ~Connections() {
            closeConnection(kSource);
            closeConnection(kTarget);
        }
    } connections;
    const QSqlDatabase src = openCompanyConnection(kSource, from, false, password);
    if (!src.tables().contains(QStringLiteral("Operators"), Qt::CaseInsensitive))
        throw Error(texts::kNotCompanyDatabase.arg(from.description()));
    const int release = fileVersion().releaseNumber();
    if (storedDatabaseVersion(src) != release)
        throw Error(texts::kCopyNeedsUpdate.arg(from.description()).arg(release));
    const QList<SourceTable> tables = dataTables(src);
    qint64 total = 0;
    for (const SourceTable& t : tables)
        total += t.rows;
    const NtsScript script = NtsScript::load(programDir.newTablesScript());

    createServerDatabaseOnly(to, password);
    CopyReport report;
    QStringList files;
    try {
        const QSqlDatabase dst = openCompanyConnection(kTarget, to, false, password);
        progress.start(int(qMin<qint64>(total, std::numeric_limits<int>::max())));
        Transaction t(dst);
        const ScriptResult created = runNtsScript(dst, script);
        if (!created.ok)
            throw EDatabaseError(created.error);
        storeDatabaseVersion(dst, release);
        const QStringList targetTables = dst.tables(QSql::Tables);
        // The creation script's own first rows give way to the copied ones.
        for (const QString& name : targetTables)
            if (name.compare(QStringLiteral("DB_Info"), Qt::CaseInsensitive) != 0)
                execSql(dst, QStringLiteral("DELETE FROM %1").arg(name));
        qint64 done = 0;
        for (const SourceTable& table : tables) {
            const QString target = targetTable(targetTables, table.name);
            if (target.isEmpty())
                continue;
            report.rows += copyRows(src, dst, table.name, target, progress, done);
            ++report.tables;
        }
        setSequencesPastTakenNumbers(src, dst);
        files = copyTextFiles(from.path, to.path);
        t.commit();
        progress.finish();
    } catch (...) {
        progress.finish();
        for (const QString& f : files)
            QFile::remove(f);
        closeConnection(kTarget);
        dropServerDatabase(to, password);
        throw;
    }
    return report;
}

Alias serverAliasFromText(const QString& text) {
    Alias a{kServiceAlias, kPostgresDriver, QString()};
    for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq <= 0)
            throw EConvertError(QStringLiteral("'%1' is not key=value").arg(part));
        const QString key = part.left(eq).toLower();
        const QString value = part.mid(eq + 1);
        if (key == QLatin1String("host"))
            a.host = value;
        else if (key == QLatin1String("port"))
            a.port = value.toInt();
        else if (key == QLatin1String("dbname"))
            a.database = value;
        else if (key == QLatin1String("user"))
            a.user = value;
        else if (key == QLatin1String("sslmode"))
            a.sslMode = value;
        else if (key == QLatin1String("dir"))
            a.path = QDir::cleanPath(QDir::current().absoluteFilePath(value));
        else
            throw EConvertError(QStringLiteral("'%1' is not a key of the server's address").arg(key));
    }
    if (a.database.isEmpty() || a.path.isEmpty() || a.port <= 0)
        throw EConvertError(QStringLiteral("the server's address needs dbname=… and dir=…"));
    return a;
}

} // namespace torvika
