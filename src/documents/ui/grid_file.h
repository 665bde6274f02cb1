#pragma once
// Writing a table view into a grid export file, and the usual print of a
// list: the export kind, the file in TEMP and opening it.

#include "documents/grid_export.h"
#include "shell/session.h"

#include <QList>
#include <QString>
#include <QStringList>

class QTableView;
class QWidget;

namespace torvika {

// The view's visible columns in on-screen order, with their header titles
// and on-screen widths.
QList<GridColumn> visibleColumns(const QTableView* grid);

// Appends the view's rows to the file as a text table of the given kind
// (see the logic's PRINT_INTO). False on a write error or without a model.
bool PRINT_INTO(const QTableView* grid, const QString& fileName, const ExportKind& kind);

// The usual print of a list: choose the kind, rewrite
// "<program dir>TEMP/<name>" + extension with the heading lines, append the
// grid, the closing lines and the footer line (after footerPrefix), and
// open the file. For the HTML kind heading and closing lines are escaped.
struct GridExport {
    QString name;
    QStringList heading{};
    QStringList closing{QString(), QString()};
    QString footerPrefix{};
};
// Returns the name of the file written.
QString exportGrid(Session& session, QWidget* parent, const QTableView* grid, const GridExport& what);

} // namespace torvika
