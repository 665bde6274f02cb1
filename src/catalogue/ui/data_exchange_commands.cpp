#include "catalogue/ui/data_exchange_commands.h"

#include "catalogue/article_groups.h"
#include "catalogue/data_export.h"
#include "catalogue/data_import.h"
#include "catalogue/ui/form_info_import.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_export_data.h"
#include "common/ui/import_statistic_panel.h"
#include "common/ui/messages.h"
#include "counterparties/counterparty_exchange.h"
#include "shell/session_grids.h"

namespace torvika {

DataExchangeCommands::DataExchangeCommands(Host& host) : host_(host) {
    host.registerCommand(Command::N_Import_art, [this] { importArticles(); });
    host.registerCommand(Command::N_Import_Kontragents, [this] { importCounterparties(); });
    host.registerCommand(Command::N_Imp_Nomenkl_Kontrag, [this] { importCounterpartyNumbers(); });
    host.registerCommand(Command::N_Export_art, [this] { exportArticles(); });
    host.registerCommand(Command::N_Export_Kontrag, [this] { exportCounterparties(); });
}

ImportStatisticPanel& DataExchangeCommands::panel() {
    if (!panel_)
        panel_ = new ImportStatisticPanel(host_.window());
    return *panel_;
}

QString DataExchangeCommands::chooseFile() {
    return Messages::current().openFileName(texts::kImportOpenCaption, QString(), texts::kImportFileFilter);
}

void DataExchangeCommands::importArticles() {
    const QString file = chooseFile();
    if (file.isEmpty())
        return;
    Session& session = host_.session();
    const bool replace = session.settings().get(setting::kReplaceOnImport);
    panel().begin();
    ArticleImport result;
    if (!guarded([&] {
            result = torvika::importArticles(session.db(), articleTreeFile(session.workspace.directory()),
                                             file, replace, host_.progress());
        }))
        return;
    panel().showReport(result.report);
    if (result.report.outcome != ImportReport::Outcome::Stored)
        return;
    Form_Info_Import report(
        gridContext(session), [&session] { return session.now(); }, host_.window());
    report.showStatistics(result.statistics);
}

void DataExchangeCommands::importCounterparties() {
    const QString file = chooseFile();
    if (file.isEmpty())
        return;
    Session& session = host_.session();
    const bool replace = session.settings().get(setting::kReplaceOnImport);
    panel().begin();
    ImportReport report;
    if (!guarded(
            [&] { report = torvika::importCounterparties(session.db(), file, replace, host_.progress()); }))
        return;
    panel().showReport(report);
}

void DataExchangeCommands::importCounterpartyNumbers() {
    const QString file = chooseFile();
    if (file.isEmpty())
        return;
    panel().begin();
    ImportReport report;
    if (!guarded([&] {
            report = torvika::importCounterpartyNumbers(host_.session().db(), file, host_.progress());
        }))
        return;
    panel().showReport(report);
}

void DataExchangeCommands::exportArticles() {
    Session& session = host_.session();
    Form_Export_Data w([&session] { return session.db(); }, host_.window());
    w.SELECTED_EXPORT(articleExportSource());
}

void DataExchangeCommands::exportCounterparties() {
    Session& session = host_.session();
    Form_Export_Data w([&session] { return session.db(); }, host_.window());
    w.SELECTED_EXPORT(counterpartyExportSource());
}

} // namespace torvika
