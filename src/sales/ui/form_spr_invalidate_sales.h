#pragma once
// "Справка анулирани продажби": the invalidated sale lines that match the
// ticked filters (the sale's counterparty, article, date, time, amount,
// operator and payment kind; who invalidated, the reason, and the date and
// time of the invalidation), sorted by a title click and printed into a
// grid export file.

#include "common/ui/list_window.h"
#include "sales/invalidation.h"
#include "shell/ui/host.h"

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QWidget;

namespace Ui {
class TForm_Spr_Invalidate_Sales;
}

namespace torvika {

class TForm_Spr_Invalidate_Sales : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_Spr_Invalidate_Sales(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Spr_Invalidate_Sales() override;

    // The filters as the search takes them; none when an amount is no
    // number (the message said so).
    std::optional<InvalidatedCriteria> criteria() const;

protected:
    void showEvent(QShowEvent* e) override;
    QString sortField(int column) const override;

private:
    // A filter: its check box and the controls it enables; a comparison
    // whose "между" shows the second value and the captions.
    struct Filter {
        QCheckBox* box;
        QList<QWidget*> controls;
        QComboBox* comparison = nullptr;
        QList<QWidget*> range{};
    };
    void filterTicked(const Filter& f, bool on);
    void updateRange(const Filter& f);
    void fillChoices();
    void Button_SearchClick();
    void Button_Pe4atClick();

    std::unique_ptr<Ui::TForm_Spr_Invalidate_Sales> ui;
    Session& session_;
    QList<Filter> filters_;
};

} // namespace torvika
