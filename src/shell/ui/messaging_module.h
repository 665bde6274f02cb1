#pragma once
// Workstation messaging: the listener starts with the program (as the
// settings say) and "Изпрати съобщение..." shows or hides the message
// panel; the command stays checked while the panel is shown.

#include "shell/ui/host.h"

namespace torvika {

class TForm_Messages;

class MessagingModule : public Module {
public:
    void install(Host& host) override;

private:
    TForm_Messages* window_ = nullptr;
};

} // namespace torvika
