#include <fcntl.h>
#include <langinfo.h>
#include <spawn.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/Host.h"

extern char** environ;

namespace zorvex {

namespace {
// xdg-open ends at once, unsuccessfully, when the desktop has no program for
// the document; a viewer it keeps in the foreground holds it longer, which
// counts as opened.
constexpr int OpenCheckMs = 2000;
constexpr int OpenPollMs = 20;
}  // namespace

DateTime SystemHost::now() {
    std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::int64_t SystemHost::steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemHost::pause(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::optional<std::uint64_t> SystemHost::freeDiskBytes(const std::filesystem::path& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

std::string SystemHost::listSeparator() {
    // Locales that write decimals with a comma separate lists with a semicolon.
    std::setlocale(LC_NUMERIC, "");
    std::string decimalPoint = nl_langinfo(RADIXCHAR);
    std::setlocale(LC_NUMERIC, "C");
    return decimalPoint == "," ? ";" : ",";
}

bool SystemHost::openDocument(const std::filesystem::path& path) {
    std::string target = std::filesystem::absolute(path).string();
    char program[] = "xdg-open";
    std::vector<char*> arguments{program, target.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int status = posix_spawnp(&child, program, &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) return false;
    for (int waited = 0; waited < OpenCheckMs; waited += OpenPollMs) {
        int exitStatus = 0;
        const pid_t ended = ::waitpid(child, &exitStatus, WNOHANG);
        if (ended == child) return WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0;
        if (ended < 0) return false;
        yield();
        pause(OpenPollMs);
    }
    // A viewer keeps xdg-open waiting until it closes; reap it aside so the
    // caller never blocks and no zombie stays.
    std::thread([child] {
        int exitStatus = 0;
        ::waitpid(child, &exitStatus, 0);
    }).detach();
    return true;
}

}  // namespace zorvex
