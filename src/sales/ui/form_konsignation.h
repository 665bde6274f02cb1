#pragma once
// "Консигнация": the terms of a sale paid later, in instalments. The dialog
// lists the sale's lines (a line removed here is left out of the sale and
// of the credit), computes the total due, the instalment and the payment
// date as the terms change, prints the handover protocol with its
// repayment schedule, and hands the terms to the sale on "ВЪВЕЖДАНЕ".

#include "sales/consignment.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class TForm_Konsignation;
}

namespace torvika {

class StatementModel;

// What the dialog hands to the sale.
struct CreditSale {
    CreditTerms terms;
    QList<SaleLine> lines; // the lines sold on credit, in the order of the sale
    Decimal purchase;      // their amounts in the base currency
};

class TForm_Konsignation : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Konsignation(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Konsignation() override;

    // Lists the lines for the counterparty ("<ID>:<name>"); an amount given
    // above 0 becomes the first instalment. Throws EDatabaseError.
    void prepare(const QList<SaleLine>& lines, const QString& counterparty, const Decimal& given);
    // The terms as the controls hold them; none when a number is not one
    // (the message said which).
    std::optional<CreditTerms> terms(bool say) const;
    CreditSale creditSale() const;

private:
    void recompute();
    void methodChosen(int index);
    void numberEdited(QLineEdit* field);
    void Button_VavejdaneClick();
    void Button_IztriiClick();
    void Button_Pe4atClick();

    std::unique_ptr<Ui::TForm_Konsignation> ui;
    Session& session_;
    int decimals() const;
    StatementModel* model_ = nullptr;
    std::unique_ptr<ConsignmentLines> lines_;
    QString counterparty_;
};

// INSERTINTO_KONSIGNATION: the dialog for the sale's lines; none when the
// operator cancelled or closed it (then nothing is sold).
std::optional<CreditSale> INSERTINTO_KONSIGNATION(const WindowContext& context, const QList<SaleLine>& lines,
                                                  const QString& counterparty, const Decimal& given,
                                                  QWidget* parent);

} // namespace torvika
