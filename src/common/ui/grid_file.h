#pragma once
// Writing table views into grid export files, and the usual print of a
// list: the export kind chosen, the file in TEMP written and opened.

#include "common/grid_context.h"
#include "common/grid_export.h"

#include <QList>
#include <QString>
#include <QStringList>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace torvika {

// The view's visible columns in on-screen order, with their header titles
// and on-screen widths.
QList<GridColumn> visibleColumns(const QTableView* grid);

// Appends the view's rows to the file as a text table of the given kind
// (see the logic's PRINT_INTO). False on a write error or without a model.
bool PRINT_INTO(const QTableView* grid, const QString& fileName, const ExportKind& kind);

// A grid export file written part by part. Making one shows the export-kind
// chooser and names the file "<TEMP>/<name>" + the kind's extension; the
// first part written replaces what the file held. A write error ends the
// writing silently (no later part, no footer); finish() opens whatever was
// written.
class GridFile {
public:
    GridFile(const GridContext& context, QWidget* parent, const QString& name);

    const ExportKind& kind() const { return kind_; }
    const QString& fileName() const { return fileName_; }

    // Lines of our own, escaped for the web file. False once writing ended.
    bool lines(const QStringList& lines);
    // A table of the model's rows in the columns (PRINT_INTO), or of the
    // view's rows in its visible columns.
    bool table(QAbstractItemModel& model, const QList<GridColumn>& columns);
    bool table(const QTableView* grid);
    // Ends the writing after a failure of the caller's own.
    void abandon() { ok_ = false; }
    // Unless the writing ended: the closing lines and the footer line (after
    // footerPrefix). Then opens the file; returns its name.
    QString finish(const QStringList& closing, const QString& footerPrefix = {});

private:
    ExportWrite nextMode();

    ExportKind kind_;
    QString fileName_;
    bool started_ = false;
    bool ok_ = true;
};

// The usual print of a list: a grid file with the heading lines, the grid,
// the closing lines and the footer line (after footerPrefix). Returns the
// name of the file written.
struct GridExport {
    QString name;
    QStringList heading{};
    QStringList closing{QString(), QString()};
    QString footerPrefix{};
};
QString exportGrid(const GridContext& context, QWidget* parent, const QTableView* grid,
                   const GridExport& what);

} // namespace torvika
