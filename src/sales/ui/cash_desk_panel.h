#pragma once
// The panel "КАСА" of the shop page (the tool button "Паричен калкулатор"):
// the cash this workstation took today, the coins and notes counted in the
// drawer, what is in hand and the difference, and the count report
// (TEMP/Account.tmp, opened when written). The count fields are made from
// the denominations of the base currency.

#include "sales/cash_count.h"
#include "shell/ui/host.h"

#include <QGroupBox>
#include <QList>
#include <memory>

class QFormLayout;
class QSpinBox;

namespace Ui {
class CashDeskPanel;
}

namespace torvika {

class CashDeskPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit CashDeskPanel(QWidget* parent = nullptr);
    ~CashDeskPanel() override;

    void setUp(const WindowContext& context);

    // Shows the panel with today's cash and every count at 0, or hides it.
    void toggle();
    // Reads today's cash anew and sets every count to 0.
    void load();

    // Handlers.
    void SpdBtn_Iz4isliClick();
    void SpeedButton1Click();
    // "Служебно въведени" / "Служебно изведени": the amount asked for and
    // sent to the print server as cash in or out.
    void cashMovement(const QString& call);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildCountFields();
    QList<qint64> counts() const;

    std::unique_ptr<Ui::CashDeskPanel> ui;
    Session* session_ = nullptr;
    CashCurrency currency_;
    QFormLayout* coins_ = nullptr;
    QFormLayout* notes_ = nullptr;
    QList<QSpinBox*> fields_;
    Decimal turnover_;
    Decimal inHand_;
};

} // namespace torvika
