#include "Instrument.h"

#include <cstdio>

namespace zorvex::sim {

namespace {
constexpr std::uint8_t Start = 0xFF;
constexpr std::uint8_t End = 0xF0;
constexpr std::size_t HistoryFrames = 1024;
constexpr int BlockTriplets = 32;
constexpr int BankChannels = 128;

constexpr std::uint8_t Request = 0x00;
constexpr std::uint8_t WriteLow = 0x80;
constexpr std::uint8_t WriteHigh = 0x81;
constexpr std::uint8_t NullRequest = 0x00;
constexpr std::uint8_t SetOutputs = 0x10;
constexpr std::uint8_t ReadRegister = 0x20;
constexpr std::uint8_t ReadTemperature = 0x21;
constexpr std::uint8_t ReadBlock = 0x30;
constexpr int LastWritableRegister = 134;

std::string hex(std::string_view bytes) {
    std::string text;
    char digits[4];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, text.empty() ? "%02X" : " %02X", byte);
        text += digits;
    }
    return text;
}

std::string twoBytes(int first, int second) {
    return {static_cast<char>(first), static_cast<char>(second)};
}
}  // namespace

std::string InstrumentConfig::probeReplyFor(int value) { return twoBytes(value / 255, value % 255); }

Instrument::Instrument(InstrumentConfig config)
    : config_(std::move(config)),
      beams_(config_.seed, config_.organisms, config_.dosePlate),
      plate_(config_.ambientC),
      faultRandom_(config_.seed ^ 0x9E3779B97F4A7C15ULL) {}

std::string Instrument::receive(std::string_view bytes, double seconds) {
    std::lock_guard lock(mutex_);
    plate_.advance(seconds, outputState_);
    if (powerFailed(seconds)) return {};
    pending_.append(bytes);
    std::string replies;
    std::size_t at = 0;
    // A frame is FF, three bytes, F0; anything else is dropped up to the next
    // FF, which may start a frame.
    while (true) {
        std::size_t start = pending_.find(static_cast<char>(Start), at);
        if (start == std::string::npos) start = pending_.size();
        if (start > at) log(seconds, "SKIP", std::string_view(pending_).substr(at, start - at));
        at = start;
        if (pending_.size() - at < 5) break;
        if (static_cast<std::uint8_t>(pending_[at + 4]) != End) {
            log(seconds, "SKIP", std::string_view(pending_).substr(at, 1));
            ++at;
            continue;
        }
        Frame frame;
        for (int i = 0; i < 5; ++i) frame[i] = static_cast<std::uint8_t>(pending_[at + i]);
        at += 5;
        log(seconds, "RX", std::string_view(reinterpret_cast<const char*>(frame.data()), frame.size()));
        history_.push_back(frame);
        if (history_.size() > HistoryFrames) history_.pop_front();
        std::string reply = answer(frame, seconds);
        if (reply.empty() || happens(config_.faults.silent)) continue;
        if (replyFilter_ && replyFilter_(frame)) {
            if (refusal_ == Refusal::Withheld) continue;
            reply[0] = static_cast<char>(reply[0] ^ 1);
        }
        log(seconds, "TX", reply);
        replies += reply;
    }
    pending_.erase(0, at);
    return replies;
}

std::string Instrument::answer(const Frame& frame, double seconds) {
    const std::uint8_t mode = frame[1], code = frame[2], argument = frame[3];
    if (mode == Request) {
        switch (code) {
            case NullRequest:
                return argument == 0 ? config_.probeReply : std::string();
            case SetOutputs:
                if (argument <= 7) {
                    plate_.advance(seconds, outputState_);
                    outputState_ = argument;
                }
                return {};
            case ReadRegister:
                if (argument < FactoryRegisterFirst || argument >= FactoryRegisterFirst + FactoryRegisterTotal) return {};
                return twoBytes(config_.factoryRegisters[argument - FactoryRegisterFirst], argument);
            case ReadTemperature:
                return argument == 0 ? twoBytes(plate_.raw(), argument) : std::string();
            case ReadBlock:
                return argument % BlockTriplets == 0 && argument < BankChannels ? sampleBlock(argument) : std::string();
            default:
                return {};
        }
    }
    if (mode == WriteLow && code < BankChannels) {
        beams_.setSetting(code, argument);
        return echo(frame);
    }
    if (mode == WriteHigh) {
        beams_.setSetting(BankChannels + code, argument);
        return echo(frame);
    }
    if (mode == WriteLow && code >= FactoryRegisterFirst && code <= LastWritableRegister) {
        config_.factoryRegisters[code - FactoryRegisterFirst] = argument;
        if (!config_.stateFile.empty() && !saveFactoryState(config_.stateFile, config_.factoryRegisters)) {
            log(seconds, "WARN", "state file not written");
        }
        return echo(frame);
    }
    return {};
}

