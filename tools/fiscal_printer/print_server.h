#pragma once
// The stand-in fiscal print server: takes the command files ("*.bon") out of
// the receipt directory and the department directories, oldest first, and
// has the device print them into the journal. A file is claimed by renaming
// it before it is printed and removed afterwards, so it is printed once even
// when the server stops halfway. A file the device refuses is printed not
// at all: it is moved aside into the directory's "rejected" folder and the
// error is written to the journal and reported.

#include "fiscal_printer/fiscal_device.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace torvika::fiscal_printer {

struct ServerOptions {
    QString receiptDir;
    // Department directories besides the receipt directory's own
    // subdirectories, which are department directories too.
    QStringList departmentDirs;
    QString journal; // the printout, UTF-8; the device's figures beside it in "<journal>.state"
};

class PrintServer {
public:
    // Creates the directories that are missing and loads the device's
    // figures. Throws std::runtime_error when the figures cannot be read.
    explicit PrintServer(ServerOptions options);

    // Prints the files waiting in the directories; returns how many were
    // taken (printed or refused). Throws std::runtime_error when the
    // journal or the figures cannot be written (the file then stays where
    // it was claimed, never printed twice).
    int processPending();

    // The directories to watch: the receipt directory, its subdirectories
    // and the department directories.
    QStringList directories() const;

    // Where messages go (stderr in the program).
    std::function<void(const QString&)> report = [](const QString&) {};
    // The device's clock; tests replace it.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

    const FiscalDevice& device() const { return device_; }

private:
    struct Waiting {
        QString path;
        Place place;
        QDateTime modified;
        qint64 number; // the number in the file name, for files of one moment
    };
    QList<Waiting> waitingFiles() const;
    void take(const Waiting& file);
    void appendJournal(const QStringList& lines);

    ServerOptions options_;
    FiscalDevice device_;
};

} // namespace torvika::fiscal_printer
