#pragma once
// The quick counterparty search of the shop page (Label_Selected_Kontragent
// with ListBox_Selected_Kontrag) and of the service page
// (Label_Selected_Kontragent_Ser with ListBox_Selected_Kontrag_Ser): as the
// operator types, the counterparties found are listed under the field, and
// picking one makes it the page's counterparty. The shop page's choice is
// the sale counterparty of the operator: it is remembered per operator in
// the session and applied to the operator's pending sale lines.
//
// Each page's search also registers the follow-up of its selection mode of
// the counterparty list (0 for the shop, 9 for the service page), so that a
// choice made in the list lands in the same field.

#include "counterparties/counterparties.h"
#include "shell/session.h"

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>
#include <functional>

class QLineEdit;
class QListWidget;

namespace torvika {

class CounterpartyQuickSearch : public QWidget {
    Q_OBJECT
public:
    // The list is created as a child of listHost (by default the parent),
    // which must be an ancestor of this widget; it is laid over the host's
    // other widgets right under the field.
    CounterpartyQuickSearch(Session& session, QuickSearchPage page, QWidget* parent,
                            QWidget* listHost = nullptr);

    QLineEdit* field() const { return field_; }
    QListWidget* list() const { return list_; }
    QuickSearchPage page() const { return page_; }

    // What the sale page provides (the shop page only). Without them the
    // operator's lines are read from Prodajbi_Vremenni and nothing is
    // recomputed.
    struct SaleHooks {
        // Selects the operator's lines in the sale grid and gives their
        // article numbers (Prodajbi_Vremenni.Barkod).
        std::function<QList<qint64>()> selectOperatorLines;
        // Calculate_SUM.
        std::function<void()> recalculate;
    };
    void setSaleHooks(SaleHooks hooks) { hooks_ = std::move(hooks); }
    // The debts button SpdBtn_Zadaljeniq of the shop page; without one it
    // is looked up by name in this widget's window.
    void setDebtsButton(QAbstractButton* button) { debts_ = button; }

    // Shows a reference text in the field: in blue when it names a
    // counterparty, in red for "none".
    void setCounterpartyText(const QString& text);

    // Makes the reference text the sale counterparty of the operator (shop
    // page): the field, the per-operator map, the discounts question and the
    // pending lines, the totals and the debts button. fromQuickSearch also
    // gives the lines the counterparty's own article numbers and shows or
    // hides the debts button (the list enables or disables it).
    void chooseSaleCounterparty(const QString& refText, bool fromQuickSearch);

    // Handlers, public so that tests drive them.
    void fieldChanged(const QString& text);
    void pick();
    void fieldExit();
    void listEscape();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showItems(const QStringList& items);
    void hideList();
    QAbstractButton* debtsButton() const;

    Session& session_;
    const QuickSearchPage page_;
    QWidget* host_;
    QLineEdit* field_;
    QListWidget* list_;
    SaleHooks hooks_;
    QPointer<QAbstractButton> debts_;
    // The last search found nothing: Enter asks whether to enter a new one.
    bool foundNothing_ = false;
};

} // namespace torvika
