#pragma once
// The service page "СЕРВИЗ": the client of the intake with its quick
// search, the serial number, the currency, the workshop department and the
// due date.

#include "documents/print_run.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class ServicePage;
}

namespace torvika {

class DocumentChoosers;

class ServicePage : public HostPage {
    Q_OBJECT
public:
    explicit ServicePage(Host& host, QWidget* parent = nullptr);
    ~ServicePage() override;

    // Registers what the counterparty list delivers to the page: the
    // intake's client (its module does, while it is installed).
    void addFollowUps(FollowUpRegistry& followUps);

    void formShown(bool current) override;
    // Fills the currency and department boxes anew and sets the due date to today.
    void activated() override;

    // The documents of the page, printed for the selected intake lines
    // (N_Prodajba of Priem_Ser_Vremen, in the order they were selected)
    // with the amounts of those lines. The intake grid hands its selection
    // over with setSelectedIntakeLines() until it provides it itself.
    DocumentChoosers* documentChoosers() const;
    void setSelectedIntakeLines(const QList<qint64>& lines) { selectedLines_ = lines; }
    QList<qint64> selectedIntakeLines() const { return selectedLines_; }
    // The estimated repair prices of the lines, at the standard VAT rate.
    LineAmounts documentAmounts() const;
    // "Печат документи" of the service page.
    void Button3Click();

private:
    std::unique_ptr<Ui::ServicePage> ui;
    Host& host_;
    QList<qint64> selectedLines_;
};

} // namespace torvika
