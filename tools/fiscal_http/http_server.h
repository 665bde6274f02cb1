#pragma once
// The HTTP side of the stand-in: a small HTTP/1.1 server on a local
// address that reads each request (its line, headers and body by
// Content-Length), answers it through the FiscalApi as JSON, and keeps the
// connection open for the next request. A printing call may be made to
// take time (printDelayMs, a slow device); a call whose asyncTimeout runs
// out first is answered {"taskId": …} and finishes in the background.

#include "fiscal_http/fiscal_api.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

namespace torvika::fiscal_http {

class HttpServer : public QObject {
    Q_OBJECT
public:
    explicit HttpServer(FiscalApi& api, QObject* parent = nullptr);
    // Closes the connections still open without their signals reaching a
    // server half destroyed.
    ~HttpServer() override;
    // Listens on the address and port (0: any free one). False when it cannot.
    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const { return server_.serverPort(); }
    QString errorString() const { return server_.errorString(); }
    int printDelayMs = 0;

private:
    void readFrom(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Reply& reply);
    void request(QTcpSocket* socket, const QString& method, const QString& target, const QByteArray& body);

    FiscalApi& api_;
    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> buffers_;
    QSet<QString> running_; // the tasks being printed
};

} // namespace torvika::fiscal_http
