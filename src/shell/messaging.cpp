#include "shell/messaging.h"

#include "common/cp1251.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace torvika {

QByteArray encodeMessage(const QString& operatorName, const QString& text) {
    return toCp1251(QString(operatorName + QStringLiteral(":\r\n") + text));
}

QString decodeMessage(const QByteArray& bytes) {
    const QString text = decodeUtf8OrCp1251(bytes);
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (c == u'\r' || c == u'\n' || c == u'\t' ||
            (!c.isNull() && c.category() != QChar::Other_Control && c.category() != QChar::Other_Format &&
             c != QChar::ReplacementCharacter))
            out += c;
    return out;
}

namespace {

bool inLocalNetwork(const QHostAddress& a) {
    if (a.isLoopback())
        return true;
    bool v4 = false;
    const QHostAddress v4a(a.toIPv4Address(&v4));
    const QHostAddress& addr = v4 ? v4a : a;
    static const QList<std::pair<QHostAddress, int>> ranges{
        QHostAddress::parseSubnet(QStringLiteral("10.0.0.0/8")),
        QHostAddress::parseSubnet(QStringLiteral("172.16.0.0/12")),
        QHostAddress::parseSubnet(QStringLiteral("192.168.0.0/16")),
        QHostAddress::parseSubnet(QStringLiteral("169.254.0.0/16")),
        QHostAddress::parseSubnet(QStringLiteral("fc00::/7")),
        QHostAddress::parseSubnet(QStringLiteral("fe80::/10")),
    };
    for (const auto& r : ranges)
        if (addr.isInSubnet(r))
            return true;
    return false;
}

// The peer's address as a person writes it: an IPv4 address mapped into
// IPv6 as the plain IPv4 one.
QString addressText(const QHostAddress& a) {
    bool v4 = false;
    const quint32 ip = a.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip).toString() : a.toString();
}

} // namespace

bool peerAllowed(const QHostAddress& peer, const QString& allowed) {
    const QStringList entries =
        allowed.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts);
    if (entries.isEmpty())
        return inLocalNetwork(peer);
    bool v4 = false;
    const QHostAddress v4peer(peer.toIPv4Address(&v4));
    const QHostAddress& p = v4 ? v4peer : peer;
    for (const QString& e : entries) {
        if (e.contains(QLatin1Char('/'))) {
            const auto subnet = QHostAddress::parseSubnet(e);
            if (!subnet.first.isNull() && p.isInSubnet(subnet))
                return true;
        } else if (QHostAddress(e).isEqual(p, QHostAddress::TolerantConversion)) {
            return true;
        }
    }
    return false;
}

// ---- Listener ----

MessageListener::MessageListener(QObject* parent) : QObject(parent), server_(new QTcpServer(this)) {
    connect(server_, &QTcpServer::newConnection, this, &MessageListener::accept);
}

MessageListener::~MessageListener() = default;

bool MessageListener::listen(quint16 port, const QString& allowed, ListenerLimits limits) {
    close();
    allowed_ = allowed;
    limits_ = limits;
    server_->setMaxPendingConnections(limits.maxConnections);
    if (!server_->listen(QHostAddress::Any, port)) {
        error_ = server_->errorString();
        return false;
    }
    error_.clear();
    return true;
}

void MessageListener::close() {
    server_->close();
    const QList<QTcpSocket*> open = connections_.keys();
    for (QTcpSocket* s : open)
        s->abort();
}

bool MessageListener::isListening() const {
    return server_->isListening();
}

quint16 MessageListener::port() const {
    return server_->serverPort();
}

bool MessageListener::withinRate(const QString& peer) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<QDateTime>& times = recent_[peer];
    while (!times.isEmpty() && times.front().secsTo(now) >= 60)
        times.removeFirst();
    if (times.size() >= limits_.maxMessagesPerMinute)
        return false;
    times << now;
    return true;
}

void MessageListener::accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        const QString peer = addressText(socket->peerAddress());
        if (!peerAllowed(socket->peerAddress(), allowed_)) {
            emit refused(peer, QStringLiteral("адресът не е разрешен"));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        if (connections_.size() >= limits_.maxConnections) {
            emit refused(peer, QStringLiteral("твърде много връзки"));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        Connection c;
        c.socket = socket;
        c.silence = new QTimer(socket);
        c.silence->setSingleShot(true);
        c.silence->setInterval(limits_.idleMs);
        connect(c.silence, &QTimer::timeout, this, [this, socket] { finish(socket); });
        c.silence->start();
        connections_.insert(socket, c);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            readFrom(socket);
            finish(socket);
        });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError e) {
            if (e != QAbstractSocket::RemoteHostClosedError)
                finish(socket);
        });
    }
}

void MessageListener::readFrom(QTcpSocket* socket) {
    auto it = connections_.find(socket);
    if (it == connections_.end())
        return;
    const QByteArray bytes = socket->readAll();
    if (bytes.isEmpty())
        return;
    Connection& c = *it;
    c.gotData = true;
    if (!c.tooLong) {
        if (c.data.size() + bytes.size() > limits_.maxMessageBytes) {
            c.tooLong = true;
            c.data.clear();
        } else {
            c.data += bytes;
        }
    }
    // The message ends at the sender's close or after a short silence.
    c.silence->start(limits_.silenceMs);
}

void MessageListener::finish(QTcpSocket* socket) {
    auto it = connections_.find(socket);
    if (it == connections_.end())
        return;
    const Connection c = *it;
    connections_.erase(it);
    const QString peer = addressText(socket->peerAddress());
    if (c.tooLong)
        emit refused(peer, QStringLiteral("съобщението е по-дълго от %1 байта").arg(limits_.maxMessageBytes));
    else if (!c.data.isEmpty() && !withinRate(peer))
        emit refused(peer, QStringLiteral("твърде много съобщения"));
    else if (!c.data.isEmpty())
        emit received(peer, decodeMessage(c.data));
    // A peer that stays silent (or is done) is closed; the listener goes on.
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

// ---- Sender ----

MessageSender::MessageSender(QObject* parent) : QObject(parent), timeout_(new QTimer(this)) {
    timeout_->setSingleShot(true);
    timeout_->setInterval(5000);
    connect(timeout_, &QTimer::timeout, this, [this] { done(false, QStringLiteral("няма отговор")); });
}

void MessageSender::send(const QString& host, quint16 port, const QByteArray& message) {
    queue_.append({host, port, message});
    if (!current_)
        next();
}

void MessageSender::next() {
    if (current_ || queue_.isEmpty())
        return;
    sending_ = queue_.takeFirst();
    current_ = new QTcpSocket(this);
    QTcpSocket* s = current_;
    connect(s, &QTcpSocket::connected, this, [this, s] {
        s->write(sending_.bytes);
        s->disconnectFromHost(); // the close ends the message, after the bytes
    });
    connect(s, &QTcpSocket::disconnected, this, [this, s] {
        if (s == current_)
            done(s->bytesToWrite() == 0, s->errorString());
    });
    connect(s, &QTcpSocket::errorOccurred, this, [this, s](QAbstractSocket::SocketError e) {
        if (s == current_ && e != QAbstractSocket::RemoteHostClosedError)
            done(false, s->errorString());
    });
    timeout_->start();
    s->connectToHost(sending_.host, sending_.port);
}

void MessageSender::done(bool ok, const QString& why) {
    timeout_->stop();
    QTcpSocket* s = current_;
    current_ = nullptr;
    if (s) {
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
    const QString host = sending_.host;
    if (ok)
        emit sent(host);
    else
        emit failed(host, why);
    next();
}

} // namespace torvika
