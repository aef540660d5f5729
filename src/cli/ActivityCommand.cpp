#include "cli/ActivityCommand.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string_view>

#include "acquisition/DataFiles.h"
#include "analysis/Analysis_Module.h"
#include "common/Files.h"

namespace zorvex {
namespace {

constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;
constexpr int DefaultRtBuffer = 500;  // the dump size the offline readers assume
constexpr int MinRtBuffer = 200;
constexpr int MaxRtBuffer = 10000;
// A row is at most 10001 numbers; anything much longer is not a sample list.
constexpr std::size_t MaxSampleFileBytes = 1 << 20;

struct Options {
    std::optional<int> method;
    std::optional<double> snr;
    std::optional<std::string> samplesFile;
    std::optional<std::string> folder;
    std::optional<int> record;
    std::optional<int> channel;
    std::optional<int> rtBuffer;
};

/// The row to analyse and how many of its samples to show.
struct ChannelFrame {
    SampleFrame frame;
    int channel = 0;
    int shown = 0;
};

// The whole text as one number, or nothing.
template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int reportProblem(std::ostream& err, const std::string& problem) {
    err << "zorvex-cli activity: " << problem << '\n';
    return usageError(activityHelp(), err);
}

// Reads the options; on a problem writes it with the usage and returns nothing.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::ostream& err) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word.rfind("--", 0) != 0) {
            if (options.folder) {
                reportProblem(err, "more than one acquisition folder given");
                return std::nullopt;
            }
            options.folder = word;
            continue;
        }
        if (i + 1 == args.size()) {
            reportProblem(err, word + " needs a value");
            return std::nullopt;
        }
        const std::string& value = args[++i];
        bool understood = true;
        if (word == "--method") {
            options.method = parseNumber<int>(value);
            understood = options.method && *options.method >= DspThresholdBinary && *options.method <= DspMotilityIndex;
        } else if (word == "--snr") {
            options.snr = parseNumber<double>(value);
            understood = options.snr && std::isfinite(*options.snr);
        } else if (word == "--samples") {
            options.samplesFile = value;
        } else if (word == "--record") {
            options.record = parseNumber<int>(value);
            understood = options.record && *options.record >= 0;
        } else if (word == "--channel") {
            options.channel = parseNumber<int>(value);
            understood = options.channel && *options.channel >= 0 && *options.channel < ChannelCount;
        } else if (word == "--rt-buffer") {
            options.rtBuffer = parseNumber<int>(value);
            understood = options.rtBuffer && *options.rtBuffer >= MinRtBuffer && *options.rtBuffer <= MaxRtBuffer;
        } else {
            reportProblem(err, "unknown option " + word);
            return std::nullopt;
        }
        if (!understood) {
            reportProblem(err, "invalid value for " + word + ": " + value);
            return std::nullopt;
        }
    }
    if (!options.method || !options.snr) {
        reportProblem(err, "--method and --snr are required");
        return std::nullopt;
    }
    const bool stored = options.folder || options.record || options.channel || options.rtBuffer;
    if (options.samplesFile.has_value() == stored) {
        reportProblem(err, "give either --samples FILE or ACQ_FOLDER --record K --channel C");
        return std::nullopt;
    }
    if (stored && (!options.folder || !options.record || !options.channel)) {
        reportProblem(err, "a stored frame needs ACQ_FOLDER, --record and --channel");
        return std::nullopt;
    }
    return options;
}

