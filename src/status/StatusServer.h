#pragma once
// The read-only status page over HTTP: GET and HEAD on a few fixed routes,
// every answer made from the latest snapshot, a token asked for when the
// page listens beyond this computer.

#include <QAbstractHttpServer>
#include <QByteArray>
#include <optional>
#include <string>

#include "status/GuardedTcpServer.h"
#include "status/RunStatus.h"

namespace zorvex {

/// What the page serves: the latest snapshot and the figures drawn from it.
struct StatusView {
    RunStatus status;
    QByteArray groupsSvg;  ///< empty until drawn
    QByteArray plateSvg;
};

struct StatusListen {
    std::string address = "127.0.0.1";
    int port = 0;               ///< 0: any free port (tests)
    std::string token;          ///< asked for unless the address is a loopback one
    ConnectionLimits limits;
};

class StatusServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    /// A server that answers from `view`, which must outlive it.
    explicit StatusServer(const StatusView& view, QObject* parent = nullptr);

    /// Starts listening; nothing on success, else what went wrong.
    std::optional<std::string> listen(const StatusListen& where);
    /// The port listened on; 0 before listen().
    int port() const { return port_; }
    /// Connections open now.
    int openConnections() const;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    bool authorised(const QHttpServerRequest& request) const;

    const StatusView& view_;
    GuardedTcpServer* listener_ = nullptr;
    int port_ = 0;
    std::string token_;
    bool tokenNeeded_ = false;
};

}  // namespace zorvex
