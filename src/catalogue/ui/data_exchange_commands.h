#pragma once
// The commands of "Импорт на данни" ("Артикули", "Контрагенти",
// "Номенклатура на контрагент") and "Експорт на данни" ("Артикули",
// "Контрагенти"). Every import starts with an open dialog (cancelling it
// does nothing), empties and shows the statistics panel, runs with the
// host's progress panel (its cancel stops the import, which then stores
// nothing) and puts the report in the panel; the article import then shows
// the import report window. The replace mode is the setting "Замени
// старите данни при Импорт", read at the start of each import.

#include "shell/ui/host.h"

#include <QPointer>

namespace torvika {

class ImportStatisticPanel;

class DataExchangeCommands {
public:
    // Attaches the five commands to the host.
    explicit DataExchangeCommands(Host& host);

    void importArticles();
    void importCounterparties();
    void importCounterpartyNumbers();
    void exportArticles();
    void exportCounterparties();

private:
    // The panel on the main window, made at the first import.
    ImportStatisticPanel& panel();
    QString chooseFile();

    Host& host_;
    QPointer<ImportStatisticPanel> panel_;
};

} // namespace torvika
