#include "SimOptions.h"

#include <charconv>
#include <cmath>

#include "common/HelpText.h"

namespace zorvex::sim {

namespace {

template <class Number>
bool parseNumber(const std::string& text, Number& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    if constexpr (std::is_floating_point_v<Number>) return std::isfinite(value);
    return true;
}

bool parseSeconds(const std::string& text, double& value) { return parseNumber(text, value) && value >= 0; }

// "short=P,faulty=P,silent=P,noecho=P", any subset, each P in 0..1.
bool parseFaults(const std::string& text, Faults& faults) {
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t comma = text.find(',', at);
        std::string item = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        std::size_t equals = item.find('=');
        double probability = 0;
        if (equals == std::string::npos || !parseNumber(item.substr(equals + 1), probability) || probability < 0 ||
            probability > 1) {
            return false;
        }
        std::string name = item.substr(0, equals);
        if (name == "short") faults.shortBlock = probability;
        else if (name == "faulty") faults.faultyBlock = probability;
        else if (name == "silent") faults.silent = probability;
        else if (name == "noecho") faults.noEcho = probability;
        else return false;
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    return true;
}

}  // namespace

std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--empty-plate") {
            options.instrument.organisms = false;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "missing value after " + name;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (name == "--program-folder") options.programFolder = value;
        else if (name == "--com") ok = parseNumber(value, options.com) && options.com >= 1 && options.com <= 16;
        else if (name == "--link") options.link = value;
        else if (name == "--seconds") ok = parseSeconds(value, options.seconds);
        else if (name == "--disconnect-after") ok = parseSeconds(value, options.disconnectAfter);
        else if (name == "--seed") ok = parseNumber(value, options.instrument.seed);
        else if (name == "--state") options.instrument.stateFile = value;
        else if (name == "--log") options.logFile = value;
        else if (name == "--ambient") ok = parseNumber(value, options.instrument.ambientC);
        else if (name == "--faults") ok = parseFaults(value, options.instrument.faults);
        else if (name == "--probe") {
            int probe = 0;
            ok = parseNumber(value, probe) && probe >= 0 && probe < 255 * 256;
            options.instrument.probeReply = InstrumentConfig::probeReplyFor(probe);
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (!ok) {
            error = "invalid value for " + name + ": " + value;
            return std::nullopt;
        }
    }
    if ((options.com != 0) != !options.programFolder.empty()) {
        error = "--com and --program-folder go together";
        return std::nullopt;
    }
    return options;
}

std::string simHelp() {
    return formatHelp(
        {{"zorvex-sim [OPTION]..."},
         "A simulated instrument on a pseudo-terminal, for demonstrations and tests without hardware: it answers "
         "the program's frames with beams crossed by organisms, a plate temperature, light and factory registers. "
         "It prints the pty it serves and runs until SIGINT or SIGTERM (Ctrl-C).",
         {{"Options:",
           {{"--program-folder DIR --com N", "point COM N (1 to 16) of DIR/comports.dat at the simulator; restored "
                                             "on exit"},
            {"--link PATH", "make PATH a symbolic link to the simulator's pty"},
            {"--seconds S", "stop after S seconds (default: until a signal)"},
            {"--seed N", "seed of the beam model and the faults (default 1)"},
            {"--probe V", "presence probe value (default 50)"},
            {"--state FILE", "keep the factory registers in FILE"},
            {"--ambient C", "room temperature in degrees Celsius (default 22)"},
            {"--empty-plate", "no organisms: beams are never crossed"},
            {"--faults short=P,faulty=P,silent=P,noecho=P",
             "misbehave with probability P (0 to 1): short or faulty data blocks, no reply, no echo"},
            {"--disconnect-after S", "close the pty after S seconds"},
            {"--log FILE", "write every frame received and reply sent to FILE"},
            {"--help", "show this help and exit"},
            {"--version", "show the version and exit"}}}},
         "Example: zorvex-sim --program-folder run --com 4, then zorvex --program-folder run."});
}

}  // namespace zorvex::sim
