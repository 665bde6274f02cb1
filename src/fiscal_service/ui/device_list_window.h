#pragma once
// The fiscal service's lists, each printable and exportable: the devices
// and their owners (searched by device number or owner, registered within
// a period), the contracts expired by a date (ended within a period, or all
// of them, and devices without one), the registered devices at the service
// desk, the repairs done on a device, and the models with the forbidden
// ones marked ("Забранени модели": the current model is forbidden or
// allowed again).

#include "common/ui/list_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Fisk_Spravka;
}

namespace torvika {

enum class DeviceList { Devices, ExpiredContracts, InService, Repairs, ForbiddenModels };

class TForm_Fisk_Spravka : public ListWindow {
    Q_OBJECT
public:
    // text: the search's first text (a device number for its repairs).
    TForm_Fisk_Spravka(const WindowContext& context, DeviceList list, QWidget* parent = nullptr,
                       const QString& text = {});
    ~TForm_Fisk_Spravka() override;

private:
    void Button_TarsiClick();
    void Button_ZabraniClick();
    void listShown() override;
    SqlStatement statementNow() const;

    WindowContext context_;
    DeviceList list_;
    std::unique_ptr<Ui::TForm_Fisk_Spravka> ui;
};

} // namespace torvika
