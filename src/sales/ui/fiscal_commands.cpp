#include "sales/ui/fiscal_commands.h"

#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "sales/sale_completion.h"
#include "sales/texts.h"

#include <QTimer>
#include <algorithm>

namespace torvika {

namespace {

void reportTicketFailures(const QList<TicketFailure>& failures) {
    for (const TicketFailure& f : failures)
        reportError(EInOutError(f.error), texts::kTicketPrintFailed + refText(f.department, f.name) +
                                              QStringLiteral("\n") + f.error);
}

// Tries the waiting tickets again every second while there are any.
class TicketRetry {
public:
    void watch(FiscalState& state) {
        state_ = &state;
        if (!timer_.isActive())
            timer_.start();
    }

    TicketRetry() {
        timer_.setInterval(1000);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (!state_) {
                timer_.stop();
                return;
            }
            const QList<TicketFailure> failures = state_->retryWaitingTickets();
            if (state_->waitingTickets() == 0)
                timer_.stop();
            reportTicketFailures(failures);
        });
    }

private:
    QTimer timer_;
    FiscalState* state_ = nullptr;
};

} // namespace

FiscalSettings fiscalSettings(Session& session) {
    const Settings& s = session.settings();
    return fiscalSettingsFrom(session.programDir.root(), s.get(setting::kReceiptDirectory),
                              s.get(setting::kSaleReceipt), s.get(setting::kFiscalDeviceType),
                              s.get(setting::kDepartmentTickets));
}

BonHeader bonHeader(Session& session, const QString& bill, const std::optional<Decimal>& total) {
    BonHeader header{QString::number(session.settings().get(setting::kTerminal)), session.operatorName(),
                     bill};
    if (total)
        header.dualTotal = dualAmount(session, *total);
    return header;
}

QString dualAmount(Session& session, const Decimal& amount) {
    QString text;
    logged([&] {
        text = dualAmountToday(amount, loadBaseCurrency(session.db()).kind,
                               session.settings().get(setting::kDualPricesUntil), session.today());
    });
    return text;
}

void reportBonResult(Session& session, const BonResult& result) {
    if (result.receiptFailed)
        reportError(EInOutError(result.receiptError), texts::kBonPrintFailed);
    reportTicketFailures(result.ticketFailures);
    // The tickets still wait in this run; only a crash would lose them.
    if (!result.keepError.isEmpty())
        logException(EInOutError(result.keepError));
    FiscalState& state = session.state<FiscalState>();
    if (state.waitingTickets() > 0)
        session.state<TicketRetry>().watch(state);
}

std::optional<FiscalServer> fiscalServer(Session& session) {
    const Settings& s = session.settings();
    if (!s.get(setting::kFiscalHttpOutput))
        return std::nullopt;
    FiscalServer server;
    server.address = s.get(setting::kFiscalServerAddress).trimmed();
    server.printer = s.get(setting::kFiscalPrinterId).trimmed();
    server.operatorId = s.get(setting::kFiscalOperator);
    server.operatorPassword = s.get(setting::kFiscalOperatorPassword);
    return server;
}

FiscalHttpClient& fiscalClient(Session& session) {
    return session.state<FiscalHttpClient>();
}

void sendSaleReceipt(Session& session, const FiscalServer& server, const HttpSaleReceipt& receipt) {
    Session* s = &session;
    printHttpSaleReceipt(fiscalClient(session), DatabaseSource([s] { return s->db(); }), server, receipt,
                         [s, server, receipt](const FiscalAnswer& answer) {
                             if (answer.ok && answer.error.isEmpty())
                                 return;
                             if (answer.ok) {
                                 // Printed, but not recorded: said and logged; sent again
                                 // it is answered as printed and recorded then.
                                 reportError(EDatabaseError(answer.error),
                                             texts::kHttpReceiptNotRecorded.arg(answer.receipt.number));
                                 return;
                             }
                             reportError(EInOutError(answer.error), texts::kHttpReceiptFailed + answer.error);
                             if (askYesNo(texts::kAskReceiptAgain))
                                 sendSaleReceipt(*s, server, receipt);
                         });
}

void sendFiscalCall(Session& session, const FiscalServer& server, const QString& call,
                    const QJsonObject& body) {
    fiscalClient(session).send(server, call, body, {}, [](const FiscalAnswer& answer) {
        if (!answer.ok)
            reportError(EInOutError(answer.error), texts::kHttpCallFailed + answer.error);
    });
}

namespace {

void sendReversal(Session& session, const FiscalServer& server, const PendingReversal& reversal) {
    Session* s = &session;
    printHttpReversal(fiscalClient(session), DatabaseSource([s] { return s->db(); }), server, reversal,
                      ReversalReason::Refund, [s, server, reversal](const FiscalAnswer& answer) {
                          if (answer.ok && !answer.error.isEmpty()) {
                              reportError(EDatabaseError(answer.error),
                                          texts::kHttpReceiptNotRecorded.arg(answer.receipt.number));
                              return;
                          }
                          if (answer.ok)
                              return;
                          reportError(EInOutError(answer.error), texts::kReversalFailed + answer.error);
                          if (askYesNo(texts::kAskReversalAgain))
                              sendReversal(*s, server, reversal);
                      });
}

// Through the print server when the workstation has one, else as a
// reversal command file; a failure said and offered again.
void printReversal(Session& session, const std::optional<FiscalServer>& server,
                   const FiscalSettings& settings, const PendingReversal& reversal) {
    if (server) {
        sendReversal(session, *server, reversal);
        return;
    }
    while (true) {
        try {
            writeReversalFile(session.state<FiscalState>(), session.db(), settings, reversal,
                              ReversalReason::Refund);
            return;
        } catch (const Error& e) {
            reportError(e, texts::kReversalFailed + e.message());
            if (!askYesNo(texts::kAskReversalAgain))
                return;
        }
    }
}

} // namespace

