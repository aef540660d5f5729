#include "ui/common/ExitSignals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace zorvex {

namespace {

int signalPipe[2] = {-1, -1};

extern "C" void writeSignal(int number) {
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] ssize_t written = ::write(signalPipe[1], &byte, 1);
}

constexpr int HandledSignals[] = {SIGTERM, SIGHUP, SIGINT};

}  // namespace

ExitSignals::ExitSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    ::fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ExitSignals::readSignal);
    struct sigaction action {};
    action.sa_handler = writeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : HandledSignals) sigaction(number, &action, nullptr);
}

ExitSignals::~ExitSignals() {
    for (int number : HandledSignals) std::signal(number, SIG_DFL);
    notifier_.reset();
    for (int& fd : signalPipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void ExitSignals::readSignal() {
    unsigned char byte = 0;
    if (::read(signalPipe[0], &byte, 1) != 1) return;
    emit received(byte == SIGTERM ? "SIGTERM" : byte == SIGHUP ? "SIGHUP" : "SIGINT");
}

}  // namespace zorvex
