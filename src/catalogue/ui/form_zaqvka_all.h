#pragma once
// "Списък артикули за заявка": every order line to suppliers with its
// article's group, the search by the column last clicked (dates and numbers
// compared, texts found by containment), the title-click sort, deleting the
// marked lines (also with Delete), "Добави" (the order dialog), the list
// printed to a file, and "Изготви заявка": the marked lines (or all shown)
// as an order to each of their suppliers, in one file.

#include "catalogue/orders.h"
#include "common/ui/list_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Zaqvka_all;
}

namespace torvika {

class TForm_Zaqvka_all : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_Zaqvka_all(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Zaqvka_all() override;

    OrderColumn searchColumn() const { return OrderColumn(ListWindow::searchColumn()); }
    // The IDs of the lines shown, in list order (every page read).
    QList<qint64> shownLines();
    // The marked lines in list order.
    QList<qint64> markedLines() const;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QString sortField(int column) const override;

private slots:
    void FormShow();
    // Makes the clicked cell's column the search column.
    void DBGrid1CellClick(const QModelIndex& index);
    void Button_TarseneClick();
    void Button_DobaviClick();
    // The files written, empty when nothing was printed.
    QString Button_Pe4atClick();
    QString Button_Izgotvi_ZaqvkaClick();
    void Button_IztriiClick();

private:
    void showAll();
    void setSearchColumn(OrderColumn column);
    void ComboBox_UslovieChange();

    std::unique_ptr<Ui::TForm_Zaqvka_all> ui;
    const WindowContext context_;
    Session& session_;
};

} // namespace torvika
