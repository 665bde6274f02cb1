#include "service/ui/service_settings.h"

namespace torvika {

int amountDecimals(Session& session) {
    return session.settings().get(setting::kAmountDecimals);
}

int terminalNumber(Session& session) {
    return session.settings().get(setting::kTerminal);
}

int activeWarehouse(Session& session) {
    return session.settings().get(setting::kActiveWarehouse);
}

ServiceCompany serviceCompany(Session& session) {
    const Settings& s = session.settings();
    return {s.get(setting::kCompanyName),  s.get(setting::kCompanyManager), s.get(setting::kCompanyAddress),
            s.get(setting::kCompanyPhone), s.get(setting::kCompanyEik),     s.get(setting::kCompanyIban),
            s.get(setting::kCompanyBic),   s.get(setting::kCompanyBank)};
}

} // namespace torvika
