#include "common/sql_dialect.h"

#include "common/sql_statement.h"

#include <QRegularExpression>
#include <algorithm>

namespace torvika {

namespace {

// PostgreSQL takes keys as SQLite's AUTOINCREMENT does: a row without a key
// gets the next one, and a row given its key explicitly moves the sequence
// past it, so that the two ways of taking keys never meet.
const QString kNextKeyFunction = QStringLiteral(
    "CREATE OR REPLACE FUNCTION torvika_next_key() RETURNS trigger LANGUAGE plpgsql AS $$\n"
    "DECLARE\n"
    "  key_value bigint := (to_jsonb(NEW) ->> TG_ARGV[1])::bigint;\n"
    "BEGIN\n"
    "  IF key_value IS NULL THEN\n"
    "    NEW := jsonb_populate_record(NEW, jsonb_build_object(TG_ARGV[1], nextval(TG_ARGV[0]::regclass)));\n"
    "  ELSE\n"
    "    PERFORM setval(TG_ARGV[0]::regclass,\n"
    "                   GREATEST(key_value, COALESCE(pg_sequence_last_value(TG_ARGV[0]::regclass), 0)));\n"
    "  END IF;\n"
    "  RETURN NEW;\n"
    "END $$");

const QRegularExpression
    kCreateTable(QStringLiteral(R"(^\s*CREATE\s+TABLE\s+(?:IF\s+NOT\s+EXISTS\s+)?(\w+)\s*\()"),
                 QRegularExpression::CaseInsensitiveOption);
const QRegularExpression kAutoKey(QStringLiteral(R"((\w+)\s+INTEGER\s+PRIMARY\s+KEY\s+AUTOINCREMENT)"),
                                  QRegularExpression::CaseInsensitiveOption);
const QRegularExpression kSearchIndex(
    QStringLiteral(R"(^\s*CREATE\s+SEARCH\s+INDEX\s+(\w+)\s+ON\s+(\w+)\s*\(\s*(\w+)\s*,\s*(\w+)\s*\)\s*$)"),
    QRegularExpression::CaseInsensitiveOption);
const QRegularExpression kBlob(QStringLiteral(R"(\bBLOB\b)"), QRegularExpression::CaseInsensitiveOption);

QStringList sqliteSearchIndex(const QString& index, const QString& table, const QString& key,
                              const QString& column) {
    const QString add =
        QStringLiteral("INSERT INTO %1(rowid, %2) VALUES (new.%3, new.%2);").arg(index, column, key);
    const QString remove = QStringLiteral("INSERT INTO %1(%1, rowid, %2) VALUES ('delete', old.%3, old.%2);")
                               .arg(index, column, key);
    return {
        QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS %1 USING fts5(%2, content='%3', "
                       "content_rowid='%4', tokenize='trigram')")
            .arg(index, column, table, key),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_ai AFTER INSERT ON %2 BEGIN %3 END")
            .arg(index, table, add),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_ad AFTER DELETE ON %2 BEGIN %3 END")
            .arg(index, table, remove),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_au AFTER UPDATE ON %2 BEGIN %3 %4 END")
            .arg(index, table, remove, add),
        QStringLiteral("INSERT INTO %1(%1) VALUES ('rebuild')").arg(index),
    };
}

QStringList postgresSearchIndex(const QString& index, const QString& table, const QString& column) {
    return {QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 USING gin (UPPER(%3) gin_trgm_ops)")
                .arg(index, table, column)};
}

bool hasWildcard(const QString& text) {
    return text.contains(u'%') || text.contains(u'_') || text.contains(kLikeEscape);
}

} // namespace

QStringList scriptStatementsFor(const QString& statement, SqlEngine engine) {
    if (const auto m = kSearchIndex.match(statement); m.hasMatch()) {
        if (engine == SqlEngine::SQLite)
            return sqliteSearchIndex(m.captured(1), m.captured(2), m.captured(3), m.captured(4));
        return postgresSearchIndex(m.captured(1), m.captured(2), m.captured(4));
    }
    if (engine == SqlEngine::SQLite)
        return {statement};

    QString sql = statement;
    sql.replace(kBlob, QStringLiteral("BYTEA"));
    const auto table = kCreateTable.match(sql);
    const auto key = kAutoKey.match(sql);
    if (!table.hasMatch() || !key.hasMatch())
        return {sql};
    sql.replace(kAutoKey, QStringLiteral("\\1 INTEGER PRIMARY KEY"));
    const QString t = table.captured(1).toLower();
    const QString k = key.captured(1).toLower();
    const QString sequence = t + u'_' + k + QStringLiteral("_seq");
    return {sql, QStringLiteral("CREATE SEQUENCE %1 OWNED BY %2.%3").arg(sequence, t, k), kNextKeyFunction,
            QStringLiteral("CREATE TRIGGER %1_%2_key BEFORE INSERT ON %1 FOR EACH ROW "
                           "EXECUTE FUNCTION torvika_next_key('%3', '%2')")
                .arg(t, k, sequence)};
}

ContainsCondition containsCondition(SqlEngine engine, const QString& table, const QString& key,
                                    const QString& column, const QString& searchIndex, const QString& text) {
    const QString upper = text.toUpper();
    if (hasWildcard(upper))
        return likeCondition(column, likeContains(upper));
    const QString pattern = u'%' + upper + u'%';
    if (upper.size() < 3)
        return {QStringLiteral("UPPER(%1) LIKE ?").arg(column), pattern};
    // The trigram index answers a phrase of the text's trigrams, in any
    // letter case, from the index alone; a LIKE inside the index would read
    // every candidate's text from the table again.
    if (engine == SqlEngine::SQLite)
        return {
            QStringLiteral("%1.%2 IN (SELECT rowid FROM %3 WHERE %3 MATCH ?)").arg(table, key, searchIndex),
            u'"' + QString(upper).replace(u'"', QStringLiteral("\"\"")) + u'"'};
    return {QStringLiteral("UPPER(%1) LIKE ?").arg(column), pattern};
}

ContainsCondition likeCondition(const QString& column, const QString& pattern) {
    return {QStringLiteral("UPPER(%1) LIKE ? ESCAPE '\\'").arg(column), pattern};
}

QString temporaryTable(SqlEngine engine, const QString& name) {
    return (engine == SqlEngine::SQLite ? QStringLiteral("temp.") : QStringLiteral("pg_temp.")) + name;
}

} // namespace torvika
