#pragma once
// Company databases: creating one from the creation script, bringing one up
// to the program's database version with the update script, and switching
// the working database. Windows show the log lines and messages these
// operations return.
//
// Every operation is all or nothing: a creation or update that fails leaves
// the working database, the alias and DBVer/Ver of Firm_Data.ini exactly as
// they were, so the same script can be run again once it is fixed.

#include "shell/session.h"

#include <QStringList>

namespace torvika {

// "Прекратена актуализация при изпълнението на \rОПЕРАЦИЯ: <i>\r:<statement>"
QString updateAbortedMessage(int operation, const QString& statement);
// "Неуспешна смяна на базата данни", and the reason on a line of its own.
QString switchFailedMessage(const QString& reason);

struct DbOperationResult {
    bool ok = false;
    QStringList log;   // lines for the dialog's log
    QString message;   // a message box text, where the operation shows one
    QString directory; // the directory the operation worked on
};

// Writes the article group tree of a new database: the one root node.
void writeInitialGroupTree(const QString& dir);

// Creates a company database in base/name (base itself when name is empty)
// from SQLs/NewTables.nts, in one transaction, and points the alias to it.
// The log holds an empty line and "ОПЕРАЦИЯ: i- БЕШЕ УСПЕШНА" for every
// statement run, then an empty line and the closing line. On failure the log
// goes on with an empty line, "ГРЕШКА: ", an empty line and
// texts::kCreationCancelled, since every statement logged was undone; the alias,
// the working database and DBVer/Ver stay as they were and what the
// operation created is removed; message explains
// failures that are not a failing statement (bad name, missing script, a
// directory or file that cannot be written, a directory that already holds
// a company database, a script that creates no Operators).
DbOperationResult createCompanyDatabase(Session& session, const QString& base, const QString& name);
// The same on a PostgreSQL server: a new database of the server (its name a
// plain identifier, kept in lower case; refused when the server has one of
// that name), its text files in the alias' company directory. A failure
// drops the new database again, so nothing is left behind.
DbOperationResult createServerDatabase(Session& session, const Alias& target, const QString& password);

// Runs <scriptDir>/UpdateTables.nts on the working database in one
// transaction; on success records the program's release as the version in
// the database and in DBVer/Ver. The log is that of a creation; after a
// failure it ends with an empty line, "ГРЕШКА: ", an empty line and
// texts::kUpdateCancelled, and message names the failed operation. A missing script runs nothing and records
// nothing ("Не беше открит файл за актуализация"); a script whose COUNT/MAX
// is 0 is an empty update and succeeds.
DbOperationResult updateCompanyDatabase(Session& session, const QString& scriptDir);

// Points the alias to dir and reconnects when dir is a company database;
// otherwise leaves the working database as it is and reports
// "Неуспешна смяна на базата данни" with the reason on the next line
// (switchFailedMessage).
DbOperationResult switchCompanyDatabase(Session& session, const QString& dir);
// The same for any database: a directory, or a database of a server with
// its company directory and the password of the server (kept in memory for
// the run when the switch succeeds).
DbOperationResult switchCompanyDatabase(Session& session, const Alias& target, const QString& password);

// Reconnects the workspace after the alias changed and records the
// directory in DBVer/DBPath. False on any error, whose text goes to error
// when given.
bool SET_NEW_DATABASE(Session& session, const QString& dir, QString* error = nullptr);

// The first start: when Data/ holds no company database and the alias
// points there (or is missing), creates it. Returns the error text, or an
// empty text when nothing had to be done or the creation succeeded.
QString ensureDefaultDatabase(Session& session);

// The start-up version check. Returns the texts to show, in order: the
// update request and, when the update script has no marker for the
// release, "Не беше открит файл за актуализация". needsUpdateDialog is set
// when the update dialog should open. A DBVer/Ver that is not an integer
// throws EConvertError (the caller logs it and the start-up goes on);
// Firm_Data.ini or the update script that cannot be read throws
// EInOutError.
struct VersionCheck {
    bool outdated = false;
    QString request;
    bool needsUpdateDialog = false;
    QString noScriptMessage;
};
VersionCheck checkDatabaseVersion(Session& session);

} // namespace torvika
