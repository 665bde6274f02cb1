#pragma once
// "РАЗПЛАЩАНЕ": how the customer pays a sale, how much he gives, and the
// change to hand back.

#include "common/decimal.h"
#include "sales/sale_completion.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class TForm_Pay_Type;
}

namespace torvika {

class TForm_Pay_Type : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Pay_Type(QWidget* parent = nullptr);
    ~TForm_Pay_Type() override;

    // Both amounts := the amount due, "в брой" chosen, the amount given
    // selected for typing over. "отложено плащане" is offered only when
    // offerDeferred and there is a counterparty.
    void prepare(qint64 counterparty, const QString& amountDue, bool offerDeferred);

    // The kind chosen; none when no item is.
    std::optional<PayKind> payKind() const;
    // The amount given; none when the field holds no number.
    std::optional<Decimal> given() const;

    // "ПРИЕМИ": a cash payment must cover the amount due.
    void acceptPayment();

private:
    void givenChanged(const QString& text);
    void kindChosen(PayKind kind);
    Decimal due() const;

    std::unique_ptr<Ui::TForm_Pay_Type> ui;
};

// What the customer pays with: the kind and the amount given (for a
// deferred payment, the first instalment).
struct Payment {
    PayKind kind = PayKind::Cash;
    Decimal given;
};

// Shows the payment dialog for the amount due (its display text) and
// returns the payment chosen, or none when the operator cancelled.
// "отложено плащане" is offered for a sale with a counterparty.
std::optional<Payment> GET_PAY_TYPE(qint64 counterparty, const QString& amountDue, QWidget* parent);

} // namespace torvika
