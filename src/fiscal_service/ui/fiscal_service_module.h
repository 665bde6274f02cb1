#pragma once
// The fiscal service's module: its page "ФИСКАЛЕН СЕРВИЗ" (shown while its
// setting says so), the certificate register and forbidden models
// of the menu "Настройки" / "ФИСКАЛЕН СЕРВИЗ", and the lists of the menu
// "Справки" / "Фискален сервиз".

#include "shell/ui/host.h"

namespace torvika {

class TForm_Sv_BIM;

class FiscalServiceModule : public Module {
public:
    void install(Host& host) override;
    void databaseChanged() override;

private:
    Host* host_ = nullptr;
    // Created the first time it is needed and kept for the run.
    TForm_Sv_BIM* certificates_ = nullptr;
};

} // namespace torvika
