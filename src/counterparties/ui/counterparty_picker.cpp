#include "counterparties/ui/counterparty_picker.h"

#include "counterparties/ui/form_kontrakents.h"

namespace torvika {

QList<int> CounterpartyPicker::modes() {
    QList<int> modes;
    for (int m = kSelectSaleCounterparty; m <= kSelectOffersRequester; ++m)
        modes << m;
    return modes;
}

std::optional<QString> pickCounterparty(const WindowContext& context, int mode, QWidget* parent) {
    TForm_Kontrakents list(context, mode, parent);
    list.exec();
    const std::optional<QString> chosen = list.chosen();
    if (chosen && mode != kBrowseCounterparties)
        context.host.followUps().of<CounterpartyPicker>().run(mode, parent, *chosen);
    return chosen;
}

} // namespace torvika
