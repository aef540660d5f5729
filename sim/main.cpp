// zorvex-sim: the instrument on a pseudo-terminal, for demos and tests
// without hardware.

#include <csignal>
#include <fstream>
#include <iostream>
#include <system_error>
#include <thread>

#include "PtyServer.h"
#include "SimOptions.h"
#include "device/PortMap.h"

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int) { stopRequested = true; }

void installSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
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
    DeviceLink(std::filesystem::path link, const std::string& device) : link_(std::move(link)), device_(device) {
        std::error_code error;
        if (std::filesystem::is_symlink(link_, error)) std::filesystem::remove(link_, error);
        std::filesystem::create_symlink(device_, link_, error);
        active_ = !error;
    }
    ~DeviceLink() {
        std::error_code error;
        if (active_ && std::filesystem::read_symlink(link_, error) == device_) std::filesystem::remove(link_, error);
    }
    bool active() const { return active_; }

private:
    std::filesystem::path link_;
    std::filesystem::path device_;
    bool active_ = false;
};

void waitForStop(const zorvex::sim::PtyServer& server, double untilSeconds) {
    while (!stopRequested && (untilSeconds <= 0 || server.seconds() < untilSeconds)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
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
        PtyServer server(instrument);
        std::optional<PortMapping> mapping;
        if (options.com != 0) {
            mapping.emplace(options.programFolder, options.com, server.devicePath());
            if (!mapping->active()) {
                std::cerr << "zorvex-sim: cannot write comports.dat in " << options.programFolder << '\n';
                return 1;
            }
        }
        std::optional<DeviceLink> link;
        if (!options.link.empty()) {
            link.emplace(options.link, server.devicePath());
            if (!link->active()) {
                std::cerr << "zorvex-sim: cannot make the link " << options.link << '\n';
                return 1;
            }
        }
        installSignals();
        std::cout << "zorvex-sim: instrument on " << server.devicePath() << std::endl;
        const double disconnect = options.disconnectAfter;
        const double end = options.seconds;
        bool disconnectFirst = disconnect > 0 && (end <= 0 || disconnect < end);
        server.serve(stopRequested, disconnectFirst ? disconnect : end);
        if (disconnectFirst && !stopRequested) {
            server.disconnect();
            std::cout << "zorvex-sim: disconnected" << std::endl;
            waitForStop(server, end);
        }
    } catch (const std::system_error& failure) {
        std::cerr << "zorvex-sim: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