void printReversals(Session& session, const QList<qint64>& invalidated) {
    guarded([&] {
        const std::optional<FiscalServer> server = fiscalServer(session);
        const FiscalSettings settings = fiscalSettings(session);
        for (const PendingReversal& reversal :
             pendingReversals(session.db(), invalidated, session.settings().get(setting::kAmountDecimals)))
            printReversal(session, server, settings, reversal);
    });
}

void printReportFile(Session& session, BonMode mode, const QString& bill) {
    std::optional<FiscalServer> server;
    if (!guarded([&] { server = fiscalServer(session); }))
        return;
    if (server) {
        const QString call = mode == kBonDailyZeroing  ? QStringLiteral("zreport")
                             : mode == kBonDailyReport ? QStringLiteral("xreport")
                                                       : QStringLiteral("duplicate");
        sendFiscalCall(session, *server, call);
        return;
    }
    guarded([&] {
        const BonResult result = session.state<FiscalState>().CREATE_BON_FILE(
            mode, session.db(), fiscalSettings(session), bonHeader(session, bill));
        reportBonResult(session, result);
    });
}

void issueServiceReceipt(Session& session, const QList<qint64>& selectedLines, const QString& bill) {
    if (selectedLines.isEmpty()) {
        showMessage(texts::kSelectServiceReceiptLines);
        return;
    }
    guarded([&] {
        QList<qint64> lastFirst = selectedLines;
        std::reverse(lastFirst.begin(), lastFirst.end());
        const QList<SaleLine> lines = pendingSaleLines(session.db(), session.operatorName(), lastFirst,
                                                       session.settings().get(setting::kAmountDecimals));
        if (const QStringList noRate = currenciesWithoutRate(lines); !noRate.isEmpty()) {
            showMessage(texts::kCurrencyWithoutRate.arg(u'"' + noRate.join(QStringLiteral("\", \"")) + u'"'));
            return;
        }
        Decimal amountDue;
        for (const SaleLine& line : lines)
            amountDue += line.amount;
        const BonResult result =
            printServiceReceipt(session.state<FiscalState>(), receiptLines(lines), amountDue, session.db(),
                                fiscalSettings(session), bonHeader(session, bill, amountDue));
        reportBonResult(session, result);
    });
}

void finishWaitingTickets(Session& session) {
    FiscalState& state = session.state<FiscalState>();
    if (state.waitingTickets() == 0)
        return;
    reportTicketFailures(state.retryWaitingTickets());
    const QList<TicketFailure> waiting = state.waitingDepartments();
    if (waiting.isEmpty())
        return;
    QString text = texts::kTicketsStillWaiting;
    for (const TicketFailure& w : waiting)
        text += u'\n' + refText(w.department, w.name);
    showMessage(text + u'\n' + texts::kTicketsWaitForNextStart);
}

void resumeFiscalWork(Session& session) {
    FiscalState& state = session.state<FiscalState>();
    guarded([&] {
        const FiscalSettings settings = fiscalSettings(session);
        reportTicketFailures(state.resumeWaitingTickets(settings.waitingTicketsDir()));
        reportTicketFailures(state.retryWaitingTickets());
        if (state.waitingTickets() > 0)
            session.state<TicketRetry>().watch(state);

        const int decimals = session.settings().get(setting::kAmountDecimals);
        for (const OwedReceipt& owed :
             owedReceipts(session.db(), session.settings().get(setting::kTerminal), decimals)) {
            const QDate date = QDate::fromString(owed.date, Qt::ISODate);
            const QString text =
                texts::kAskOwedReceipt.arg(date.isValid() ? shortDate(date) : owed.date, owed.time,
                                           owed.operatorName, formatFixed(owed.amountDue, decimals));
            switch (Messages::current().question(text, true)) {
            case Messages::Yes:
                // Through the print server with the sale's number as the
                // taskId: a receipt the server printed before the answer
                // was lost is answered as printed, not printed again.
                if (const std::optional<FiscalServer> server = fiscalServer(session)) {
                    sendSaleReceipt(session, *server, httpSaleReceipt(owed, *server));
                    break;
                }
                guarded([&] {
                    if (const std::optional<BonResult> printed =
                            printOwedReceipt(state, session.db(), owed, settings))
                        reportBonResult(session, *printed);
                });
                break;
            case Messages::No:
                guarded([&] { dropOwedReceipt(session.db(), owed); });
                break;
            default:
                break;
            }
        }

        // The reversals of this terminal's invalidated sales that were put
        // off or failed: offered the same way.
        const std::optional<FiscalServer> server = fiscalServer(session);
        for (const PendingReversal& reversal : pendingReversals(
                 session.db(), owedReversalRows(session.db(), session.settings().get(setting::kTerminal)),
                 decimals)) {
            const QDateTime sold = QDateTime::fromString(reversal.saleDateTime, Qt::ISODate);
            const QString text = texts::kAskOwedReversal.arg(
                sold.isValid()
                    ? shortDate(sold.date()) + u' ' + sold.time().toString(QStringLiteral("HH:mm:ss"))
                    : reversal.saleDateTime,
                formatFixed(reversal.amount, decimals));
            switch (Messages::current().question(text, true)) {
            case Messages::Yes:
                printReversal(session, server, settings, reversal);
                break;
            case Messages::No:
                guarded([&] { declineReversal(session.db(), reversal.rows); });
                break;
            default:
                break;
            }
        }
    });
}

} // namespace torvika
