#pragma once
// The settings' module: "Системни..." opens the settings dialog and
// "Бързи бутони..." the shortcut window.

#include "shell/ui/host.h"

namespace torvika {

class TForm_Fast_Buttons;

class SettingsModule : public Module {
public:
    void install(Host& host) override;

private:
    TForm_Fast_Buttons* shortcuts_ = nullptr; // made on first use, kept
};

} // namespace torvika
