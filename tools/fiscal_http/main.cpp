// The stand-in HTTP fiscal print server: one fiscal printer answering the
// print server's API on the loopback address, printing into a journal (one
// JSON object per line) for trying the program without a device and for
// the tests.
//
//   torvika-fiscal-http [--port N] [--journal FILE] [--printer ID] [--serial S]
//                       [--fiscal-memory S] [--print-delay MS]

#include "build_info.h"
#include "fiscal_http/http_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <exception>

using namespace torvika::fiscal_http;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("torvika-fiscal-http"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TORVIKA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Stand-in HTTP fiscal print server: one fiscal printer on the loopback address that checks "
        "receipts as a device does and prints them into a journal (one JSON object per line)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("The port (default 8001; 0: any free one)."),
                                  QStringLiteral("n"), QStringLiteral("8001"));
    const QCommandLineOption journal(QStringLiteral("journal"),
                                     QStringLiteral("The journal file (default: fiscal-journal.jsonl in the "
                                                    "current directory); its state is kept in FILE.state."),
                                     QStringLiteral("file"), QStringLiteral("fiscal-journal.jsonl"));
    const QCommandLineOption printer(QStringLiteral("printer"),
                                     QStringLiteral("The printer's id (default dt279013)."),
                                     QStringLiteral("id"), QStringLiteral("dt279013"));
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("The device's individual number (default DT279013)."),
                                    QStringLiteral("number"), QStringLiteral("DT279013"));
    const QCommandLineOption memory(QStringLiteral("fiscal-memory"),
                                    QStringLiteral("The fiscal memory's number (default 02279013)."),
                                    QStringLiteral("number"), QStringLiteral("02279013"));
    const QCommandLineOption delay(QStringLiteral("print-delay"),
                                   QStringLiteral("Milliseconds each print takes (default 0)."),
                                   QStringLiteral("ms"), QStringLiteral("0"));
    parser.addOptions({port, journal, printer, serial, memory, delay});
    parser.process(app);
    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    if (!portOk || portNumber > 65535) {
        std::fprintf(stderr, "--port takes a number from 0 to 65535\n");
        return 2;
    }
    try {
        PrinterInfo info;
        info.id = parser.value(printer);
        info.serialNumber = parser.value(serial);
        info.fiscalMemorySerialNumber = parser.value(memory);
        const QString journalPath = QDir().absoluteFilePath(parser.value(journal));
        FiscalApi api(info, journalPath);
        HttpServer server(api);
        server.printDelayMs = qMax(0, parser.value(delay).toInt());
        if (!server.listen(QHostAddress::LocalHost, quint16(portNumber))) {
            std::fprintf(stderr, "cannot listen on port %u: %s\n", portNumber,
                         qPrintable(server.errorString()));
            return 1;
        }
        // The first line says where it listens: a test starting it on port 0 reads it.
        std::fprintf(stdout, "listening on 127.0.0.1:%u, printer %s, journal %s\n", unsigned(server.port()),
                     qPrintable(info.id), qPrintable(journalPath));
        std::fflush(stdout);
        return app.exec();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
