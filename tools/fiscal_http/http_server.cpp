#include "fiscal_http/http_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace torvika::fiscal_http {

namespace {

// A request larger than this is no request of a till.
constexpr qsizetype kMaxRequest = 4 * 1024 * 1024;

QByteArray reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 202:
        return "Accepted";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 500:
        return "Internal Server Error";
    default:
        return "Error";
    }
}

// The answer, or 500 when the journal or the state cannot be written.
template <typename F> Reply safely(F&& f) {
    try {
        return f();
    } catch (const std::exception& e) {
        return Reply{500, QJsonObject{{QStringLiteral("ok"), false},
                                      {QStringLiteral("messages"),
                                       QJsonArray{QJsonObject{
                                           {QStringLiteral("type"), QStringLiteral("error")},
                                           {QStringLiteral("code"), QStringLiteral("E500")},
                                           {QStringLiteral("text"), QString::fromLocal8Bit(e.what())}}}}}};
    }
}

} // namespace

HttpServer::HttpServer(FiscalApi& api, QObject* parent) : QObject(parent), api_(api) {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            buffers_.insert(socket, {});
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                buffers_.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

HttpServer::~HttpServer() {
    server_.close();
    const QList<QTcpSocket*> sockets = buffers_.keys();
    buffers_.clear();
    for (QTcpSocket* socket : sockets) {
        socket->disconnect(this);
        delete socket;
    }
}

bool HttpServer::listen(const QHostAddress& address, quint16 port) {
    return server_.listen(address, port);
}

void HttpServer::answer(QTcpSocket* socket, const Reply& reply) {
    const QByteArray body = QJsonDocument(reply.body).toJson(QJsonDocument::Compact);
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reason(reply.status) + "\r\n";
    head += "Content-Type: application/json; charset=utf-8\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    socket->write(head + body);
}

void HttpServer::readFrom(QTcpSocket* socket) {
    QByteArray& buffer = buffers_[socket];
    buffer += socket->readAll();
    while (true) {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0) {
            if (buffer.size() > kMaxRequest)
                socket->disconnectFromHost();
            return;
        }
        const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        qsizetype length = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
                length = line.mid(colon + 1).trimmed().toLongLong();
        }
        if (first.size() < 2 || length < 0 || length > kMaxRequest) {
            answer(socket, Reply{400, QJsonObject{{QStringLiteral("ok"), false}}});
            socket->disconnectFromHost();
            return;
        }
        if (buffer.size() < headEnd + 4 + length)
            return; // the body is still coming
        const QByteArray body = buffer.mid(headEnd + 4, length);
        buffer.remove(0, headEnd + 4 + length);
        request(socket, QString::fromLatin1(first[0]), QString::fromLatin1(first[1]), body);
    }
}

void HttpServer::request(QTcpSocket* socket, const QString& method, const QString& target,
                         const QByteArray& body) {
    const QUrl url(target);
    const QString path = url.path();
    const QString query = url.query();
    if (method != u"POST" || printDelayMs <= 0) {
        answer(socket, safely([&] { return api_.handle(method, path, query, body); }));
        return;
    }
    // A slow device: the print takes printDelayMs.
    std::variant<FiscalApi::Job, Reply> parsed = api_.printingJob(path, query, body);
    if (Reply* r = std::get_if<Reply>(&parsed)) {
        answer(socket, *r);
        return;
    }
    FiscalApi::Job job = std::get<FiscalApi::Job>(parsed);
    if (!job.taskId.isEmpty() && api_.hasTask(job.taskId)) {
        answer(socket, api_.taskAnswer(job.taskId));
        return;
    }
    if (!job.taskId.isEmpty() && running_.contains(job.taskId)) {
        // Being printed: the caller follows it with taskinfo.
        answer(socket, Reply{202, QJsonObject{{QStringLiteral("taskId"), job.taskId}}});
        return;
    }
    if (job.taskId.isEmpty() && job.asyncTimeout >= 0)
        job.taskId = api_.newTaskId();
    const QPointer<QTcpSocket> client(socket);
    auto answered = std::make_shared<bool>(false);
    if (job.asyncTimeout >= 0 && job.asyncTimeout < printDelayMs) {
        QTimer::singleShot(job.asyncTimeout, this, [this, client, answered, job] {
            if (*answered)
                return;
            *answered = true;
            api_.markRunning(job.taskId);
            if (client)
                answer(client, Reply{202, QJsonObject{{QStringLiteral("taskId"), job.taskId}}});
        });
    }
    if (!job.taskId.isEmpty())
        running_.insert(job.taskId);
    QTimer::singleShot(printDelayMs, this, [this, client, answered, job] {
        running_.remove(job.taskId);
        const Reply reply = safely([&] { return api_.print(job); });
        if (*answered || !client)
            return;
        *answered = true;
        answer(client, reply);
    });
}

} // namespace torvika::fiscal_http
