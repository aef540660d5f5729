#pragma once
// The instrument as seen from its side of the serial line: it parses 5-byte
// frames from whatever bytes arrive, answers the requests it knows, and
// ignores everything else. Written apart from the program's device layer so
// that a misreading of the protocol on either side shows up in tests.

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "BeamModel.h"
#include "FactoryState.h"
#include "PlateTemperature.h"

namespace zorvex::sim {

using Frame = std::array<std::uint8_t, 5>;

/// Probabilities (0..1) of misbehaving, per request that has a reply.
struct Faults {
    double shortBlock = 0;   ///< a sample block loses its last byte
    double faultyBlock = 0;  ///< a sample block carries a high byte above 15
    double silent = 0;       ///< no reply at all
    double noEcho = 0;       ///< a write is stored but not echoed
    double wrongEcho = 0;    ///< a write is stored but echoed with another address
};

struct InstrumentConfig {
    std::string probeReply = probeReplyFor(50);            ///< bytes answered to the null request
    FactoryBytes factoryRegisters = DefaultFactoryRegisters;
    std::filesystem::path stateFile;                      ///< where register writes are kept; empty: nowhere
    std::uint64_t seed = 1;
    double ambientC = 22.0;
    bool organisms = true;  ///< false: an empty plate, beams never crossed
    bool dosePlate = false; ///< activity by dose as DosePlate.h lays it out
    Faults faults;
    double blipAt = 0;       ///< seconds after power-on when the mains fails for `blipSeconds`
    double blipSeconds = 0;  ///< 0: no blip

    /// The two bytes that carry probe value `value` (first x 255 + second).
    static std::string probeReplyFor(int value);
};

class Instrument {
public:
    explicit Instrument(InstrumentConfig config);

    /// Takes the bytes that arrived at `seconds` since power-on and returns
    /// the bytes to send back.
    std::string receive(std::string_view bytes, double seconds);

    /// The last frames received (at most 1024), oldest first.
    std::vector<Frame> recentFrames() const;
    /// The output state of the last set-outputs request.
    int outputState() const;
    /// The sensitivity setting of `channel` (gain x 32 + pin-hole); -1 outside 0..383.
    int channelSetting(int channel) const;
    FactoryBytes factoryRegisters() const;
    double plateDegrees() const;

    void setFaults(const Faults& faults);
    void setProbeReply(std::string reply);
    /// What happens to the reply of a frame the reply filter picks.
    enum class Refusal { Withheld, WrongAddress };
    /// Withholds the reply to every frame for which `filter` returns true, or
    /// answers it with another address, as a register that refuses a write
    /// (the caller then sees the failure at once instead of after a read timeout).
    void setReplyFilter(std::function<bool(const Frame&)> filter, Refusal refusal = Refusal::Withheld);
    /// Receives one line per frame received, reply sent and bytes skipped.
    void setLog(std::function<void(const std::string&)> log);
    /// The instrument switched off and on again at `seconds`: outputs off,
    /// every beam back at its power-on setting; the factory registers stay.
    void powerOn(double seconds);
    /// A mains blip: from `at` seconds for `lasting` seconds nothing is
    /// answered (the pty stays open), then the instrument is at its power-on
    /// state. The state before and after goes to the log as NOTE lines.
    void blip(double at, double lasting);
    /// Writes the outputs and every beam setting to the log as a NOTE line.
    void logState(double seconds, const char* when);

private:
    std::string answer(const Frame& frame, double seconds);
    std::string sampleBlock(int offset);
    std::string echo(const Frame& frame);
    bool happens(double probability);
    bool powerFailed(double seconds);
    void resetToPowerOn(double seconds, const char* note);
    void logStateLocked(double seconds, const char* when);
    void log(double seconds, const char* direction, std::string_view bytes);

    mutable std::mutex mutex_;
    InstrumentConfig config_;
    std::string pending_;
    std::deque<Frame> history_;
    int outputState_ = 0;
    bool blipBegun_ = false;
    bool blipOver_ = false;
    BeamModel beams_;
    PlateTemperature plate_;
    std::mt19937_64 faultRandom_;
    std::function<bool(const Frame&)> replyFilter_;
    Refusal refusal_ = Refusal::Withheld;
    std::function<void(const std::string&)> log_;
};

}  // namespace zorvex::sim
