#include "settings/ui/settings_module.h"

#include "settings/ui/form_fast_buttons.h"
#include "settings/ui/form_sistemni_nastr.h"

namespace torvika {

void SettingsModule::install(Host& host) {
    host.registerCommand(Command::N_Sistemni_Nastr,
                         [&host] { TForm_Sistemni_Nastr::run(host.context(), host.window()); });
    host.registerCommand(Command::N34, [this, &host] {
        if (!shortcuts_)
            shortcuts_ = new TForm_Fast_Buttons(host.context(), host.window());
        shortcuts_->exec();
    });
}

} // namespace torvika
