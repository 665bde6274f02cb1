// Names the build checks. Spelled as the program spells them, a command, a
// picker mode, a follow-up and a setting build (this file is part of the
// build); misspelled, each is a build error, which the tests
// shell_misspelled_* show by building this file with one of the
// MISSPELLED_* definitions and finding the compiler's complaint.

#include "catalogue/ui/article_picker.h"
#include "counterparties/ui/counterparty_picker.h"
#include "shell/firm_data.h"
#include "shell/menu_tree.h"

namespace torvika {

int spelledNames(FollowUpRegistry& followUps) {
#ifdef MISSPELLED_COMMAND
    const Command command = Command::N_Prodajaba;
#else
    const Command command = Command::N_Prodajba;
#endif
#ifdef MISSPELLED_MODE
    const int mode = kSelectOrderSuplier;
#else
    const int mode = kSelectOrderSupplier;
#endif
#ifdef MISSPELLED_FOLLOW_UP
    // The counterparty list hands a reference text, not the catalogue's choice.
    followUps.of<CounterpartyPicker>().add(mode, [](QWidget*, const ArticleChoice&) {});
#else
    followUps.of<CounterpartyPicker>().add(mode, [](QWidget*, const QString&) {});
#endif
#ifdef MISSPELLED_SETTING
    const Setting<bool> pos = setting::kPointOfSaleMod;
#else
    const Setting<bool> pos = setting::kPointOfSaleMode;
#endif
    return int(command) + int(pos.id);
}

} // namespace torvika
