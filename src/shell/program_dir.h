#pragma once
// The program directory: configuration, log, default company database,
// scripts, templates, temporary files and help clips of one workstation.

#include <QString>
#include <QStringList>

namespace torvika {

class ProgramDir {
public:
    explicit ProgramDir(const QString& root);

    // "--home DIR" when given; else $XDG_DATA_HOME/torvika for an installed
    // program (its shipped files in ../share/torvika) or one whose directory
    // is not writable, so that every user has their own; else the
    // executable's directory (a build tree).
    static QString choose(const QStringList& arguments, const QString& executableDir);

    // Always with a trailing "/".
    const QString& root() const { return root_; }
    QString path(const QString& relative) const { return root_ + relative; }
    QString firmDataIni() const { return path(QStringLiteral("Firm_Data.ini")); }
    QString exceptionsLog() const { return path(QStringLiteral("Exceptions.log")); }
    QString engineConfig() const { return path(QStringLiteral("Engine.cfg")); }
    QString dataDir() const { return path(QStringLiteral("Data")); }
    QString sqlsDir() const { return path(QStringLiteral("SQLs")); }
    QString newTablesScript() const { return path(QStringLiteral("SQLs/NewTables.nts")); }
    QString updateTablesScript() const { return path(QStringLiteral("SQLs/UpdateTables.nts")); }
    QString documentationsDir() const { return path(QStringLiteral("Documentations")); }
    QString tempDir() const { return path(QStringLiteral("TEMP")); }
    QString videoDir() const { return path(QStringLiteral("Video")); }

    // Creates the directories and copies the shipped files from shareDir:
    // the scripts of this release replace older ones, other shipped files
    // (templates) are copied only where missing, so users' edits stay.
    // Throws EInOutError when the directory cannot be written.
    void prepare(const QString& shareDir) const;

private:
    QString root_;
};

// The directory of the files the build ships (SQLs/, Documentations/).
QString shippedShareDir();

} // namespace torvika
