#include "counterparties/ui/form_grad.h"

#include "common/ui/messages.h"
#include "counterparties/texts.h"

#include <QDataWidgetMapper>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlTableModel>
#include <QTableView>
#include <QVBoxLayout>

namespace torvika {

TForm_Grad::TForm_Grad(Session& session, QWidget* parent)
    : QDialog(parent), model_(new QSqlTableModel(this, session.workspace.db())), grid_(new QTableView(this)) {
    setObjectName(QStringLiteral("Form_Grad"));
    setWindowTitle(QStringLiteral("Населени места"));
    resize(520, 420);
    model_->setTable(QStringLiteral("Grad"));
    model_->setEditStrategy(QSqlTableModel::OnManualSubmit);
    model_->setSort(0, Qt::AscendingOrder);
    model_->select();
    const QStringList titles{QStringLiteral("Име на населено място"), QStringLiteral("Пощенски код"),
                             QStringLiteral("Телефонен код")};
    for (int i = 0; i < titles.size(); ++i)
        model_->setHeaderData(i, Qt::Horizontal, titles.at(i));

    grid_->setObjectName(QStringLiteral("DBGrid_Grad"));
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->horizontalHeader()->setStretchLastSection(true);

    // The fields of the current row.
    auto* mapper = new QDataWidgetMapper(this);
    mapper->setModel(model_);
    mapper->setSubmitPolicy(QDataWidgetMapper::AutoSubmit);
    auto* fields = new QFormLayout;
    const char* const names[] = {"DBEdit_Opisanie", "DBEdit_PK", "DBEdit_TK"};
    for (int i = 0; i < 3; ++i) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(names[i]));
        mapper->addMapping(e, i);
        fields->addRow(titles.at(i), e);
    }
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, mapper,
            [mapper](const QModelIndex& current) { mapper->setCurrentIndex(current.row()); });

    auto* navigator = new QHBoxLayout;
    const std::pair<const char*, QString> buttons[] = {{"DBNavigator_Insert", QStringLiteral("Нов")},
                                                       {"DBNavigator_Delete", QStringLiteral("Изтрий")},
                                                       {"DBNavigator_Edit", QStringLiteral("Редактирай")},
                                                       {"DBNavigator_Post", QStringLiteral("Запис")},
                                                       {"DBNavigator_Cancel", QStringLiteral("Откажи")}};
    QList<QPushButton*> made;
    for (const auto& [name, caption] : buttons) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        navigator->addWidget(b);
        made << b;
    }
    connect(made[0], &QPushButton::clicked, this, &TForm_Grad::beginNewRow);
    connect(made[1], &QPushButton::clicked, this, &TForm_Grad::deleteRow);
    connect(made[2], &QPushButton::clicked, this, &TForm_Grad::editRow);
    connect(made[3], &QPushButton::clicked, this, [this] { post(); });
    connect(made[4], &QPushButton::clicked, this, &TForm_Grad::cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(navigator);
    layout->addWidget(grid_, 1);
    layout->addLayout(fields);
}

void TForm_Grad::beginNewRow() {
    const int row = model_->rowCount();
    model_->insertRow(row);
    grid_->setCurrentIndex(model_->index(row, 0));
    grid_->setFocus();
    grid_->edit(grid_->currentIndex());
}

void TForm_Grad::deleteRow() {
    const QModelIndex current = grid_->currentIndex();
    if (!current.isValid())
        return;
    model_->removeRow(current.row());
    post();
}

void TForm_Grad::editRow() {
    const QModelIndex current = grid_->currentIndex();
    if (current.isValid())
        grid_->edit(current);
}

bool TForm_Grad::post() {
    grid_->setFocus(); // ends an open cell editor, whose text goes to the model
    if (model_->submitAll())
        return true;
    showMessage(kIncorrectData);
    return false;
}

void TForm_Grad::cancel() {
    model_->revertAll();
}

void TForm_Grad::done(int result) {
    model_->revertAll();
    QDialog::done(result);
}

} // namespace torvika
