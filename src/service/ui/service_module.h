#pragma once
// The service desk's part of the main window: the service page.

#include "shell/ui/host.h"

namespace torvika {

class ServiceModule : public Module {
public:
    void install(Host& host) override;
};

} // namespace torvika
