#pragma once
// The documents' part of the main window: the document designer
// ("Документация..."), the registers of document kinds ("Начален номер на
// документ...") and of working-document kinds ("Работни документи ..."),
// the report of issued documents, and the operator's own queries.

#include "shell/ui/host.h"

namespace torvika {

class DocumentsModule : public Module {
public:
    void install(Host& host) override;
};

} // namespace torvika
