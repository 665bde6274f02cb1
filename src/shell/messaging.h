#pragma once
// Short text messages between the workstations of an installation, over
// TCP. A message on the wire is "<operator>:" CR LF and the text, in
// Windows-1251, with nothing before or after it: one connection carries one
// message, which ends when the sender closes the connection (or, from a
// sender that keeps it open, after a short silence), so that messages are
// never split or joined by chance.
//
// The listener accepts peers of the local network (loopback, the private
// and link-local ranges) unless a list of addresses or networks narrows
// it; it limits the size of a message, the messages per peer and minute and
// the open connections, and closes a connection that sends nothing.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpServer;
class QTcpSocket;
class QTimer;

namespace torvika {

inline constexpr quint16 kMessagingPort = 1024;

// The bytes of a message.
QByteArray encodeMessage(const QString& operatorName, const QString& text);
// The text of received bytes: Windows-1251 (UTF-8 when the bytes are
// valid UTF-8 with letters beyond ASCII), line ends kept as CR LF or LF,
// other control bytes dropped, so that binary bytes show as plain text.
QString decodeMessage(const QByteArray& bytes);

// Whether the peer may send: with an empty list, an address of the local
// network; otherwise one of the listed addresses or networks
// ("192.168.1.20", "10.0.0.0/8"), separated by blanks, commas or
// semicolons.
bool peerAllowed(const QHostAddress& peer, const QString& allowed);

struct ListenerLimits {
    int maxMessageBytes = 64 * 1024;
    int maxConnections = 16;
    int maxMessagesPerMinute = 120; // per peer address
    int silenceMs = 400;            // a message ends after this silence
    int idleMs = 10000;             // a connection that sends nothing is closed
};

class MessageListener : public QObject {
    Q_OBJECT
public:
    explicit MessageListener(QObject* parent = nullptr);
    ~MessageListener() override;

    // Starts listening on the port (any address); false with the reason in
    // errorText() when the port cannot be taken.
    bool listen(quint16 port, const QString& allowed = {}, ListenerLimits limits = {});
    void close();
    bool isListening() const;
    quint16 port() const;
    const QString& errorText() const { return error_; }
    void setAllowed(const QString& allowed) { allowed_ = allowed; }

signals:
    void received(const QString& peer, const QString& text);
    // A connection was refused or a message dropped, and why.
    void refused(const QString& peer, const QString& why);

private:
    struct Connection {
        QPointer<QTcpSocket> socket;
        QByteArray data;
        QTimer* silence = nullptr;
        bool tooLong = false;
        bool gotData = false;
    };
    void accept();
    void readFrom(QTcpSocket* socket);
    void finish(QTcpSocket* socket);
    bool withinRate(const QString& peer);

    QTcpServer* server_;
    QString allowed_;
    ListenerLimits limits_;
    QString error_;
    QHash<QTcpSocket*, Connection> connections_;
    QHash<QString, QList<QDateTime>> recent_;
};

// Sends messages one after another, each on its own connection; a failure
// is said with its reason.
class MessageSender : public QObject {
    Q_OBJECT
public:
    explicit MessageSender(QObject* parent = nullptr);
    void send(const QString& host, quint16 port, const QByteArray& message);
    bool isBusy() const { return current_ != nullptr || !queue_.isEmpty(); }

signals:
    void sent(const QString& host);
    void failed(const QString& host, const QString& why);

private:
    struct Outgoing {
        QString host;
        quint16 port;
        QByteArray bytes;
    };
    void next();
    void done(bool ok, const QString& why);

    QList<Outgoing> queue_;
    QTcpSocket* current_ = nullptr;
    Outgoing sending_;
    QTimer* timeout_;
};

} // namespace torvika
