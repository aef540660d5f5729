#include "status/StatusServer.h"

#include <QHostAddress>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QUrlQuery>
#include <utility>
#include <vector>

#include "status/StatusPage.h"
#include "status/StatusSettings.h"
#include "status/StatusToken.h"

namespace zorvex {

namespace {

using Status = QHttpServerResponder::StatusCode;

using Headers = std::vector<std::pair<QByteArray, QByteArray>>;

struct Document {
    Status status = Status::Ok;
    QByteArray type;
    QByteArray body;
};

Document text(Status status, const QByteArray& body) { return {status, "text/plain; charset=utf-8", body + "\n"}; }

// Every answer, refusals included, is neither cached nor sniffed, and its
// page loads nothing from anywhere else.
void answer(QHttpServerResponder&& responder, const QHttpServerRequest& request, const Document& document,
            const Headers& extra) {
    responder.writeStatusLine(document.status);
    responder.writeHeader("Content-Type", document.type);
    responder.writeHeader("Content-Length", QByteArray::number(document.body.size()));
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("Content-Security-Policy", "default-src 'self'");
    for (const auto& [name, value] : extra) responder.writeHeader(name, value);
    if (request.method() != QHttpServerRequest::Method::Head) {
        responder.writeBody(document.body);
    } else {
        responder.writeBody(QByteArray());
    }
}

QByteArray bytes(const std::string& text) { return QByteArray::fromStdString(text); }

}  // namespace

StatusServer::StatusServer(const StatusView& view, QObject* parent) : QAbstractHttpServer(parent), view_(view) {}

std::optional<std::string> StatusServer::listen(const StatusListen& where) {
    const QHostAddress address(QString::fromStdString(where.address));
    if (address.isNull()) return "Status page: " + where.address + " is not an IP address";
    tokenNeeded_ = !isLoopback(where.address);
    if (tokenNeeded_ && where.token.empty()) return "Status page: no token to ask for beyond this computer";
    token_ = where.token;
    auto* listener = new GuardedTcpServer(where.limits, this);
    if (!listener->listen(address, static_cast<quint16>(where.port))) {
        const std::string reason = listener->errorString().toStdString();
        delete listener;
        return "Status page: cannot listen on " + where.address + " port " + std::to_string(where.port) + " (" +
               reason + ")";
    }
    listener_ = listener;
    port_ = listener->serverPort();
    bind(listener);
    return std::nullopt;
}

int StatusServer::openConnections() const { return listener_ != nullptr ? listener_->openConnections() : 0; }

bool StatusServer::authorised(const QHttpServerRequest& request) const {
    if (!tokenNeeded_) return true;
    const QString given = request.query().queryItemValue("token", QUrl::FullyDecoded);
    if (!given.isEmpty()) return tokenMatches(given.toStdString(), token_);
    const QByteArray header = request.value("Authorization");
    constexpr std::string_view Bearer = "Bearer ";
    if (!header.startsWith(QByteArray(Bearer.data(), Bearer.size()))) return false;
    return tokenMatches(header.mid(static_cast<qsizetype>(Bearer.size())).trimmed().toStdString(), token_);
}

bool StatusServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (GuardedTcpServer::refused(socket)) return true;  // answered already
    auto reply = [&](const Document& document, const Headers& extra = {}) {
        answer(makeResponder(request, socket), request, document, extra);
    };
    const auto method = request.method();
    if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head) {
        reply(text(Status::MethodNotAllowed, "Method Not Allowed"), {{"Allow", "GET, HEAD"}});
        return true;
    }
    if (!authorised(request)) {
        reply(text(Status::Unauthorized, "Unauthorized: give the token as ?token= or a bearer header"),
               {{"WWW-Authenticate", "Bearer"}});
        return true;
    }
    // Fixed routes only: no part of a request names a file.
    const QString path = request.url().path(QUrl::FullyEncoded);
    const bool withToken = tokenNeeded_ && !request.query().queryItemValue("token").isEmpty();
    const std::string tokenQuery = withToken ? "?token=" + token_ : "";
    if (path == "/") {
        const PageLinks links{!view_.groupsSvg.isEmpty(), !view_.plateSvg.isEmpty(), tokenQuery};
        reply({Status::Ok, "text/html; charset=utf-8", bytes(statusHtml(view_.status, links))});
    } else if (path == "/status.json") {
        reply({Status::Ok, "application/json", bytes(statusJson(view_.status))});
    } else if (path == "/status.css") {
        reply({Status::Ok, "text/css; charset=utf-8", bytes(statusCss())});
    } else if (path == "/groups.svg" && !view_.groupsSvg.isEmpty()) {
        reply({Status::Ok, "image/svg+xml", view_.groupsSvg});
    } else if (path == "/plate.svg" && !view_.plateSvg.isEmpty()) {
        reply({Status::Ok, "image/svg+xml", view_.plateSvg});
    } else {
        reply(text(Status::NotFound, "Not Found"));
    }
    return true;
}

void StatusServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    answer(makeResponder(request, socket), request, text(Status::NotFound, "Not Found"), {});
}

}  // namespace zorvex
