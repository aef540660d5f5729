#pragma once
// The request heads a connection of the status page may send, checked before
// the HTTP library parses them: the library takes heads of many kilobytes
// and every method, the page only short GET and HEAD requests.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zorvex {

/// Longest request head the status page reads.
inline constexpr std::size_t MaxRequestHeadBytes = 8 * 1024;

class RequestHeadGuard {
public:
    explicit RequestHeadGuard(std::size_t maxHeadBytes = MaxRequestHeadBytes) : maxHeadBytes_(maxHeadBytes) {}

    /// The next bytes of the connection. Nothing while every head so far is
    /// acceptable; else the refusal's status: 431 for a head longer than the
    /// limit, 405 for a method other than GET or HEAD.
    std::optional<int> feed(std::string_view bytes);

private:
    std::size_t maxHeadBytes_;
    std::size_t headBytes_ = 0;  ///< of the head in progress, blank lines before it not counted
    std::string method_;
    bool methodDone_ = false;
    bool lineStart_ = true;      ///< the last byte ended a line (or the head has not begun)
};

}  // namespace zorvex
