// The stand-in fiscal print server: watches the receipt directory and the
// department directories of the program and prints every command file
// written there into a journal, as a fiscal printer would print it.
//
//   torvika-fiscal-printer --receipts DIR [--department DIR]... [--journal FILE]
//                          [--interval MS] [--once]

#include "build_info.h"
#include "fiscal_printer/print_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>
#include <cstdio>
#include <exception>

using namespace torvika::fiscal_printer;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("torvika-fiscal-printer"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TORVIKA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Stand-in fiscal print server: prints the command files of the receipt and department directories "
        "into a journal and removes them."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption receipts(
        QStringLiteral("receipts"),
        QStringLiteral("The receipt directory (its subdirectories are department "
                       "directories)."),
        QStringLiteral("dir"));
    const QCommandLineOption department(QStringLiteral("department"),
                                        QStringLiteral("A further department directory; may be repeated."),
                                        QStringLiteral("dir"));
    const QCommandLineOption journal(QStringLiteral("journal"),
                                     QStringLiteral("The journal file (default: journal.txt in the receipt "
                                                    "directory)."),
                                     QStringLiteral("file"));
    const QCommandLineOption interval(
        QStringLiteral("interval"),
        QStringLiteral("Milliseconds between two looks at the directories besides "
                       "the change notices (default 500)."),
        QStringLiteral("ms"), QStringLiteral("500"));
    const QCommandLineOption once(QStringLiteral("once"), QStringLiteral("Print what is waiting and end."));
    parser.addOptions({receipts, department, journal, interval, once});
    parser.process(app);
    if (!parser.isSet(receipts)) {
        std::fprintf(stderr, "--receipts is required\n");
        parser.showHelp(2);
    }

    ServerOptions options;
    options.receiptDir = QDir(parser.value(receipts)).absolutePath();
    for (const QString& d : parser.values(department))
        options.departmentDirs << QDir(d).absolutePath();
    options.journal = parser.isSet(journal)
                          ? QDir().absoluteFilePath(parser.value(journal))
                          : QDir(options.receiptDir).filePath(QStringLiteral("journal.txt"));

    try {
        PrintServer server(options);
        server.report = [](const QString& text) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            std::fflush(stderr);
        };
        if (parser.isSet(once)) {
            server.processPending();
            return 0;
        }
        QFileSystemWatcher watcher;
        auto pass = [&] {
            try {
                server.processPending();
                const QStringList dirs = server.directories();
                const QStringList watched = watcher.directories();
                for (const QString& d : dirs)
                    if (!watched.contains(d))
                        watcher.addPath(d);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
                QCoreApplication::exit(1);
            }
        };
        QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &app, pass);
        // Change notices can be missed (a file written before its directory
        // was watched, a network file system): the directories are also
        // looked at regularly.
        QTimer rescan;
        QObject::connect(&rescan, &QTimer::timeout, &app, pass);
        rescan.start(qMax(50, parser.value(interval).toInt()));
        QTimer::singleShot(0, &app, pass);
        std::fprintf(stdout, "watching %s, journal %s\n", qPrintable(options.receiptDir),
                     qPrintable(options.journal));
        std::fflush(stdout);
        return app.exec();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
