#include "app/modules.h"

#include "shell/ui/general_form.h"

namespace torvika {

void Modules::installInto(TGeneral_Form& form) {
    form.install(counterparties);
    form.install(catalogue);
    form.install(documents);
    form.install(sales);
    form.install(service);
    form.install(fiscalService);
}

} // namespace torvika
