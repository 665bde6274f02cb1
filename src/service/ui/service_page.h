#pragma once
// The service page "СЕРВИЗ": the client of the intake with its quick
// search, the serial number, the currency, the workshop department and the
// due date.

#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class ServicePage;
}

namespace torvika {

class ServicePage : public HostPage {
    Q_OBJECT
public:
    explicit ServicePage(Host& host, QWidget* parent = nullptr);
    ~ServicePage() override;

    void formShown(bool current) override;
    // Fills the currency and department boxes anew and sets the due date to today.
    void activated() override;

private:
    std::unique_ptr<Ui::ServicePage> ui;
    Host& host_;
};

} // namespace torvika
