#pragma once
// The secret a browser beyond this computer gives to see the status page:
// 128 random bits in hex, made at first use and kept in the program folder
// as status.token, readable by the user only.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvex {

inline constexpr const char* StatusTokenFileName = "status.token";

/// The token of `programFolder`, made and written when there is none (or the
/// file holds something else); nothing when it cannot be written.
std::optional<std::string> statusToken(const std::filesystem::path& programFolder);

/// True when `given` is `token`, in a time that does not tell how much of it matched.
bool tokenMatches(std::string_view given, std::string_view token);

}  // namespace zorvex
