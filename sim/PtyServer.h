#pragma once
// Serves an instrument on a pseudo-terminal, so the program reaches it through
// its ordinary serial code by the pty's device path.

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "Instrument.h"

namespace zorvex::sim {

class PtyServer {
public:
    /// Opens a pty for `instrument`, whose clock runs from `poweredOn`; throws
    /// std::system_error when none is available.
    explicit PtyServer(Instrument& instrument,
                       std::chrono::steady_clock::time_point poweredOn = std::chrono::steady_clock::now());
    /// Stops serving and closes the pty.
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    /// The device path the program opens (/dev/pts/N).
    const std::string& devicePath() const { return devicePath_; }
    /// Seconds since the instrument was powered on: its clock.
    double seconds() const;

    /// Serves on the calling thread until `stop` is set or `untilSeconds`
    /// have passed (0: no limit), or the pty was closed.
    void serve(const std::atomic<bool>& stop, double untilSeconds = 0);
    /// Serves on a thread of its own until stop().
    void start();
    void stop();
    /// Stops serving and closes the pty like a pulled cable: the device path
    /// disappears and the program's reads and writes fail.
    void disconnect();

private:
    void handleInput();
    void sendAll(const std::string& bytes);

    Instrument& instrument_;
    int master_ = -1;
    int slave_ = -1;  // held open so the tty lives between the program's opens
    std::string devicePath_;
    std::chrono::steady_clock::time_point started_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace zorvex::sim
