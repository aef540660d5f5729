#pragma once
// The listening socket of the status page with the limits the HTTP library
// lacks: a cap on open connections, a close after a quiet spell, and the
// request-head check, all applied before the library sees a byte. A page
// that anyone on the network can open must not let a few slow or hostile
// clients take memory, sockets or time from the acquisition.

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <vector>

#include "status/RequestHeadGuard.h"

namespace zorvex {

struct ConnectionLimits {
    int maxConnections = 16;
    int idleMs = 10000;  ///< a connection is closed this long after it opened or was last answered
    std::size_t maxHeadBytes = MaxRequestHeadBytes;
};

class GuardedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    explicit GuardedTcpServer(ConnectionLimits limits, QObject* parent = nullptr);

    /// Connections open now (refused ones not counted).
    int openConnections();

    /// True when `socket` was answered by the guard and the page must not answer it again.
    static bool refused(const QTcpSocket* socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void watch(QTcpSocket* socket);
    static void refuse(QTcpSocket* socket, int status);

    ConnectionLimits limits_;
    std::vector<QPointer<QTcpSocket>> open_;
};

}  // namespace zorvex
