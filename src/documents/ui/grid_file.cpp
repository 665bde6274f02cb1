#include "documents/ui/grid_file.h"

#include "common/ui/desktop.h"
#include "documents/ui/form_print_vid_fail.h"

#include <QDir>
#include <QFileInfo>
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

QString exportGrid(Session& session, QWidget* parent, const QTableView* grid, const GridExport& what) {
    TForm_Print_Vid_Fail::choose(session, parent);
    const ExportKind kind = session.state<ExportKind>();
    QDir().mkpath(session.programDir.tempDir());
    const QString fileName = exportFileName(session.programDir.tempDir(), what.name, kind);
    // Each step ends silently on a write error; whatever was written is opened.
    if (writeExportLines(fileName, linesForKind(kind, what.heading), ExportWrite::Rewrite) &&
        PRINT_INTO(grid, fileName, kind))
        writeExportLines(fileName, linesForKind(kind, what.closing) << what.footerPrefix + footerLine());
    SHELLEXECUTE_OPENFILE(fileName);
    return fileName;
}

} // namespace torvika
