#pragma once
// The simulator's instrument served on a pty from a thread, and port maps in
// which every port not given to an instrument names a device that does not
// exist, so a scan over them is quick.

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "Instrument.h"
#include "PtyServer.h"
#include "device/PortMap.h"

namespace zorvex::test {

class SimulatedInstrument {
public:
    explicit SimulatedInstrument(sim::InstrumentConfig config = {})
        : instrument(std::move(config)), server(instrument) {
        server.start();
    }
    const std::string& path() const { return server.devicePath(); }

    sim::Instrument instrument;
    sim::PtyServer server;
};

/// The instrument behind a stable link path, as a USB adapter keeps its
/// device name: unplug() closes its pty and removes the link, plugIn() serves
/// it on a new pty (after a power cycle, unless told otherwise) and makes the
/// link again.
class PluggableInstrument {
public:
    explicit PluggableInstrument(std::filesystem::path link, sim::InstrumentConfig config = {})
        : instrument(std::move(config)), link_(std::move(link)) {
        plugIn(false);
    }
    std::string path() const { return link_.string(); }
    /// The instrument's clock: seconds since it was last plugged in.
    double seconds() const { return server_->seconds(); }

    void unplug() {
        server_.reset();
        std::error_code ignored;
        std::filesystem::remove(link_, ignored);
    }
    void plugIn(bool powerCycled = true) {
        unplug();
        server_ = std::make_unique<sim::PtyServer>(instrument);
        if (powerCycled) instrument.powerOn(server_->seconds());
        server_->start();
        std::filesystem::create_symlink(server_->devicePath(), link_);
    }

    sim::Instrument instrument;

private:
    std::filesystem::path link_;
    std::unique_ptr<sim::PtyServer> server_;
};

/// A map whose ports all name missing files in `folder`.
inline PortMap missingDevices(const std::filesystem::path& folder) {
    PortMap map;
    for (int com = 1; com <= PortCount; ++com) map.setDevice(com, (folder / ("missing" + std::to_string(com))).string());
    return map;
}

/// The same map with `com` on the simulated instrument.
inline PortMap withInstrumentOn(PortMap map, int com, const SimulatedInstrument& instrument) {
    map.setDevice(com, instrument.path());
    return map;
}

/// Frames the instrument received that `match` accepts.
inline int countFrames(const sim::Instrument& instrument, const std::function<bool(const sim::Frame&)>& match) {
    int count = 0;
    for (const sim::Frame& frame : instrument.recentFrames()) count += match(frame);
    return count;
}

/// Channel and factory-register writes the instrument received.
inline int writeFrames(const sim::Instrument& instrument) {
    return countFrames(instrument, [](const sim::Frame& frame) { return frame[1] == 0x80 || frame[1] == 0x81; });
}

/// The probe bytes of `value`, as the instrument is told to answer.
inline sim::InstrumentConfig answeringProbe(int value) {
    sim::InstrumentConfig config;
    config.probeReply = sim::InstrumentConfig::probeReplyFor(value);
    return config;
}

/// Waits up to a second until the instrument has received `count` frames.
inline bool waitForFrames(const sim::Instrument& instrument, std::size_t count) {
    for (int i = 0; i < 500; ++i) {
        if (instrument.recentFrames().size() >= count) return true;
        ::usleep(2000);
    }
    return false;
}

/// The bytes of a frame as text, for comparisons.
inline std::string frameBytes(const sim::Frame& frame) { return std::string(frame.begin(), frame.end()); }

}  // namespace zorvex::test
