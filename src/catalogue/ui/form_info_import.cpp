#include "catalogue/ui/form_info_import.h"

#include "catalogue/texts.h"
#include "common/grid_export.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace torvika {

Form_Info_Import::Form_Info_Import(const GridContext& context, std::function<QDateTime()> now,
                                   QWidget* parent)
    : ListWindow(parent), now_(std::move(now)) {
    setObjectName(QStringLiteral("Form_Info_Import"));
    setWindowTitle(texts::kInfoImportTitle);
    auto* grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("DBGrid_Import"));
    grid->setMinimumSize(780, 320);
    auto* print = new QPushButton(texts::kInfoImportPrint, this);
    print->setObjectName(QStringLiteral("Button_Pe4at"));
    auto* close = new QPushButton(texts::kCancelButton, this);
    close->setObjectName(QStringLiteral("Button_Otkaz"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);

    setUpList(context, grid,
              {{QStringLiteral("ID"), QStringLiteral("Арт. номер"), 10, GridColumnSpec::Integer},
               {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 30},
               {QStringLiteral("Ed_Cena"), QStringLiteral("Цена"), 12, GridColumnSpec::Number, 2},
               {QStringLiteral("Valuta"), QStringLiteral("Валута"), 8},
               {QStringLiteral("Korektion"), QStringLiteral("Корекция"), 9},
               {QStringLiteral("New"), QStringLiteral("Нов артикул"), 11}},
              QStringLiteral("Nomer"));
    connect(print, &QPushButton::clicked, this, [this] {
        GridExport what;
        what.name = QStringLiteral("Import_Statistics");
        what.heading = {QString(), texts::kInfoImportHeading, QString(), exportDateLine(now_())};
        printList(what);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

Form_Info_Import::~Form_Info_Import() = default;

void Form_Info_Import::fill(const QList<ImportedArticle>& rows) {
    guarded([&] {
        if (!table_)
            table_ = std::make_unique<WorkingTable>(database(), QStringLiteral("Import_Statistic"),
                                                    kImportStatisticColumns);
        fillImportStatistics(database(), table_->table(), rows);
        open(importStatisticsStatement(table_->table()));
    });
}

void Form_Info_Import::showStatistics(const QList<ImportedArticle>& rows) {
    fill(rows);
    exec();
}

} // namespace torvika
