#include "status/GuardedTcpServer.h"

#include <QTimer>
#include <algorithm>
#include <memory>

namespace zorvex {

namespace {

constexpr const char* RefusedProperty = "zorvexRefused";
constexpr int RefusedLingerMs = 2000;  // time a refused client gets to read the refusal

QByteArray refusal(int status) {
    const QByteArray reason = status == 431   ? "Request Header Fields Too Large"
                              : status == 405 ? "Method Not Allowed"
                                              : "Service Unavailable";
    const QByteArray body = reason + "\n";
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(status) + " " + reason + "\r\n";
    if (status == 405) bytes += "Allow: GET, HEAD\r\n";
    bytes += "Content-Type: text/plain; charset=utf-8\r\nContent-Length: " + QByteArray::number(body.size()) +
             "\r\nConnection: close\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
             "Content-Security-Policy: default-src 'self'\r\n\r\n" +
             body;
    return bytes;
}

// However the connection ends (closed by the client, refused, or left
// behind by the library after a parse error), it is gone after `ms`.
void endAfter(QTcpSocket* socket, int ms) {
    QTimer::singleShot(ms, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
}

}  // namespace

GuardedTcpServer::GuardedTcpServer(ConnectionLimits limits, QObject* parent) : QTcpServer(parent), limits_(limits) {}

int GuardedTcpServer::openConnections() {
    std::erase_if(open_, [](const QPointer<QTcpSocket>& socket) { return socket.isNull(); });
    return static_cast<int>(open_.size());
}

bool GuardedTcpServer::refused(const QTcpSocket* socket) { return socket->property(RefusedProperty).toBool(); }

void GuardedTcpServer::refuse(QTcpSocket* socket, int status) {
    socket->setProperty(RefusedProperty, true);
    socket->write(refusal(status));
    socket->disconnectFromHost();
    endAfter(socket, RefusedLingerMs);
}

void GuardedTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (openConnections() >= limits_.maxConnections) {
        // Never handed to the library: answered here and closed.
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        refuse(socket, 503);
        return;
    }
    open_.emplace_back(socket);
    watch(socket);
    addPendingConnection(socket);
}

void GuardedTcpServer::watch(QTcpSocket* socket) {
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    idle->setInterval(limits_.idleMs);
    connect(idle, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    idle->start();
    // Only an answer starts the quiet spell anew: a client that trickles a
    // head byte by byte is still closed in time.
    connect(socket, &QTcpSocket::bytesWritten, idle, qOverload<>(&QTimer::start));
    // Connected before the library's own handler, so a head is checked
    // before it is parsed.
    auto guard = std::make_shared<RequestHeadGuard>(limits_.maxHeadBytes);
    connect(socket, &QTcpSocket::readyRead, socket, [socket, guard] {
        if (refused(socket)) {
            socket->readAll();  // nothing more is read from a refused client
            return;
        }
        const QByteArray bytes = socket->peek(socket->bytesAvailable());
        if (auto status = guard->feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
            socket->readAll();
            refuse(socket, *status);
        }
    });
}

}  // namespace zorvex
