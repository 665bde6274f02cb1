#pragma once
// "Справка наличности артикули": the stock of the articles that have stock
// rows, summed over the warehouses. Each ticked box narrows the report:
// "Артикул" to the article of the number typed (its reference text shows
// beside it), "Склад" to the quantity in the chosen warehouse (the active
// one is offered first), "Група" to the articles of the chosen group;
// "Търси" shows it; a click on a column title sorts it. "ПЕЧАТ" writes the
// report shown, with the conditions it was made with, into a grid export
// file and opens it.

#include "catalogue/stock.h"
#include "common/ui/list_window.h"
#include "shell/ui/host.h"

#include <QStringList>
#include <memory>

namespace Ui {
class TForm_Nali4nosti_Artikuli;
}

namespace torvika {

class TForm_Nali4nosti_Artikuli : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_Nali4nosti_Artikuli(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Nali4nosti_Artikuli() override;

    // The conditions the ticked boxes give now.
    StockFilter filter() const;

private slots:
    void CheckBox_ArtikulClick();
    void CheckBox_SkladClick();
    void CheckBox_GrupaClick();
    void Edit_ArtikulChange();
    // Returns the file written; empty when there was nothing to print.
    QString Button_Pe4atClick();
    void Button_TarsiClick();

private:
    std::unique_ptr<Ui::TForm_Nali4nosti_Artikuli> ui;
    Session& session_;
    // The heading lines naming the conditions of the report shown.
    QStringList conditions_;
};

} // namespace torvika
