// A till of the killed-till test: sells sales of one article, each of a
// number of lines entered first, on the company database of a program
// directory, and says after each recorded sale how many it has recorded.
//
//   torvika_test_till <program directory> <operator> <lines per sale> <sales>
//
// The test kills it at some moment, often in the middle of a sale.

#include "common/errors.h"
#include "sales/sale_completion.h"
#include "shell/session.h"

#include <QCoreApplication>
#include <cstdio>

using namespace torvika;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: %s <program directory> <operator> <lines per sale> <sales>\n", argv[0]);
        return 2;
    }
    Session session{ProgramDir(args[1])};
    try {
        session.workspace.open();
        SaleContext context;
        context.operatorName = args[2];
        const int lines = args[3].toInt();
        for (int sale = 1; sale <= args[4].toInt(); ++sale) {
            SaleRequest request;
            request.operatorName = context.operatorName;
            request.warehouse = 1;
            request.when = QDateTime::currentDateTime();
            for (int i = 0; i < lines; ++i) {
                request.lines << enterLine(session.db(), context, {1, 1, 2, {}, {}}).line;
                request.amountDue += Decimal(2);
            }
            if (recordSale(session.db(), request).status != SaleResult::Sold) {
                std::fprintf(stderr, "sale %d not recorded\n", sale);
                return 1;
            }
            std::printf("sold %d\n", sale);
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(exceptionMessage(e)));
        return 1;
    }
    return 0;
}
