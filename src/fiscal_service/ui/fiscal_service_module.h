#pragma once
// The fiscal-service page "ФИСКАЛЕН СЕРВИЗ": the device field. The window
// definition hides its tab, so nothing in the program shows it.

#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class FiscalServicePage;
}

namespace torvika {

class FiscalServicePage : public HostPage {
    Q_OBJECT
public:
    explicit FiscalServicePage(QWidget* parent = nullptr);
    ~FiscalServicePage() override;
    // Empties the device field and puts the caret there.
    void activated() override;

private:
    std::unique_ptr<Ui::FiscalServicePage> ui;
};

class FiscalServiceModule : public Module {
public:
    void install(Host& host) override;
};

} // namespace torvika
