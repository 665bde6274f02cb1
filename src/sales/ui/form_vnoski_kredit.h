#pragma once
// "Вноски кредити": the open credits of a counterparty, the lines and the
// amounts of the credit chosen, the payment of its current instalment in
// full or in part (with the receipt [Tuning] "FB" asks for), the voucher
// of a payment, and the counterparty chosen anew from the list.

#include "sales/consignment.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>
#include <optional>

class QLineEdit;

namespace Ui {
class TForm_Vnoski_Kredit;
}

namespace torvika {

class StatementModel;

class TForm_Vnoski_Kredit : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Vnoski_Kredit(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Vnoski_Kredit() override;

    // The open credits of the counterparty ("<ID>:<name>"), the first chosen.
    void loadCounterparty(const QString& refText);
    // The credit shown; none without one.
    const std::optional<CreditState>& credit() const { return credit_; }

    // Asks the counterparty in the list (selection mode 3) and shows its credits.
    void chooseCounterparty();

protected:
    void reject() override;

private:
    void chooseCredit();
    void partialTicked(bool on);
    void Button_IzplatiClick();
    void Button_Pe4atClick();
    void Button_ZatvoriClick();
    VoucherData voucher(const Decimal& amount, bool partial) const;

    std::unique_ptr<Ui::TForm_Vnoski_Kredit> ui;
    WindowContext context_;
    Session& session_;
    StatementModel* model_ = nullptr;
    QString counterparty_;
    std::optional<CreditState> credit_;
    std::optional<VoucherData> lastPayment_;
};

} // namespace torvika
