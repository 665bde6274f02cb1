// Workstation messages under load, on loopback only: 1,000 messages from 4
// senders (250 each, one connection per message) to one listener, bounded
// in count and time. Reported: the time until the last one arrived, and as
// counters the messages that arrived whole and in order per sender and the
// longest pause of the event loop meanwhile (how responsive the program
// stays: a 10 ms timer ticks beside the traffic).

#include "shell/messaging.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

using namespace torvika;

namespace {

constexpr int kSenders = 4;
constexpr int kPerSender = 250;

void BM_MessagesFromFourSenders(benchmark::State& state) {
    double inOrder = 0, longestPauseMs = 0;
    for (auto _ : state) {
        MessageListener listener;
        ListenerLimits limits;
        limits.maxMessagesPerMinute = kSenders * kPerSender;
        if (!listener.listen(0, {}, limits)) {
            state.SkipWithError("no port on loopback");
            return;
        }
        QHash<QString, int> next; // the number each sender's next message must carry
        int arrived = 0, ordered = 0;
        QEventLoop loop;
        QObject::connect(
            &listener, &MessageListener::received, &loop, [&](const QString&, const QString& text) {
                const QString name = text.section(u':', 0, 0);
                const int n = text.section(QStringLiteral("\r\n"), 1).section(u' ', 1, 1).toInt();
                if (n == next.value(name))
                    ++ordered;
                next[name] = n + 1;
                if (++arrived == kSenders * kPerSender)
                    loop.quit();
            });
        QElapsedTimer sinceTick;
        qint64 pause = 0;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, &loop,
                         [&] { pause = std::max(pause, sinceTick.restart()); });
        QTimer limit; // bounded: a run ends after 60 s whatever arrived
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        std::vector<std::unique_ptr<MessageSender>> senders;
        for (int s = 0; s < kSenders; ++s) {
            senders.push_back(std::make_unique<MessageSender>());
            for (int i = 0; i < kPerSender; ++i)
                senders.back()->send(
                    QStringLiteral("127.0.0.1"), listener.port(),
                    encodeMessage(QStringLiteral("Каса%1").arg(s),
                                  QStringLiteral("съобщение %1 ").arg(i) + QString(200, u'ж')));
        }
        sinceTick.start();
        ticker.start();
        limit.start(60000);
        loop.exec();
        if (arrived != kSenders * kPerSender)
            state.SkipWithError("not every message arrived within 60 s");
        inOrder = ordered;
        longestPauseMs = std::max(longestPauseMs, double(pause));
    }
    state.counters["whole_in_order"] = inOrder;
    state.counters["longest_pause_ms"] = longestPauseMs;
}
BENCHMARK(BM_MessagesFromFourSenders)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
