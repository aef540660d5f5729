#include "status/RequestHeadGuard.h"

namespace zorvex {

namespace {
constexpr std::size_t LongestMethod = 16;  // longer than any method there is
}

std::optional<int> RequestHeadGuard::feed(std::string_view bytes) {
    for (char c : bytes) {
        if (headBytes_ == 0 && (c == '\r' || c == '\n')) continue;  // blank lines before a request are allowed
        if (++headBytes_ > maxHeadBytes_) return 431;
        if (c == '\r') continue;  // lines may end in CR LF or LF alone
        if (!methodDone_) {
            if (c == ' ' || c == '\n') {
                methodDone_ = true;
                if (method_ != "GET" && method_ != "HEAD") return 405;
            } else if (method_.size() < LongestMethod) {
                method_ += c;
            }
        }
        if (c == '\n' && lineStart_) {
            // An empty line: the head is complete and the next one begins.
            headBytes_ = 0;
            method_.clear();
            methodDone_ = false;
        }
        lineStart_ = c == '\n';
    }
    return std::nullopt;
}

}  // namespace zorvex
