#pragma once
// A plain HTTP client for the status page's tests, written from the
// protocol's description: blocking sockets on a thread of their own, while
// the test's thread runs the event loop the server lives in.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cctype>
#include <chrono>
#include <future>
#include <map>
#include <string>

namespace zorvex::test {

struct HttpReply {
    int status = 0;                              ///< 0: no status line came
    std::map<std::string, std::string> headers;  ///< names in lower case
    std::string body;

    /// The value of header `name` (lower case); empty when it was not sent.
    std::string header(const std::string& name) const {
        const auto found = headers.find(name);
        return found == headers.end() ? std::string() : found->second;
    }
};

/// A connected socket to `address`:`port`; -1 when it cannot connect.
inline int connectTo(const std::string& address, int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address.c_str(), &to.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

/// True when `raw` holds a whole reply: its head, and the body Content-Length announces.
inline bool wholeReply(const std::string& raw) {
    const std::size_t headEnd = raw.find("\r\n\r\n");
    if (headEnd == std::string::npos) return false;
    std::string head = raw.substr(0, headEnd);
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t field = head.find("\r\ncontent-length:");
    if (field == std::string::npos) return false;
    return raw.size() >= headEnd + 4 + std::stoul(head.substr(field + 17));
}

/// What the peer sends until it closes, `timeoutMs` pass without a byte, or
/// (with `stopAtReply`) a whole reply has come.
inline std::string readUntilClosed(int fd, int timeoutMs, bool stopAtReply = false) {
    std::string received;
    char buffer[4096];
    pollfd wait{fd, POLLIN, 0};
    while (!(stopAtReply && wholeReply(received)) && ::poll(&wait, 1, timeoutMs) > 0) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
}

/// The reply in `raw`: status line, headers, and the body as long as Content-Length says.
inline HttpReply parseReply(const std::string& raw) {
    HttpReply reply;
    const std::size_t headEnd = raw.find("\r\n\r\n");
    if (raw.rfind("HTTP/1.", 0) != 0 || headEnd == std::string::npos) return reply;
    reply.status = std::stoi(raw.substr(9, 3));
    std::size_t line = raw.find("\r\n") + 2;
    while (line < headEnd) {
        const std::size_t end = raw.find("\r\n", line);
        const std::string field = raw.substr(line, end - line);
        const std::size_t colon = field.find(':');
        std::string name = field.substr(0, colon);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        reply.headers[name] = field.substr(field.find_first_not_of(' ', colon + 1));
        line = end + 2;
    }
    const auto length = reply.headers.find("content-length");
    const std::size_t size = length == reply.headers.end() ? 0 : std::stoul(length->second);
    reply.body = raw.substr(headEnd + 4, size);
    return reply;
}

/// Runs `work` on a thread while this thread runs the event loop; its result.
template <typename Work>
auto besideEventLoop(Work work) {
    auto result = std::async(std::launch::async, work);
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return result.get();
}

/// Sends `request` as it is and reads the reply until it is whole, the
/// server closes, or it stays quiet for `quietMs`.
inline std::string exchangeRaw(int port, const std::string& request, int quietMs = 2000,
                               const std::string& address = "127.0.0.1") {
    return besideEventLoop([=] {
        const int fd = connectTo(address, port);
        if (fd < 0) return std::string();
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        // After HEAD, whatever else comes within `quietMs` is read too: no body may follow.
        std::string raw = readUntilClosed(fd, quietMs, request.rfind("HEAD ", 0) != 0);
        ::close(fd);
        return raw;
    });
}

/// `method` of `target` ("/status.json?token=...") with extra header lines.
inline HttpReply request(int port, const std::string& method, const std::string& target,
                         const std::string& headers = "") {
    return parseReply(
        exchangeRaw(port, method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers + "\r\n"));
}

}  // namespace zorvex::test
