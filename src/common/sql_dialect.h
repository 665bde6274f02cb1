#pragma once
// What differs between the two engines in the statements themselves: the
// creation and update scripts are written once, in portable SQL with two
// forms of our own, and mapped here to each engine; and the search of a
// name through the name index.
//
// The scripts' own forms:
//   <column> INTEGER PRIMARY KEY AUTOINCREMENT   a key the database takes
//   CREATE SEARCH INDEX <name> ON <table> (<key>, <column>)
//                                                a case-insensitive index of
//                                                the parts of a name, kept by
//                                                the database itself
// BLOB columns hold pictures.

#include "common/sql.h"

#include <QString>
#include <QStringList>
#include <QVariant>

namespace torvika {

// The engine's statements for one statement of a script.
QStringList scriptStatementsFor(const QString& statement, SqlEngine engine);

// The condition that the column contains the text in any letter case, and
// the value it binds. Through the table's search index (created with
// CREATE SEARCH INDEX) when the text has three characters or more and
// holds no wildcard; else a scan of UPPER(column). Texts with % or _ are
// matched as typed. The text is upper-cased here. The column may be
// qualified by its table ("Produkti.Opisanie") where a statement joins
// tables with columns of the same name.
struct ContainsCondition {
    QString sql;
    QVariant value;
};
ContainsCondition containsCondition(SqlEngine engine, const QString& table, const QString& key,
                                    const QString& column, const QString& searchIndex, const QString& text);
// A condition for a pattern that may hold "_" as a wildcard of one
// character: always a scan of UPPER(column) with the pattern as given.
ContainsCondition likeCondition(const QString& column, const QString& pattern);

// The name of a temporary table of the connection, qualified by the schema
// that holds the connection's temporary tables, so that a statement on it
// never reaches a shared table of the same name. The table itself is
// created with CREATE TEMPORARY TABLE and its plain name.
QString temporaryTable(SqlEngine engine, const QString& name);

} // namespace torvika
