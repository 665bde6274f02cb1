// Workstation messages on loopback: the bytes on the wire, who may send,
// messages that arrive whole (also from a sender that keeps its connection
// open), the limits (a message of 1 MB, binary bytes, a connection that
// sends nothing, too many connections), a send that fails, a port in use,
// and a bounded load of 1,000 messages from 4 senders.

#include "common/cp1251.h"
#include "shell/messaging.h"
#include "support/fuzz.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

using namespace torvika;

class MessagingTest : public QObject {
    Q_OBJECT

    struct Received {
        QStringList texts;
        QStringList refusals;
    };
    static void record(MessageListener& l, Received& r) {
        QObject::connect(&l, &MessageListener::received, &l,
                         [&r](const QString&, const QString& text) { r.texts << text; });
        QObject::connect(&l, &MessageListener::refused, &l,
                         [&r](const QString&, const QString& why) { r.refusals << why; });
    }

private slots:
    void wireFormat() {
        QCOMPARE(
            encodeMessage("Мария", "Здравей!\r\nКак си?"),
            QByteArray("\xCC\xE0\xF0\xE8\xFF:\r\n\xC7\xE4\xF0\xE0\xE2\xE5\xE9!\r\n\xCA\xE0\xEA \xF1\xE8?"));
        QCOMPARE(decodeMessage(encodeMessage("Мария", "текст")), QStringLiteral("Мария:\r\nтекст"));
        QCOMPARE(decodeMessage(QByteArray("a\x00\x01\x1b[31mb\tc\r\n", 13)), QStringLiteral("a[31mb\tc\r\n"));
        const test::FuzzResult f = test::fuzz({encodeMessage("Иван", "ред\r\nвтори ред")}, 3000,
                                              [](const QByteArray& b) { decodeMessage(b); });
        QVERIFY2(f.failure.isEmpty(), qPrintable(f.failure));
    }

    void whoMaySend_data() {
        QTest::addColumn<QString>("peer");
        QTest::addColumn<QString>("allowed");
        QTest::addColumn<bool>("may");
        QTest::newRow("loopback") << "127.0.0.1"
                                  << "" << true;
        QTest::newRow("private") << "192.168.4.20"
                                 << "" << true;
        QTest::newRow("private 172") << "172.20.1.1"
                                     << "" << true;
        QTest::newRow("mapped v4") << "::ffff:10.1.2.3"
                                   << "" << true;
        QTest::newRow("public") << "8.8.8.8"
                                << "" << false;
        QTest::newRow("listed") << "192.168.1.20"
                                << "192.168.1.20, 10.0.0.0/8" << true;
        QTest::newRow("listed network") << "10.9.9.9"
                                        << "192.168.1.20; 10.0.0.0/8" << true;
        QTest::newRow("not listed") << "192.168.1.21"
                                    << "192.168.1.20 10.0.0.0/8" << false;
        QTest::newRow("loopback not listed") << "127.0.0.1"
                                             << "192.168.1.20" << false;
    }
    void whoMaySend() {
        QFETCH(QString, peer);
        QFETCH(QString, allowed);
        QFETCH(bool, may);
        QCOMPARE(peerAllowed(QHostAddress(peer), allowed), may);
    }

    void sendAndReceive() {
        MessageListener listener;
        QVERIFY(listener.listen(0));
        Received r;
        record(listener, r);
        MessageSender sender;
        QSignalSpy sent(&sender, &MessageSender::sent);
        sender.send("127.0.0.1", listener.port(), encodeMessage("Иван", "първо"));
        sender.send("127.0.0.1", listener.port(), encodeMessage("Иван", "второ"));
        QTRY_COMPARE(r.texts.size(), 2);
        QCOMPARE(r.texts, (QStringList{"Иван:\r\nпърво", "Иван:\r\nвторо"}));
        QTRY_COMPARE(sent.size(), 2);

        // A sender that keeps the connection open: the message ends after
        // a short silence, whole although written in two parts.
        QTcpSocket open;
        open.connectToHost("127.0.0.1", listener.port());
        QVERIFY(open.waitForConnected(3000));
        open.write(toCp1251(u"Петър:\r\nпо"));
        open.flush();
        QTest::qWait(50);
        open.write(toCp1251(u"-късно"));
        QTRY_COMPARE(r.texts.size(), 3);
        QCOMPARE(r.texts.last(), QStringLiteral("Петър:\r\nпо-късно"));
        QVERIFY(listener.isListening());
    }

