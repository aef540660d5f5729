// The status page over real sockets: what it serves, what it refuses, and
// the limits it keeps against slow and hostile clients. Only loopback
// traffic: "beyond loopback" is the page bound to every address and asked
// through 127.0.0.1.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <thread>
#include <vector>

#include "HttpClient.h"
#include "status/StatusServer.h"

using namespace zorvex;
using test::request;

namespace {

constexpr const char* Token = "00112233445566778899aabbccddeeff";

RunStatus sampleStatus() {
    RunStatus status;
    status.active = true;
    status.recording = true;
    status.state = "running";
    status.name = "N2 <day 1>";
    status.started = "2026-12-06 14:58:00";
    status.binsSaved = 7;
    status.binsClosed = 7;
    status.instrument = InstrumentLink::Online;
    status.port = "COM4 (/dev/ttyUSB0)";
    return status;
}

class StatusServerTest : public ::testing::Test {
protected:
    void listen(const std::string& address = "127.0.0.1", ConnectionLimits limits = {}) {
        server = std::make_unique<StatusServer>(view);
        const auto failure = server->listen({address, 0, Token, limits});
        ASSERT_FALSE(failure) << *failure;
        port = server->port();
    }

    StatusView view{sampleStatus(), {}, {}};
    std::unique_ptr<StatusServer> server;
    int port = 0;
};

}  // namespace

TEST_F(StatusServerTest, PageAndJsonComeFromTheSnapshotWithTheSafetyHeaders) {
    listen();
    const auto page = request(port, "GET", "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.header("content-type"), "text/html; charset=utf-8");
    EXPECT_NE(page.body.find("N2 &lt;day 1&gt;"), std::string::npos);
    EXPECT_EQ(page.body.find("<day 1>"), std::string::npos);

    const auto json = request(port, "GET", "/status.json");
    ASSERT_EQ(json.status, 200);
    const QJsonObject fields = QJsonDocument::fromJson(QByteArray::fromStdString(json.body)).object();
    EXPECT_EQ(fields["bins_saved"].toInt(), 7);
    EXPECT_EQ(fields["name"].toString().toStdString(), "N2 <day 1>");

    for (const char* path : {"/", "/status.json", "/status.css"}) {
        const auto reply = request(port, "GET", path);
        EXPECT_EQ(reply.header("cache-control"), "no-store") << path;
        EXPECT_EQ(reply.header("x-content-type-options"), "nosniff") << path;
        EXPECT_EQ(reply.header("content-security-policy"), "default-src 'self'") << path;
    }
}

TEST_F(StatusServerTest, HeadGivesTheHeadersOfGetWithoutTheBody) {
    listen();
    const auto get = request(port, "GET", "/status.json");
    const std::string raw = test::exchangeRaw(port, "HEAD /status.json HTTP/1.1\r\nHost: x\r\n\r\n", 300);
    const auto head = test::parseReply(raw);
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("content-length"), std::to_string(get.body.size()));
    EXPECT_EQ(raw.substr(raw.find("\r\n\r\n") + 4), "");
}

TEST_F(StatusServerTest, FiguresAreServedOnceDrawn) {
    listen();
    EXPECT_EQ(request(port, "GET", "/groups.svg").status, 404);
    EXPECT_EQ(request(port, "GET", "/").body.find("groups-figure"), std::string::npos);
    view.groupsSvg = "<svg xmlns=\"http://www.w3.org/2000/svg\"/>";
    const auto svg = request(port, "GET", "/groups.svg");
    EXPECT_EQ(svg.status, 200);
    EXPECT_EQ(svg.header("content-type"), "image/svg+xml");
    EXPECT_EQ(svg.body, view.groupsSvg.toStdString());
    EXPECT_NE(request(port, "GET", "/").body.find("<img id=\"groups-figure\" src=\"/groups.svg\""), std::string::npos);
}

TEST_F(StatusServerTest, EveryMethodButGetAndHeadIs405) {
    listen();
    for (const char* method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS", "TRACE", "CONNECT", "BREW"}) {
        const auto reply = request(port, method, "/", "Content-Length: 0\r\n");
        EXPECT_EQ(reply.status, 405) << method;
        EXPECT_EQ(reply.header("allow"), "GET, HEAD") << method;
    }
}

