#pragma once
// "Справка продажби": the recorded sale lines that match the ticked
// criteria, their totals by payment state (paid, open obligations, paid-off
// obligations; the lines of open credits in red, of paid-off ones in blue),
// the list printed into a grid export file, documents issued for the
// chosen lines (one per counterparty), a fiscal receipt for chosen lines
// that never had one, and the invalidation of the chosen lines with the
// credit note for the goods of an annulled invoice.

#include "catalogue/ui/article_picker.h"
#include "common/ui/list_window.h"
#include "sales/invalidation.h"
#include "sales/sales_report.h"
#include "shell/ui/host.h"

#include <QList>
#include <functional>
#include <memory>

namespace Ui {
class TForm_Spravka_prodajba;
}

namespace torvika {

class SelectionOrder;

class TForm_Spravka_prodajba : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_Spravka_prodajba(const WindowContext& context, QWidget* parent = nullptr);

    // The pickers' follow-ups of the criteria "Контрагент" and "Артикул".
    static void addFollowUps(FollowUpRegistry& followUps);
    ~TForm_Spravka_prodajba() override;

    // The ticked criteria as the search takes them.
    SalesReportCriteria criteria() const;
    // The chosen lines (ID_Prodajba), in the order they were selected.
    QList<qint64> chosenLines() const;

    // The choices of the pickers the criteria open.
    void setCounterparty(const QString& refText);
    void setArticles(const QList<qint64>& marked, const QString& labelText);
    void setArticleChoice(const ArticleChoice& choice);

    // "Анулиране" / "Продажба": invalidates the chosen lines, asking first,
    // then searches again.
    void invalidateChosen();
    // "Анулирай" runs the menu command, and is enabled as it is.
    void setInvalidationCommand(std::function<bool()> allowed, std::function<void()> run) {
        invalidationAllowed_ = std::move(allowed);
        invalidateCommand_ = std::move(run);
    }

protected:
    void showEvent(QShowEvent* e) override;
    QString sortField(int column) const override;

private:
    void FormShow();
    void counterpartyTicked(bool on);
    void articleTicked(bool on);
    void dateTicked(bool on);
    void timeTicked(bool on);
    void operatorTicked(bool on);
    void payKindTicked(bool on);
    void warehouseTicked(bool on);
    void amountTicked(bool on);
    void updateRanges();

    void Button_SearchClick();
    void Button1Click();
    void Button3Click();
    void Button4Click();

    void offerCreditNotes(const QList<AnnulledDocument>& annulled, const QString& reason);

    QList<SalesReportHeadingCriterion> headingCriteria() const;
    int decimals() const;

    std::unique_ptr<Ui::TForm_Spravka_prodajba> ui;
    WindowContext context_;
    Session& session_;
    SelectionOrder* order_ = nullptr;
    QList<qint64> markedArticles_;
    QStringList totalTexts_;
    std::function<bool()> invalidationAllowed_;
    std::function<void()> invalidateCommand_;
};

} // namespace torvika