std::string Instrument::echo(const Frame& frame) {
    if (happens(config_.faults.noEcho)) return {};
    return twoBytes(happens(config_.faults.wrongEcho) ? frame[2] ^ 1 : frame[2], frame[3]);
}

std::string Instrument::sampleBlock(int offset) {
    const bool lightOn = outputState_ & OutputLight;
    std::string block;
    block.reserve(2 * 3 * BlockTriplets);
    for (int j = 0; j < BlockTriplets; ++j) {
        for (int bank = 0; bank < 3; ++bank) {
            int value = beams_.nextSample(offset + j + bank * BankChannels, lightOn);
            block += twoBytes(value >> 8, value & 0xFF);
        }
    }
    if (happens(config_.faults.faultyBlock)) {
        std::size_t value = std::uniform_int_distribution<std::size_t>(0, 3 * BlockTriplets - 1)(faultRandom_);
        block[2 * value] = static_cast<char>(block[2 * value] | 0x10);
    }
    if (happens(config_.faults.shortBlock)) block.pop_back();
    return block;
}

bool Instrument::happens(double probability) {
    return probability > 0 && std::uniform_real_distribution<double>(0.0, 1.0)(faultRandom_) < probability;
}

void Instrument::log(double seconds, const char* direction, std::string_view bytes) {
    if (!log_) return;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%.3f %s ", seconds, direction);
    const bool text = direction[0] == 'W' || direction[0] == 'N';  // WARN and NOTE carry words, not bytes
    log_(stamp + (text ? std::string(bytes) : hex(bytes)));
}

std::vector<Frame> Instrument::recentFrames() const {
    std::lock_guard lock(mutex_);
    return {history_.begin(), history_.end()};
}

int Instrument::outputState() const {
    std::lock_guard lock(mutex_);
    return outputState_;
}

int Instrument::channelSetting(int channel) const {
    std::lock_guard lock(mutex_);
    return channel >= 0 && channel < BeamCount ? beams_.setting(channel) : -1;
}

FactoryBytes Instrument::factoryRegisters() const {
    std::lock_guard lock(mutex_);
    return config_.factoryRegisters;
}

double Instrument::plateDegrees() const {
    std::lock_guard lock(mutex_);
    return plate_.degrees();
}

void Instrument::setFaults(const Faults& faults) {
    std::lock_guard lock(mutex_);
    config_.faults = faults;
}

void Instrument::setProbeReply(std::string reply) {
    std::lock_guard lock(mutex_);
    config_.probeReply = std::move(reply);
}

void Instrument::setReplyFilter(std::function<bool(const Frame&)> filter, Refusal refusal) {
    std::lock_guard lock(mutex_);
    replyFilter_ = std::move(filter);
    refusal_ = refusal;
}

void Instrument::powerOn(double seconds) {
    std::lock_guard lock(mutex_);
    resetToPowerOn(seconds, "power on");
}

void Instrument::resetToPowerOn(double seconds, const char* note) {
    plate_.advance(seconds, outputState_);
    outputState_ = 0;
    for (int channel = 0; channel < BeamCount; ++channel) beams_.setSetting(channel, PowerOnSetting);
    pending_.clear();
    log(seconds, "NOTE", note);
}

void Instrument::blip(double at, double lasting) {
    std::lock_guard lock(mutex_);
    config_.blipAt = at;
    config_.blipSeconds = lasting;
    blipBegun_ = blipOver_ = false;
}

// Bytes that arrive while the mains is off are lost with the instrument's
// whole state; the first ones after it meet a freshly powered instrument.
bool Instrument::powerFailed(double seconds) {
    if (config_.blipSeconds <= 0 || blipOver_ || seconds < config_.blipAt) return false;
    if (!blipBegun_) {
        blipBegun_ = true;
        logStateLocked(seconds, "before the blip");
        resetToPowerOn(seconds, "power lost");
    }
    if (seconds < config_.blipAt + config_.blipSeconds) return true;
    blipOver_ = true;
    log(seconds, "NOTE", "power on");
    return false;
}

void Instrument::logState(double seconds, const char* when) {
    std::lock_guard lock(mutex_);
    logStateLocked(seconds, when);
}

void Instrument::logStateLocked(double seconds, const char* when) {
    std::string settings;
    for (int channel = 0; channel < BeamCount; ++channel) settings += static_cast<char>(beams_.setting(channel));
    char outputs[8];
    std::snprintf(outputs, sizeof outputs, "%02X", outputState_);
    log(seconds, "NOTE", std::string("state ") + when + ": outputs " + outputs + " beams " + hex(settings));
}

void Instrument::setLog(std::function<void(const std::string&)> log) {
    std::lock_guard lock(mutex_);
    log_ = std::move(log);
}

}  // namespace zorvex::sim
