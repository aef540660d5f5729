// zorvex-sim: the instrument on a pseudo-terminal, for demos and tests
// without hardware.

#include <algorithm>
#include <csignal>
#include <memory>
#include <fstream>
#include <iostream>
#include <system_error>
#include <thread>

#include "PtyServer.h"
#include "SimOptions.h"
#include "device/PortMap.h"

namespace {

std::atomic<bool> stopRequested{false};
std::atomic<bool> pullRequested{false};
std::atomic<bool> interrupted{false};  // either of the two: serving ends

void requestStop(int) {
    stopRequested = true;
    interrupted = true;
}

void requestPull(int) {
    pullRequested = true;
    interrupted = true;
}

void installSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // SIGUSR1 pulls the cable now, for tests that need it at a given moment.
    action.sa_handler = requestPull;
    sigaction(SIGUSR1, &action, nullptr);
    // A launcher that stops reading our output must not end the instrument.
    std::signal(SIGPIPE, SIG_IGN);
}

// Points COM n of a program folder at the pty for the simulator's lifetime.
class PortMapping {
public:
    PortMapping(std::filesystem::path folder, int com, std::string device)
        : folder_(std::move(folder)), com_(com), device_(std::move(device)) {
        zorvex::PortMap map = zorvex::readPortMap(folder_);
        previous_ = map.device(com_);
        map.setDevice(com_, device_);
        active_ = zorvex::writePortMap(folder_, map);
    }
    ~PortMapping() {
        if (!active_) return;
        zorvex::PortMap map = zorvex::readPortMap(folder_);
        // Someone else may have taken the entry meanwhile; theirs stays.
        if (map.device(com_) != device_) return;
        map.setDevice(com_, previous_);
        if (!zorvex::writePortMap(folder_, map)) std::cerr << "zorvex-sim: could not restore comports.dat\n";
    }
    bool active() const { return active_; }

private:
    std::filesystem::path folder_;
    int com_;
    std::string device_;
    std::string previous_;
    bool active_ = false;
};

// A symlink to the pty, removed on exit when it still points there.
class DeviceLink {
public:
    DeviceLink(std::filesystem::path link, const std::string& device) : link_(std::move(link)) { pointAt(device); }
    ~DeviceLink() { remove(); }
    bool active() const { return active_; }
    /// Makes the link again, to `device`.
    void pointAt(const std::string& device) {
        std::error_code error;
        if (std::filesystem::is_symlink(link_, error)) std::filesystem::remove(link_, error);
        device_ = device;
        std::filesystem::create_symlink(device_, link_, error);
        active_ = !error;
    }
    /// Takes the link away while unplugged, as a pulled adapter's device name
    /// goes; a pty number given to someone else meanwhile is never reached.
    void remove() {
        std::error_code error;
        if (active_ && std::filesystem::read_symlink(link_, error) == device_) std::filesystem::remove(link_, error);
        active_ = false;
    }

private:
    std::filesystem::path link_;
    std::filesystem::path device_;
    bool active_ = false;
};

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void waitForStop(Clock::time_point start, double untilSeconds) {
    while (!stopRequested && (untilSeconds <= 0 || secondsSince(start) < untilSeconds)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// The lifetime after the start: served, then pulled at `disconnect` (0
// never) or at SIGUSR1, then after `reconnect` more seconds (0 never) served
// again on a new pty behind `link`, after a power cycle; all until `end` (0
// never).
void serveTimeline(zorvex::sim::Instrument& instrument, std::unique_ptr<zorvex::sim::PtyServer>& server,
                   Clock::time_point poweredOn, const zorvex::sim::SimOptions& options, DeviceLink* link) {
    using zorvex::sim::PtyServer;
    const double end = options.seconds;
    const bool disconnectFirst = options.disconnectAfter > 0 && (end <= 0 || options.disconnectAfter < end);
    server->serve(interrupted, disconnectFirst ? options.disconnectAfter : end);
    if (stopRequested || !(disconnectFirst || pullRequested)) return;
    const double disconnect = secondsSince(poweredOn);
    server->disconnect();
    if (link) link->remove();
    std::cout << "zorvex-sim: disconnected" << std::endl;
    if (options.reconnectAfter <= 0) {
        waitForStop(poweredOn, end);
        return;
    }
    const double back = disconnect + options.reconnectAfter;
    waitForStop(poweredOn, end > 0 ? std::min(end, back) : back);
    if (stopRequested || (end > 0 && secondsSince(poweredOn) >= end)) return;
    server = std::make_unique<PtyServer>(instrument, poweredOn);
    instrument.powerOn(server->seconds());
    if (link) link->pointAt(server->devicePath());
    std::cout << "zorvex-sim: reconnected on " << server->devicePath() << std::endl;
    server->serve(stopRequested, end);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zorvex::sim;
    SimOptions options;
    if (auto status = readSimOptions({argv + 1, argv + argc}, options, std::cout, std::cerr)) return *status;
    InstrumentConfig& config = options.instrument;
    if (!config.stateFile.empty() && std::filesystem::exists(config.stateFile)) {
        if (std::optional<FactoryBytes> stored = loadFactoryState(config.stateFile)) {
            config.factoryRegisters = *stored;
        } else {
            std::cerr << "zorvex-sim: " << config.stateFile << " is not a register list; using the defaults\n";
        }
    }
    std::ofstream log;
    if (!options.logFile.empty()) {
        log.open(options.logFile, std::ios::trunc);
        if (!log) {
            std::cerr << "zorvex-sim: cannot write " << options.logFile << '\n';
            return 1;
        }
    }
    try {
        Instrument instrument(config);
        if (log) instrument.setLog([&log](const std::string& line) { log << line << '\n' << std::flush; });
        const Clock::time_point poweredOn = Clock::now();
        auto server = std::make_unique<PtyServer>(instrument, poweredOn);
        // An instrument that will be pulled is reached by a link, as a real
        // adapter is by its device name: the link goes with the pull, so the
        // program never reaches another process's pty that took the number of
        // the closed one, and comes back with the new pty after a reconnection.
        const bool pulled = options.reconnectAfter > 0 || options.disconnectAfter > 0;
        std::filesystem::path linkPath = options.link;
        if (linkPath.empty() && pulled && options.com != 0) {
            // Absolute: comports.dat is read from wherever the program runs.
            linkPath = std::filesystem::absolute(options.programFolder) /
                       ("zorvex-sim-COM" + std::to_string(options.com));
        }
        std::optional<DeviceLink> link;
        if (!linkPath.empty()) {
            link.emplace(linkPath, server->devicePath());
            if (!link->active()) {
                std::cerr << "zorvex-sim: cannot make the link " << linkPath << '\n';
                return 1;
            }
        }
        std::optional<PortMapping> mapping;
        if (options.com != 0) {
            mapping.emplace(options.programFolder, options.com,
                            linkPath.empty() ? server->devicePath() : linkPath.string());
            if (!mapping->active()) {
                std::cerr << "zorvex-sim: cannot write comports.dat in " << options.programFolder << '\n';
                return 1;
            }
        }
        installSignals();
        std::cout << "zorvex-sim: instrument on " << server->devicePath() << std::endl;
        serveTimeline(instrument, server, poweredOn, options, link ? &*link : nullptr);
        instrument.logState(secondsSince(poweredOn), "at exit");
    } catch (const std::system_error& failure) {
        std::cerr << "zorvex-sim: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
