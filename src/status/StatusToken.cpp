#include "status/StatusToken.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "common/Files.h"

namespace zorvex {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t TokenHexDigits = 32;  // 128 bits

bool isToken(std::string_view text) {
    return text.size() == TokenHexDigits &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

std::string newToken() {
    std::array<quint32, 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    std::string text;
    char digits[9];
    for (quint32 word : words) {
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(word));
        text += digits;
    }
    return text;
}

// Written beside and renamed, created readable by the user only so that no
// other account ever sees it, not even for a moment.
bool writePrivateFile(const fs::path& path, const std::string& bytes) {
    const fs::path temporary = path.string() + ".new";
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) return false;
    const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                         ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

}  // namespace

std::optional<std::string> statusToken(const fs::path& programFolder) {
    const fs::path file = programFolder / StatusTokenFileName;
    if (auto bytes = readFile(file, TokenHexDigits + 2)) {
        std::string text = *bytes;
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
        if (isToken(text)) {
            ::chmod(file.c_str(), S_IRUSR | S_IWUSR);  // a copy that others could read is kept private
            return text;
        }
    }
    std::string token = newToken();
    if (!writePrivateFile(file, token + "\n")) return std::nullopt;
    return token;
}

bool tokenMatches(std::string_view given, std::string_view token) {
    // Both sides hashed first, so neither the length nor the first differing
    // character shows in the time taken.
    const QByteArray a = QCryptographicHash::hash(QByteArray(given.data(), static_cast<qsizetype>(given.size())),
                                                  QCryptographicHash::Sha256);
    const QByteArray b = QCryptographicHash::hash(QByteArray(token.data(), static_cast<qsizetype>(token.size())),
                                                  QCryptographicHash::Sha256);
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0 && !token.empty();
}

}  // namespace zorvex
