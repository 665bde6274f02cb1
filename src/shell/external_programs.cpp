#include "shell/external_programs.h"

#include "shell/texts.h"

#include <QProcess>
#include <QStandardPaths>

namespace torvika {

namespace {

bool startDetached(const QString& program, const QStringList& args) {
    return QProcess::startDetached(program, args);
}

ProcessStarter& starter() {
    static ProcessStarter s = startDetached;
    return s;
}

struct Candidate {
    const char* program;
    QStringList arguments;
};

QList<Candidate> candidates(ExternalProgram which) {
    switch (which) {
    case ExternalProgram::Calculator:
        return {{"gnome-calculator", {}}, {"kcalc", {}},         {"galculator", {}},
                {"mate-calc", {}},        {"qalculate-gtk", {}}, {"xcalc", {}}};
    case ExternalProgram::TextEditor:
        return {{"gnome-text-editor", {}}, {"gedit", {}}, {"kate", {}}, {"kwrite", {}},
                {"mousepad", {}},          {"pluma", {}}, {"xed", {}},  {"leafpad", {}}};
    case ExternalProgram::DateTimeSettings:
        return {{"gnome-control-center", {QStringLiteral("datetime")}},
                {"systemsettings", {QStringLiteral("kcm_clock")}},
                {"time-admin", {}},
                {"xfce4-datetime-settings", {}}};
    case ExternalProgram::EndSession:
        return {{"loginctl", {QStringLiteral("terminate-session"), qEnvironmentVariable("XDG_SESSION_ID")}}};
    }
    return {};
}

const char* envName(ExternalProgram which) {
    switch (which) {
    case ExternalProgram::Calculator:
        return "TORVIKA_CALCULATOR";
    case ExternalProgram::TextEditor:
        return "TORVIKA_EDITOR";
    case ExternalProgram::DateTimeSettings:
        return "TORVIKA_DATETIME";
    case ExternalProgram::EndSession:
        return "TORVIKA_LOGOUT";
    }
    return "";
}

} // namespace

void setProcessStarter(ProcessStarter s) {
    starter() = s ? std::move(s) : ProcessStarter(startDetached);
}

ExternalCommand externalCommand(ExternalProgram which) {
    QString fromEnv = qEnvironmentVariable(envName(which));
    if (!fromEnv.isEmpty()) {
        QStringList parts = QProcess::splitCommand(fromEnv);
        if (!parts.isEmpty())
            return {parts.takeFirst(), parts};
    }
    for (const Candidate& c : candidates(which)) {
        QString found = QStandardPaths::findExecutable(QString::fromLatin1(c.program));
        if (!found.isEmpty())
            return {found, c.arguments};
    }
    return {};
}

bool startExternal(ExternalProgram which) {
    ExternalCommand c = externalCommand(which);
    return !c.program.isEmpty() && starter()(c.program, c.arguments);
}

bool startProgramFile(const QString& path) {
    return !path.isEmpty() && starter()(path, {});
}

QString notInstalledMessage(ExternalProgram which) {
    switch (which) {
    case ExternalProgram::Calculator:
        return texts::kNoCalculator;
    case ExternalProgram::TextEditor:
        return texts::kNoTextEditor;
    case ExternalProgram::DateTimeSettings:
        return texts::kNoDateTimeSettings;
    case ExternalProgram::EndSession:
        return texts::kCannotEndSession;
    }
    return {};
}

} // namespace torvika
