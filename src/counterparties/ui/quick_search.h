#pragma once
// The quick counterparty search of a page: as the operator types, the
// counterparties found are listed under the field, and picking one makes it
// the page's counterparty. The shop page's field is
// Label_Selected_Kontragent with ListBox_Selected_Kontrag, the service
// page's Label_Selected_Kontragent_Ser with ListBox_Selected_Kontrag_Ser.
// The page decides what a choice does (chosen()).

#include "counterparties/counterparties.h"
#include "shell/ui/host.h"

#include <QWidget>

class QLineEdit;
class QListWidget;

namespace torvika {

class CounterpartyQuickSearch : public QWidget {
    Q_OBJECT
public:
    // A search still to be set up (as a window's .ui file creates it).
    explicit CounterpartyQuickSearch(QWidget* parent = nullptr);
    // The list is created as a child of listHost (by default the parent),
    // which must be an ancestor of this widget; it is laid over the host's
    // other widgets right under the field.
    CounterpartyQuickSearch(const WindowContext& context, QuickSearchPage page, QWidget* parent,
                            QWidget* listHost = nullptr);
    void setUp(const WindowContext& context, QuickSearchPage page, QWidget* listHost = nullptr);

    QLineEdit* field() const { return field_; }
    QListWidget* list() const { return list_; }
    QuickSearchPage page() const { return page_; }

    // Shows a reference text in the field: in blue when it names a
    // counterparty, in red for "none".
    void setCounterpartyText(const QString& text);

    // Handlers, public so that tests drive them.
    void fieldChanged(const QString& text);
    void pick();
    void fieldExit();
    void listEscape();

signals:
    // A counterparty was taken from the list under the field (and written
    // into the field).
    void chosen(const QString& refText);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hideList();

    std::optional<WindowContext> context_;
    Session* session_ = nullptr;
    QuickSearchPage page_ = QuickSearchPage::Shop;
    QWidget* host_ = nullptr;
    QLineEdit* field_;
    QListWidget* list_ = nullptr;
    // The last search found nothing: Enter asks whether to enter a new one.
    bool foundNothing_ = false;
};

} // namespace torvika
