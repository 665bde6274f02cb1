#pragma once
// Writing a table view into a grid export file and opening a file with the
// application the desktop associates with it.

#include "documents/grid_export.h"
#include "shell/session.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QTableView;
class QWidget;

namespace torvika {

// The view's visible columns in on-screen order, with their header titles
// and on-screen widths.
QList<GridColumn> visibleColumns(const QTableView* grid);

// Appends the view's rows to the file as a text table of the given kind
// (see the logic's PRINT_INTO). False on a write error or without a model.
bool PRINT_INTO(const QTableView* grid, const QString& fileName, const ExportKind& kind);

// Opens the file with its associated application. Without an association
// nothing happens and the file stays where it is; the result says whether
// an application was started.
bool SHELLEXECUTE_OPENFILE(const QString& fileName);

// Replaces what SHELLEXECUTE_OPENFILE does (tests record instead of
// launching); an empty opener restores the desktop's. Returns the previous.
using FileOpener = std::function<bool(const QString& fileName)>;
FileOpener setFileOpener(FileOpener opener);

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
