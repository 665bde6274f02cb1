#include "service/ui/service_settings.h"

namespace torvika {

int amountDecimals(Session& session) {
    return session.firmData().roundingDecimals();
}

int terminalNumber(Session& session) {
    return session.firmData().terminal();
}

int activeWarehouse(Session& session) {
    return session.firmData().activeStore();
}

ServiceCompany serviceCompany(Session& session) {
    const FirmData ini = session.firmData();
    auto key = [&ini](const char* name) {
        return ini.readString(QStringLiteral("Firm_Data"), QLatin1String(name));
    };
    return {key("Name"), key("Mol"),  key("Adress"), key("Phone"),
            key("EIK"),  key("IBAN"), key("BIC"),    key("Bank")};
}

} // namespace torvika
