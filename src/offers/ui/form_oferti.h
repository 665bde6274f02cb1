#pragma once
// "Оферти": supplier price lists in a tree (import, update, delete), their
// articles browsed by group or searched, and the offer being composed from
// them: lines with a price correction and a marker, the comparison of the
// alternatives of one marker, the mandatory elements, saving (with order
// lines to the suppliers asked for) and printing. One window at a time,
// modeless; the offer lives in a working copy of the connection and is
// lost when the window closes.

#include "catalogue/ui/article_picker.h"
#include "common/sql_statement.h"
#include "offers/offers.h"
#include "offers/supplier_lists.h"
#include "shell/ui/host.h"

#include <QPointer>
#include <QWidget>
#include <memory>

namespace Ui {
class TForm_Oferti;
}
class QTreeWidgetItem;

namespace torvika {

class ImportStatisticPanel;
class StatementModel;

// The company data the printed offer names, from the settings.
CompanyData companyData(Session& session);

class TForm_Oferti : public QWidget {
    Q_OBJECT
public:
    TForm_Oferti(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Oferti() override;

    // The window: made when there is none, else restored from minimized
    // and brought to the front.
    static TForm_Oferti* showWindow(const WindowContext& context, QWidget* parent);
    // The window if it is open.
    static TForm_Oferti* openWindow();

    // What the pickers hand back.
    static void addFollowUps(FollowUpRegistry& registry);
    void takeCounterparty(const QString& refText);
    void addOwnArticles(const QList<PickedArticle>& articles);
    // A saved offer's lines, counterparty and advance in place of the offer
    // being composed.
    void reopen(const StoredOffer& offer);

    // The colour of a catalogue row and of an offer line (invalid: normal).
    QColor articleColour(int row) const;
    QColor lineColour(int row) const;

private:
    void loadTree();
    QList<qint64> searchedSuppliers() const;
    void importList(bool update);
    void deleteNode();
    void deleteAll();
    void nodeClicked(QTreeWidgetItem* item);
    void showArticles(const SqlStatement& statement);
    void search();
    void chooseCriterion();
    void sortByBoxes();
    void titleClicked(bool offerGrid, int column);
    void addSelected();
    void deleteLines();
    void compare();
    void refreshOffer();
    void loadElements();
    void addElement();
    void deleteElement();
    void save();
    void print();
    bool confirmElements();
    void printOffer(qint64 number);
    int decimals() const;

    std::unique_ptr<Ui::TForm_Oferti> ui;
    const WindowContext context_;
    Session& session_;
    QString treeFile_;
    OfferCopy copy_;
    StatementModel* articles_;
    StatementModel* lines_;
    PriceBounds bounds_;
    MarkerComparison comparison_;
    QList<MandatoryElement> elements_;
    QList<int> sortBoxes_; // ticked, in the order ticked
    SortDirection sortDirection_;
    ImportStatisticPanel* panel_ = nullptr;
};

} // namespace torvika
