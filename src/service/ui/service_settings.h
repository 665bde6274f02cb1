#pragma once
// What the service windows read of the workstation's settings: the decimals
// of amounts, the terminal, the warehouse it sells from and the company's
// own data for the repair protocol.

#include "service/repairs.h"
#include "shell/session.h"

namespace torvika {

int amountDecimals(Session& session);
int terminalNumber(Session& session);
int activeWarehouse(Session& session);
ServiceCompany serviceCompany(Session& session);

} // namespace torvika
