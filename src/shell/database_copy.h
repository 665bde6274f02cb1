#pragma once
// Moving a company to a server: an existing company database is copied
// whole into a new company database on a PostgreSQL server (every table,
// every row, keys beyond the copied ones), with the text files of the
// company directory. A user who outgrows one workstation keeps every sale.

#include "common/progress.h"
#include "shell/session.h"

#include <QString>
#include <functional>

namespace torvika {

struct CopyReport {
    int tables = 0;
    qint64 rows = 0;
};

// Copies the company database of `from` into a new database `to` (created
// here from the creation script of the program directory, so both are at
// the program's version; a source at another version is refused). All of
// it in one transaction on the server: a failure, or a cancel through the
// progress, drops the new database again and leaves nothing behind. The
// text files of the source's company directory are copied into the
// target's, where that is another directory. Throws Error with the reason.
CopyReport copyCompanyDatabase(const ProgramDir& programDir, const Alias& from, const Alias& to,
                               const QString& password, Progress& progress);

// The target of the command line "--copy-database FROM TO": FROM is the
// directory of a company database; TO names a server database as libpq's
// key=value text ("host=… port=… dbname=… user=… sslmode=…") with the
// company directory as dir=…. Throws EConvertError for a text it cannot read.
Alias serverAliasFromText(const QString& text);

} // namespace torvika
