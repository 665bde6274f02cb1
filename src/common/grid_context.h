#pragma once
// What a window of grids needs of the run it belongs to: the working
// database, the one direction switch of the lists sorted by a click on a
// column title, the export kind chosen last and the directory the export
// files are written to. The shell makes one from its session.

#include "common/export_kind.h"
#include "common/sql_statement.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>

namespace torvika {

struct GridContext {
    std::function<QSqlDatabase()> database;
    SortDirection* sortDirection = nullptr;
    ExportKind* exportKind = nullptr;
    QString tempDir;
};

} // namespace torvika
