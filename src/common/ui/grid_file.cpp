#include "common/ui/grid_file.h"

#include "common/ui/desktop.h"
#include "common/ui/form_print_vid_fail.h"

#include <QDir>
#include <QHeaderView>
#include <QTableView>

namespace torvika {

QList<GridColumn> visibleColumns(const QTableView* grid) {
    QList<GridColumn> columns;
    const QAbstractItemModel* model = grid->model();
    if (!model)
        return columns;
    const QHeaderView* header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical < 0 || header->isSectionHidden(logical))
            continue;
        columns.append({logical, model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString(),
                        header->sectionSize(logical)});
    }
    return columns;
}

bool PRINT_INTO(const QTableView* grid, const QString& fileName, const ExportKind& kind) {
    QAbstractItemModel* model = grid->model();
    if (!model)
        return false;
    return PRINT_INTO(*model, visibleColumns(grid), fileName, kind);
}

GridFile::GridFile(const GridContext& context, QWidget* parent, const QString& name) {
    TForm_Print_Vid_Fail::choose(*context.exportKind, parent);
    kind_ = *context.exportKind;
    QDir().mkpath(context.tempDir);
    fileName_ = exportFileName(context.tempDir, name, kind_);
}

ExportWrite GridFile::nextMode() {
    const ExportWrite mode = started_ ? ExportWrite::Append : ExportWrite::Rewrite;
    started_ = true;
    return mode;
}

bool GridFile::lines(const QStringList& lines) {
    ok_ = ok_ && writeExportLines(fileName_, linesForKind(kind_, lines), nextMode());
    return ok_;
}

bool GridFile::table(QAbstractItemModel& model, const QList<GridColumn>& columns) {
    if (ok_ && !started_)
        ok_ = writeExportText(fileName_, QString(), nextMode());
    ok_ = ok_ && PRINT_INTO(model, columns, fileName_, kind_);
    return ok_;
}

bool GridFile::table(const QTableView* grid) {
    QAbstractItemModel* model = grid->model();
    return model ? table(*model, visibleColumns(grid)) : (ok_ = false);
}

QString GridFile::finish(const QStringList& closing, const QString& footerPrefix) {
    if (ok_)
        writeExportLines(fileName_, linesForKind(kind_, closing) << footerPrefix + footerLine(), nextMode());
    SHELLEXECUTE_OPENFILE(fileName_);
    return fileName_;
}

QString exportGrid(const GridContext& context, QWidget* parent, const QTableView* grid,
                   const GridExport& what) {
    GridFile file(context, parent, what.name);
    file.lines(what.heading);
    file.table(grid);
    return file.finish(what.closing, what.footerPrefix);
}

} // namespace torvika
