#pragma once
// The desktop programs the menu starts (calculator, text editor, date and
// time settings) and ending the desktop session at exit, with Linux
// defaults: the first candidate found on PATH, or the command named by an
// environment variable (TORVIKA_CALCULATOR, TORVIKA_EDITOR,
// TORVIKA_DATETIME, TORVIKA_LOGOUT).

#include <QString>
#include <QStringList>
#include <functional>

namespace torvika {

enum class ExternalProgram { Calculator, TextEditor, DateTimeSettings, EndSession };

struct ExternalCommand {
    QString program; // empty when none is installed
    QStringList arguments;
};

ExternalCommand externalCommand(ExternalProgram which);
// Starts it detached; false when none is installed or it cannot start.
bool startExternal(ExternalProgram which);
// Starts any file as a program (Open_Exe).
bool startProgramFile(const QString& path);
// What the program says when nothing can be started.
QString notInstalledMessage(ExternalProgram which);

// Tests replace the starter to see what would run; nullptr restores it.
using ProcessStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
void setProcessStarter(ProcessStarter starter);

} // namespace torvika
