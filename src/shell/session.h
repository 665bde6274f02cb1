#pragma once
// What the program keeps for the whole run: the program directory, the
// workspace, the operator in the status line, the export kind, the per-run
// counterparty map, and the clock (which tests replace).

#include "common/sql_statement.h"
#include "documents/export_kind.h"
#include "shell/firm_data.h"
#include "shell/program_dir.h"
#include "shell/workspace.h"

#include <QDateTime>
#include <QHash>
#include <functional>

namespace torvika {

class Session {
public:
    explicit Session(const ProgramDir& dir) : programDir(dir), workspace(dir) {}

    FirmData firmData() const { return FirmData(programDir.firmDataIni()); }
    QDateTime now() const { return clock ? clock() : QDateTime::currentDateTime(); }
    QDate today() const { return now().date(); }

    ProgramDir programDir;
    Workspace workspace;
    QString operatorName;
    ExportKind exportKind;
    // Operator name -> the text of the selected-counterparty field.
    QHash<QString, QString> selectedCounterparty;
    // The one direction switch of the lists sorted by a click on a column title.
    SortDirection sortDirection;
    std::function<QDateTime()> clock;
    // Asks for a new login (the main window installs it); after a change of
    // database the operators and their rights are those of the new one.
    std::function<void()> requestLogin;
    // Amount decimals as last read by the totals (Values/"9"), used by the ticker.
    int displayDecimals = 2;
};

} // namespace torvika
