#pragma once
// "Справка наличности артикули": the stock of the articles that have stock
// rows, summed over the warehouses. Each ticked box narrows the report:
// "Артикул" to the article of the number typed (its reference text shows
// beside it), "Склад" to the quantity in the chosen warehouse (the active
// one is offered first), "Група" to the articles of the chosen group;
// "Търси" shows it. "ПЕЧАТ" writes the report shown, with the conditions
// it was made with, into a grid export file and opens it.

#include "catalogue/stock.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <QStringList>
#include <memory>

class QTableView;

namespace Ui {
class TForm_Nali4nosti_Artikuli;
}

namespace torvika {

class StatementModel;

class TForm_Nali4nosti_Artikuli : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Nali4nosti_Artikuli(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Nali4nosti_Artikuli() override;

    StatementModel* model() const { return model_; }
    QTableView* grid() const;
    // The conditions the ticked boxes give now.
    StockFilter filter() const;

    // Handlers, public so that tests drive them.
    void CheckBox_ArtikulClick();
    void CheckBox_SkladClick();
    void CheckBox_GrupaClick();
    void Edit_ArtikulChange();
    void Button_TarsiClick();
    // Returns the file written; empty when there was nothing to print.
    QString Button_Pe4atClick();

private:
    std::unique_ptr<Ui::TForm_Nali4nosti_Artikuli> ui;
    Session& session_;
    StatementModel* model_;
    // The heading lines naming the conditions of the report shown.
    QStringList conditions_;
};

} // namespace torvika