// 500 samples, or a whole row of RT_Buffer + 1 as the real-time files hold it.
std::optional<ChannelFrame> readSampleFile(const std::string& path, std::ostream& err) {
    const auto bytes = readFile(path, MaxSampleFileBytes);
    if (!bytes) {
        err << "activity: cannot read " << path << " (missing, unreadable or over 1 MiB)\n";
        return std::nullopt;
    }
    std::vector<std::int16_t> samples;
    std::size_t at = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
    while (at < bytes->size()) {
        if (isBlank((*bytes)[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < bytes->size() && !isBlank((*bytes)[end])) ++end;
        const std::string_view word(bytes->data() + at, end - at);
        const auto sample = parseNumber<std::int16_t>(word);
        if (!sample) {
            err << "activity: " << path << ": sample " << samples.size() + 1
                << " is not a whole number from -32768 to 32767: " << word << '\n';
            return std::nullopt;
        }
        samples.push_back(*sample);
        at = end;
    }
    const int count = static_cast<int>(samples.size());
    const int rtBuffer = count == Analysis_Module::AnalysedSamples ? count : count - 1;
    if (count != Analysis_Module::AnalysedSamples && (rtBuffer < MinRtBuffer || rtBuffer > MaxRtBuffer)) {
        err << "activity: " << path << " holds " << count << " samples; expected 500, or RT_Buffer + 1 ("
            << MinRtBuffer + 1 << " to " << MaxRtBuffer + 1 << ")\n";
        return std::nullopt;
    }
    ChannelFrame result{SampleFrame(rtBuffer), 0, count};
    for (int i = 0; i < count; ++i) result.frame.at(0, i) = samples[i];
    return result;
}

std::optional<ChannelFrame> readStoredFrame(const Options& options, std::ostream& err) {
    const std::filesystem::path folder = *options.folder;
    if (!folderExists(folder)) {
        err << "activity: no acquisition folder " << folder.string() << '\n';
        return std::nullopt;
    }
    const int rtBuffer = options.rtBuffer.value_or(DefaultRtBuffer);
    auto frame = readRealTimeDump(folder, *options.record, rtBuffer);
    if (!frame) {
        err << "activity: record " << *options.record << " has no whole real-time dump of RT_Buffer " << rtBuffer
            << " in " << folder.string() << '\n';
        return std::nullopt;
    }
    return ChannelFrame{std::move(*frame), *options.channel, rtBuffer + 1};
}

template <typename Values>
void printLine(std::ostream& out, const Values& values, int count) {
    for (int i = 0; i < count; ++i) out << (i > 0 ? " " : "") << values[i];
    out << '\n';
}

}  // namespace

const CommandHelp& activityHelp() {
    static const CommandHelp help{
        "activity",
        "count one channel frame and show its traces",
        {{"zorvex-cli activity --method 0|1|2 --snr F --samples FILE",
          "zorvex-cli activity --method 0|1|2 --snr F ACQ_FOLDER --record K --channel C [--rt-buffer N]"},
         "Runs the activity calculation on one channel frame and prints three lines: the count, the samples as "
         "clipped by the calculation, and the 500 entries of the detection trace. The frame is a text file of "
         "500 (or RT_Buffer + 1) whole numbers, or channel C of record K in an acquisition's real-time files.",
         {{"Options:",
           {{"--method 0|1|2", "0 threshold and binary, 1 threshold average, 2 motility index"},
            {"--snr F", "SNR factor"},
            {"--samples FILE", "the frame as whitespace-separated numbers"},
            {"--record K", "record (bin) number in ACQ_FOLDER, from 0"},
            {"--channel C", "channel 0 to 383"},
            {"--rt-buffer N", "RT_Buffer of the recording, 200 to 10000 (default 500)"}}}},
         "Exit status: 0 counted, 1 the frame could not be read or counted, 2 bad usage."}};
    return help;
}

int runActivityCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto options = parseOptions(args, err);
    if (!options) return ExitUsage;
    auto input = options->samplesFile ? readSampleFile(*options->samplesFile, err) : readStoredFrame(*options, err);
    if (!input) return ExitFailed;

    Analysis_Module module;
    const auto count = module.CalculateActivity(input->frame, input->channel, *options->snr, *options->method);
    if (!count) {
        err << "activity: a value of the calculation leaves 16 bits; the frame counts 0\n";
        return ExitFailed;
    }
    out << *count << '\n';
    printLine(out, input->frame.row(input->channel), input->shown);
    printLine(out, module.DetectionTrace(), Analysis_Module::AnalysedSamples);
    return ExitDone;
}

}  // namespace zorvex
