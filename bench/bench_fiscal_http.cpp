// A 20-line sale's receipt printed through the stand-in HTTP print server
// on loopback: the time from the call to the device's answer (the receipt
// checked, printed into the journal and its state kept), that is what
// printing adds to a sale already recorded. The server runs in the same
// process and event loop as the client, as a busy till would share its
// machine with the print server; every iteration prints a new sale number.

#include "fiscal_http/http_server.h"
#include "sales/fiscal_http.h"
#include "sales/unp.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace torvika;

namespace {

void BM_TwentyLineReceiptOverHttp(benchmark::State& state) {
    QTemporaryDir dir;
    fiscal_http::FiscalApi api(fiscal_http::PrinterInfo(), dir.filePath(QStringLiteral("journal.jsonl")));
    fiscal_http::HttpServer server(api);
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("no port on loopback");
        return;
    }
    FiscalServer target;
    target.address = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
    target.printer = QStringLiteral("dt279013");
    QList<ReceiptLine> lines;
    Decimal due;
    for (int i = 0; i < 20; ++i) {
        ReceiptLine l{QString::number(100 + i),
                      QStringLiteral("Артикул %1").arg(i),
                      Decimal(1 + i % 3),
                      *Decimal::parse(QStringLiteral("1.%1").arg(10 + i)),
                      Decimal(),
                      i % 4,
                      0,
                      Decimal(1)};
        due += (l.quantity * l.unitPrice).rounded(2);
        lines << l;
    }
    FiscalHttpClient client;
    int sale = 0;
    for (auto _ : state) {
        const QString unp = uniqueSaleNumber(QStringLiteral("DT279013"), QStringLiteral("0001"), ++sale);
        const FiscalAnswer a = client.sendAndWait(target, QStringLiteral("receipt"),
                                                  saleReceiptCall(lines, due, unp, target), unp);
        if (!a.ok) {
            state.SkipWithError(qPrintable(a.error));
            return;
        }
    }
}
BENCHMARK(BM_TwentyLineReceiptOverHttp)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
