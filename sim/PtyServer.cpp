#include "PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace zorvex::sim {

namespace {
constexpr int PollMs = 20;
constexpr int SendTimeoutMs = 1000;

[[noreturn]] void fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }
}  // namespace

PtyServer::PtyServer(Instrument& instrument, std::chrono::steady_clock::time_point poweredOn)
    : instrument_(instrument), started_(poweredOn) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) fail("posix_openpt");
    char name[128];
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0) {
        ::close(master_);
        fail("pty setup");
    }
    devicePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (slave_ < 0 || ::tcgetattr(slave_, &tio) != 0) {
        ::close(master_);
        if (slave_ >= 0) ::close(slave_);
        fail("pty slave");
    }
    // Raw from the start: a cooked tty would echo the program's frames back.
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
}

PtyServer::~PtyServer() { disconnect(); }

double PtyServer::seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

void PtyServer::serve(const std::atomic<bool>& stop, double untilSeconds) {
    while (!stop && master_ >= 0 && (untilSeconds <= 0 || seconds() < untilSeconds)) {
        pollfd ready{master_, POLLIN, 0};
        if (::poll(&ready, 1, PollMs) > 0 && (ready.revents & POLLIN)) handleInput();
    }
}

void PtyServer::handleInput() {
    char buffer[4096];
    ssize_t got = ::read(master_, buffer, sizeof buffer);
    if (got <= 0) return;
    sendAll(instrument_.receive(std::string_view(buffer, static_cast<std::size_t>(got)), seconds()));
}

void PtyServer::sendAll(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t count = ::write(master_, bytes.data() + sent, bytes.size() - sent);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR) return;
        // The program has stopped reading and its input is full: what does
        // not fit is lost, as on a real line.
        pollfd ready{master_, POLLOUT, 0};
        if (::poll(&ready, 1, SendTimeoutMs) <= 0) return;
    }
}

void PtyServer::start() {
    if (thread_.joinable()) return;
    stopping_ = false;
    thread_ = std::thread([this] { serve(stopping_); });
}

void PtyServer::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

void PtyServer::disconnect() {
    stop();
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

}  // namespace zorvex::sim
