#pragma once
// "РЕМОНТ": the items in service, searched by one of the list's columns and
// drawn in the colour of their repair state (overdue ones red and bold);
// the repair lines of the current item with their total in leva; the
// entry of a repair line (a catalogue article or free text, with price,
// currency, quantity, warranty, the serial of the installed part and the
// replacement mark); the state of the item; the repair protocol; and
// "ИЗДАВАНЕ", which hands the selected items to their owners and charges
// their repairs with a receipt.

#include "catalogue/ui/article_picker.h"
#include "common/ui/list_window.h"
#include "service/repairs.h"
#include "shell/ui/host.h"

#include <QList>
#include <memory>

namespace Ui {
class TForm_Remont;
}

namespace torvika {

class StatementModel;

class TForm_Remont : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_Remont(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Remont() override;

    // The item whose repair lines are shown; 0 when none.
    qint64 currentItem() const;
    StatementModel* linesModel() const { return lines_; }
    // The article chosen in the catalogue (mode 9): its reference, price
    // and currency; the serial field for a warranty article.
    void takeArticle(const PickedArticle& article);
    // The counterparty chosen for the search by client (mode 11): searches at once.
    void takeClient(const QString& ref);
    // The repair states read anew (after the state editor closed).
    void readStates();

protected:
    QString sortField(int column) const override;
    void listShown() override;

private:
    void criterionChosen();
    void runSearch();
    void showLines();
    void freeTextToggled(bool on);
    void replacementToggled(bool on);
    void warrantyChanged();
    QDate warrantyUntil() const;
    void stateChosen(int index);
    void addLine();
    void deleteLine();
    void issue();
    void printProtocol();
    void resetEntry();

    std::unique_ptr<Ui::TForm_Remont> ui;
    Session& session_;
    WindowContext context_;
    StatementModel* lines_ = nullptr;
    QList<RepairState> states_;
    qint64 client_ = 0; // the counterparty searched by
    qint64 shownItem_ = -1;
};

} // namespace torvika
