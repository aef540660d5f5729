#include "cli/ActivityCommand.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>

#include "acquisition/DataFiles.h"
#include "analysis/Analysis_Module.h"
#include "common/Files.h"

namespace zorvex {
namespace {

constexpr int DefaultRtBuffer = 500;  // the dump size the offline readers assume
constexpr int MinRtBuffer = 200;
constexpr int MaxRtBuffer = 10000;
// A row is at most 10001 numbers; anything much longer is not a sample list.
constexpr std::size_t MaxSampleFileBytes = 1 << 20;

// What the command line asked for: a samples file, or a stored frame.
struct Options {
    int method = 0;
    double snr = 0;
    std::optional<std::string> samplesFile;
    std::optional<std::filesystem::path> folder;
    int record = 0;
    int channel = 0;
    int rtBuffer = DefaultRtBuffer;
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
    const std::filesystem::path& folder = *options.folder;
    if (!folderExists(folder)) {
        err << "activity: no acquisition folder " << folder.string() << '\n';
        return std::nullopt;
    }
    auto frame = readRealTimeDump(folder, options.record, options.rtBuffer);
    if (!frame) {
        err << "activity: record " << options.record << " has no real-time data of RT_Buffer " << options.rtBuffer
            << " in " << folder.string() << " (not wholly on disk, or not written during the run: see events.log)\n";
        return std::nullopt;
    }
    return ChannelFrame{std::move(*frame), options.channel, options.rtBuffer + 1};
}

template <typename Values>
void printLine(std::ostream& out, const Values& values, int count) {
    for (int i = 0; i < count; ++i) out << (i > 0 ? " " : "") << values[i];
    out << '\n';
}

class ActivityCommand : public Command {
public:
    ActivityCommand()
        : Command({"activity", "count one channel frame and show its traces",
                   "Runs the activity calculation on one channel frame and prints three lines: the count, the "
                   "samples as clipped by the calculation, and the 500 entries of the detection trace. The frame is "
                   "a text file of 500 (or RT_Buffer + 1) whole numbers given with --samples, or channel C of record "
                   "K in the real-time files of ACQ_FOLDER.",
                   "Exit status: 0 counted, 1 the frame could not be read or counted, 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        app.add_option("--method", options_.method, "0 threshold and binary, 1 threshold average, 2 motility index")
            ->required()
            ->type_name("0|1|2")
            ->check(wholeNumberIn(DspThresholdBinary, DspMotilityIndex));
        app.add_option("--snr", options_.snr, "SNR factor")
            ->required()
            ->type_name("F")
            ->check(numberIn(-HUGE_VAL, HUGE_VAL));
        CLI::Option* samples =
            app.add_option("--samples", options_.samplesFile, "the frame as whitespace-separated numbers")
                ->type_name("FILE");
        CLI::Option* folder = app.add_option("ACQ_FOLDER", options_.folder, "an acquisition folder")->type_name("");
        CLI::Option* record = app.add_option("--record", options_.record, "record (bin) number in ACQ_FOLDER, from 0")
                                  ->type_name("K")
                                  ->check(wholeNumberIn(0, std::numeric_limits<int>::max()));
        CLI::Option* channel = app.add_option("--channel", options_.channel, "channel 0 to 383")
                                   ->type_name("C")
                                   ->check(wholeNumberIn(0, ChannelCount - 1));
        CLI::Option* rtBuffer =
            app.add_option("--rt-buffer", options_.rtBuffer, "RT_Buffer of the recording, 200 to 10000 (default 500)")
                ->type_name("N")
                ->check(wholeNumberIn(MinRtBuffer, MaxRtBuffer));
        samples->excludes(folder)->excludes(record)->excludes(channel)->excludes(rtBuffer);
        folder->needs(record)->needs(channel);
        record->needs(folder)->needs(channel);
        channel->needs(folder)->needs(record);
        rtBuffer->needs(folder);
        app.callback([samples, folder] {
            if (samples->count() == 0 && folder->count() == 0) throw CLI::RequiredError("--samples FILE or ACQ_FOLDER");
        });
    }

    int run(std::ostream& out, std::ostream& err) override {
        auto input = options_.samplesFile ? readSampleFile(*options_.samplesFile, err) : readStoredFrame(options_, err);
        if (!input) return ExitFailed;
        Analysis_Module module;
        const auto count = module.CalculateActivity(input->frame, input->channel, options_.snr, options_.method);
        if (!count) {
            err << "activity: a value of the calculation leaves 16 bits; the frame counts 0\n";
            return ExitFailed;
        }
        out << *count << '\n';
        printLine(out, input->frame.row(input->channel), input->shown);
        printLine(out, module.DetectionTrace(), Analysis_Module::AnalysedSamples);
        return ExitDone;
    }

private:
    Options options_;
};

}  // namespace

std::unique_ptr<Command> makeActivityCommand() { return std::make_unique<ActivityCommand>(); }

}  // namespace zorvex