    void badPeers() {
        MessageListener listener;
        ListenerLimits limits;
        limits.idleMs = 300;
        limits.maxMessageBytes = 64 * 1024;
        QVERIFY(listener.listen(0, {}, limits));
        Received r;
        record(listener, r);

        // A message of 1 MB is refused whole.
        QTcpSocket big;
        big.connectToHost("127.0.0.1", listener.port());
        QVERIFY(big.waitForConnected(3000));
        big.write(QByteArray(1024 * 1024, 'x'));
        big.disconnectFromHost();
        QTRY_COMPARE(r.refusals.size(), 1);
        QVERIFY(r.refusals.front().contains("65536"));

        // A connection that sends nothing is closed; the listener goes on.
        QTcpSocket silent;
        silent.connectToHost("127.0.0.1", listener.port());
        QVERIFY(silent.waitForConnected(3000));
        QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QAbstractSocket::UnconnectedState, 5000);

        // Binary bytes arrive as plain text.
        QTcpSocket binary;
        binary.connectToHost("127.0.0.1", listener.port());
        QVERIFY(binary.waitForConnected(3000));
        binary.write(QByteArray("\x00\x01\x02OK\x07\xff", 7));
        binary.disconnectFromHost();
        QTRY_COMPARE(r.texts.size(), 1);
        QCOMPARE(r.texts.front(), QStringLiteral("OKя"));
        QVERIFY(listener.isListening());

        // Only listed peers.
        listener.setAllowed("192.168.77.0/24");
        QTcpSocket refused;
        refused.connectToHost("127.0.0.1", listener.port());
        QVERIFY(refused.waitForConnected(3000));
        refused.write("x:\r\ny");
        QTRY_COMPARE(r.refusals.size(), 2);
        QCOMPARE(r.texts.size(), 1);
    }

    void failures() {
        MessageListener first;
        QVERIFY(first.listen(0));
        MessageListener second;
        QVERIFY(!second.listen(first.port()));
        QVERIFY(!second.errorText().isEmpty());
        const quint16 closedPort = first.port();
        first.close();

        MessageSender sender;
        QSignalSpy failed(&sender, &MessageSender::failed);
        sender.send("127.0.0.1", closedPort, encodeMessage("Иван", "никой"));
        QTRY_COMPARE(failed.size(), 1);
        QVERIFY(!failed.front().at(1).toString().isEmpty());
    }

    // 1,000 messages from 4 senders to one listener on loopback: each
    // arrives whole, in order per sender.
    void load() {
        MessageListener listener;
        ListenerLimits limits;
        limits.maxMessagesPerMinute = 100000;
        QVERIFY(listener.listen(0, {}, limits));
        QHash<QString, QStringList> bySender;
        int count = 0;
        connect(&listener, &MessageListener::received, this, [&](const QString&, const QString& text) {
            const QString name = text.section(u':', 0, 0);
            bySender[name] << text.section(QStringLiteral("\r\n"), 1);
            ++count;
        });
        std::vector<std::unique_ptr<MessageSender>> senders;
        for (int s = 0; s < 4; ++s) {
            senders.push_back(std::make_unique<MessageSender>());
            for (int i = 0; i < 250; ++i)
                senders.back()->send(
                    "127.0.0.1", listener.port(),
                    encodeMessage(QStringLiteral("Каса%1").arg(s),
                                  QStringLiteral("съобщение %1 ").arg(i) + QString(200, u'ж')));
        }
        QTRY_COMPARE_WITH_TIMEOUT(count, 1000, 60000);
        QCOMPARE(bySender.size(), 4);
        for (auto it = bySender.cbegin(); it != bySender.cend(); ++it) {
            QCOMPARE(it->size(), 250);
            for (int i = 0; i < 250; ++i)
                QCOMPARE(it->at(i), QStringLiteral("съобщение %1 ").arg(i) + QString(200, u'ж'));
        }
    }
};

QTEST_GUILESS_MAIN(MessagingTest)
#include "test_messaging.moc"
