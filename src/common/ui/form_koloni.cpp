#include "common/ui/form_koloni.h"

#include "ui_form_koloni.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

namespace torvika {

TForm_Koloni::TForm_Koloni(QTableView* grid, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Koloni), grid_(grid) {
    ui->setupUi(this);
    const QAbstractItemModel* model = grid->model();
    for (int c = 0; model && c < model->columnCount(); ++c) {
        auto* line =
            new QListWidgetItem(model->headerData(c, Qt::Horizontal).toString(), ui->CheckListBox_Koloni);
        line->setFlags(line->flags() | Qt::ItemIsUserCheckable);
        line->setCheckState(grid->isColumnHidden(c) ? Qt::Unchecked : Qt::Checked);
    }
    connect(ui->BitBtn_All, &QPushButton::clicked, this, &TForm_Koloni::BitBtn_AllClick);
    connect(ui->BitBtn_Notingh, &QPushButton::clicked, this, &TForm_Koloni::BitBtn_NotinghClick);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm_Koloni::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TForm_Koloni::~TForm_Koloni() = default;

void TForm_Koloni::markAll(bool shown) {
    for (int i = 0; i < ui->CheckListBox_Koloni->count(); ++i)
        ui->CheckListBox_Koloni->item(i)->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
}

void TForm_Koloni::BitBtn_AllClick() {
    markAll(true);
}

void TForm_Koloni::BitBtn_NotinghClick() {
    markAll(false);
}

void TForm_Koloni::BitBtn1Click() {
    for (int i = 0; i < ui->CheckListBox_Koloni->count(); ++i)
        grid_->setColumnHidden(i, ui->CheckListBox_Koloni->item(i)->checkState() != Qt::Checked);
    accept();
}

void Nastr_Koloni_Grid(QTableView* grid) {
    TForm_Koloni window(grid, grid->window());
    window.exec();
}

void addColumnMenu(QTableView* grid) {
    auto* columns = new QAction(QStringLiteral("Настроика колони ..."), grid);
    columns->setObjectName(QStringLiteral("N_Nastr_Koloni"));
    QObject::connect(columns, &QAction::triggered, grid, [grid] { Nastr_Koloni_Grid(grid); });
    grid->addAction(columns);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
}

} // namespace torvika