TEST_F(StatusServerTest, UnknownAndTraversalPathsAre404) {
    listen();
    for (const char* path : {"/index.html", "/status.token", "/events.log", "/../status.token", "/%2e%2e/%2e%2e/etc/passwd",
                             "/status.json/../../etc/passwd", "//etc/passwd", "/status.json/", "/groups.svg/..",
                             "/%2fetc%2fpasswd"}) {
        const auto reply = request(port, "GET", path);
        EXPECT_EQ(reply.status, 404) << path;
        EXPECT_EQ(reply.body, "Not Found\n") << path;
    }
}

TEST_F(StatusServerTest, BeyondLoopbackTheTokenIsAskedForInQueryOrBearerHeader) {
    listen("0.0.0.0");
    const std::string wrong = "00112233445566778899aabbccddeefe";
    for (const auto& [target, header] : std::vector<std::pair<std::string, std::string>>{
             {"/", ""},
             {"/status.json", ""},
             {"/?token=" + wrong, ""},
             {"/?token=" + std::string(Token).substr(0, 31), ""},
             {"/status.json", "Authorization: Bearer " + wrong + "\r\n"},
             {"/status.json", "Authorization: Basic " + std::string(Token) + "\r\n"},
             {"/no-such-page", ""},
         }) {
        const auto reply = request(port, "GET", target, header);
        EXPECT_EQ(reply.status, 401) << target << " " << header;
        EXPECT_EQ(reply.header("www-authenticate"), "Bearer") << target;
        EXPECT_EQ(reply.body.find("bins_saved"), std::string::npos) << target;
    }
    const auto page = request(port, "GET", std::string("/?token=") + Token);
    EXPECT_EQ(page.status, 200);
    // The page's own links carry the token on.
    EXPECT_NE(page.body.find(std::string("/status.css?token=") + Token), std::string::npos);
    EXPECT_EQ(request(port, "GET", "/status.json", std::string("Authorization: Bearer ") + Token + "\r\n").status, 200);
    EXPECT_EQ(request(port, "GET", std::string("/status.token?token=") + Token).status, 404);
}

TEST_F(StatusServerTest, LoopbackNeedsNoToken) {
    listen("127.0.0.2");
    EXPECT_EQ(test::parseReply(test::exchangeRaw(port, "GET / HTTP/1.1\r\nHost: x\r\n\r\n", 2000, "127.0.0.2")).status,
              200);
}

TEST_F(StatusServerTest, OversizedHeadIsRefusedAndTheNextClientServed) {
    listen();
    const std::string head =
        "GET / HTTP/1.1\r\nHost: x\r\nX-Padding: " + std::string(MaxRequestHeadBytes, 'a') + "\r\n\r\n";
    const auto refused = test::parseReply(test::exchangeRaw(port, head, 2000));
    // Refused: the 431, or a connection closed before the client read it; never the page.
    EXPECT_TRUE(refused.status == 431 || refused.status == 0) << refused.status;
    EXPECT_EQ(request(port, "GET", "/status.json").status, 200);
}

TEST_F(StatusServerTest, SlowClientsAreCappedInNumberAndClosedWhenIdle) {
    constexpr int Clients = 50;
    constexpr int IdleMs = 1000;
    listen("127.0.0.1", {16, IdleMs, MaxRequestHeadBytes});
    std::atomic<int> answered503{0};
    std::atomic<int> closedByServer{0};
    std::atomic<int> connected{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < Clients; ++i) {
        clients.emplace_back([&] {
            const int fd = test::connectTo("127.0.0.1", port);
            if (fd < 0) return;
            ++connected;
            // A head that never ends, a byte at a time.
            ::send(fd, "GET / HTTP/1.1\r\n", 16, MSG_NOSIGNAL);
            const std::string reply = test::readUntilClosed(fd, 10 * IdleMs);
            if (reply.rfind("HTTP/1.1 503", 0) == 0) ++answered503;
            if (reply.empty()) ++closedByServer;
            ::close(fd);
        });
    }
    int mostOpen = 0;
    QElapsedTimer waited;
    waited.start();
    while ((answered503 + closedByServer < Clients) && waited.elapsed() < 20 * IdleMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        mostOpen = std::max(mostOpen, server->openConnections());
    }
    for (auto& client : clients) client.join();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(connected, Clients);
    EXPECT_LE(mostOpen, 16);
    // Each was refused at once or closed after its idle time (a slow
    // machine may let a late client in once an early one is closed).
    EXPECT_EQ(answered503 + closedByServer, Clients);
    EXPECT_GE(closedByServer, 16);
    EXPECT_GE(answered503, 1);
    EXPECT_EQ(server->openConnections(), 0);
    EXPECT_EQ(request(port, "GET", "/status.json").status, 200);
}
