#pragma once
// "Колони" (TForm_Koloni): which columns of a grid are shown. The tick list
// holds every column's title in column order, ticked while it is shown;
// "Всичко" and "Нищо" tick and clear every line; "Приеми" shows exactly
// the ticked columns, "Откажи" changes nothing. Nothing is stored: the
// grid keeps the change while it lives.
//
// addColumnMenu gives a grid the context menu with "Настроика колони ...".

#include <QDialog>
#include <memory>

class QTableView;

namespace Ui {
class TForm_Koloni;
}

namespace torvika {

class TForm_Koloni : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Koloni(QTableView* grid, QWidget* parent = nullptr);
    ~TForm_Koloni() override;

private slots:
    void BitBtn_AllClick();
    void BitBtn_NotinghClick();
    void BitBtn1Click();

private:
    void markAll(bool shown);

    std::unique_ptr<Ui::TForm_Koloni> ui;
    QTableView* grid_;
};

// Nastr_Koloni_Grid: the column window for the grid, modally.
void Nastr_Koloni_Grid(QTableView* grid);

// The grid's context menu: "Настроика колони ..." (N_Nastr_Koloni) opens
// the column window for it.
void addColumnMenu(QTableView* grid);

} // namespace torvika
