// The status page's request-head check: whatever bytes a client sends, and
// however the network cuts them up, the verdict is the same.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "status/RequestHeadGuard.h"

namespace {

// The first refusal of `bytes` fed in pieces of `piece` bytes (the guard is
// not fed after it refused).
std::optional<int> verdict(std::string_view bytes, std::size_t piece) {
    zorvex::RequestHeadGuard guard(256);
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        if (auto refused = guard.feed(bytes.substr(at, piece))) return refused;
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto whole = verdict(bytes, bytes.size() + 1);
    if (whole && *whole != 405 && *whole != 431) std::abort();
    if (verdict(bytes, 1) != whole || verdict(bytes, 7) != whole) std::abort();
    return 0;
}
