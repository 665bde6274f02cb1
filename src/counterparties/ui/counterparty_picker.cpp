#include "counterparties/ui/counterparty_picker.h"

#include "counterparties/ui/form_kontrakents.h"

namespace torvika {

FollowUps<QString>& counterpartyFollowUps() {
    static FollowUps<QString> followUps;
    return followUps;
}

std::optional<QString> pickCounterparty(const WindowContext& context, int mode, QWidget* parent) {
    TForm_Kontrakents list(context, mode, parent);
    list.exec();
    const std::optional<QString> chosen = list.chosen();
    if (chosen && mode != kBrowseCounterparties)
        counterpartyFollowUps().run(mode, *chosen);
    return chosen;
}

} // namespace torvika
