#include "SimOptions.h"

#include <charconv>
#include <cmath>

#include "common/CommandLine.h"

namespace zorvex::sim {

namespace {

// "short=P,faulty=P,silent=P,noecho=P", any subset, each P in 0..1.
bool parseFaults(const std::string& text, Faults& faults) {
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t comma = text.find(',', at);
        std::string item = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        std::size_t equals = item.find('=');
        double probability = 0;
        const char* value = item.data() + (equals == std::string::npos ? item.size() : equals + 1);
        const auto [end, error] = std::from_chars(value, item.data() + item.size(), probability);
        if (equals == std::string::npos || error != std::errc() || end != item.data() + item.size() ||
            !(probability >= 0 && probability <= 1)) {
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

// "AT:LEN", two non-negative numbers of seconds, LEN above 0.
bool parseBlip(const std::string& text, InstrumentConfig& instrument) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    double at = 0, lasting = 0;
    const char* first = text.data();
    const char* second = first + colon + 1;
    const char* end = first + text.size();
    const auto [atEnd, atError] = std::from_chars(first, second - 1, at);
    const auto [lastingEnd, lastingError] = std::from_chars(second, end, lasting);
    if (atError != std::errc() || atEnd != second - 1 || lastingError != std::errc() || lastingEnd != end ||
        !(at >= 0 && std::isfinite(at)) || !(lasting > 0 && std::isfinite(lasting))) {
        return false;
    }
    instrument.blipAt = at;
    instrument.blipSeconds = lasting;
    return true;
}

constexpr int HighestProbe = 255 * 256 - 1;  // the reply is two bytes, the first below 255

void declare(CLI::App& app, SimOptions& options) {
    const CLI::Validator seconds = numberIn(0, HUGE_VAL);
    CLI::Option* folder =
        app.add_option("--program-folder", options.programFolder, "the program folder whose COM N is pointed at the "
                                                                  "simulator; restored on exit")
            ->type_name("DIR");
    CLI::Option* com = app.add_option("--com", options.com, "COM number of the simulator in DIR/comports.dat, 1 to 16")
                           ->type_name("N")
                           ->check(wholeNumberIn(1, 16));
    folder->needs(com);
    com->needs(folder);
    app.add_option("--link", options.link, "make PATH a symbolic link to the simulator's pty")->type_name("PATH");
    app.add_option("--seconds", options.seconds, "stop after S seconds (default: until a signal)")
        ->type_name("S")
        ->check(seconds);
    app.add_option("--seed", options.instrument.seed, "seed of the beam model and the faults (default 1)")
        ->type_name("N")
        ->check(wholeNumberIn(0, std::numeric_limits<long long>::max()));
    app.add_option_function<int>(
           "--probe",
           [&options](const int& probe) { options.instrument.probeReply = InstrumentConfig::probeReplyFor(probe); },
           "presence probe value, 0 to " + std::to_string(HighestProbe) + " (default 50)")
        ->type_name("V")
        ->check(wholeNumberIn(0, HighestProbe));
    app.add_option("--state", options.instrument.stateFile, "keep the factory registers in FILE")->type_name("FILE");
    app.add_option("--ambient", options.instrument.ambientC, "room temperature in degrees Celsius (default 22)")
        ->type_name("C")
        ->check(numberIn(-HUGE_VAL, HUGE_VAL));
    CLI::Option* empty = app.add_flag_callback(
        "--empty-plate", [&options] { options.instrument.organisms = false; }, "no organisms: beams are never crossed");
    app.add_flag("--dose-plate", options.instrument.dosePlate,
                 "a dose series: the beam columns in pairs as the 12 columns of a 96-well plate, column 1 the "
                 "vehicle, 2 to 11 a compound at 0.00508 to 100 uM in three-fold steps whose activity falls as "
                 "1 / (1 + c / 1 uM), 12 a paralysing control at 2 % activity")
        ->excludes(empty);
    app.add_option_function<std::string>(
           "--faults", [&options](const std::string& text) { parseFaults(text, options.instrument.faults); },
           "misbehave with probability P (0 to 1): short or faulty data blocks, no reply, no echo")
        ->type_name("short=P,faulty=P,silent=P,noecho=P")
        ->check(CLI::Validator(
            [](std::string& text) {
                Faults faults;
                if (parseFaults(text, faults)) return std::string();
                return text + " is not a list of short=P,faulty=P,silent=P,noecho=P, P in 0..1";
            },
            ""));
    app.add_option("--disconnect-after", options.disconnectAfter,
                   "close the pty after S seconds (SIGUSR1 closes it at once); the program reaches it by a link "
                   "that goes with it (--link, or DIR/zorvex-sim-COMN, which COM N then names)")
        ->type_name("S")
        ->check(seconds);
    app.add_option("--reconnect-after", options.reconnectAfter,
                   "serve again S seconds after the disconnection on a new pty, as after a power cycle, behind the "
                   "link again")
        ->type_name("S")
        ->check(seconds);
    app.add_option_function<std::string>(
           "--blip", [&options](const std::string& text) { parseBlip(text, options.instrument); },
           "a mains blip: after AT seconds answer nothing for LEN seconds with the pty open, then come back at "
           "the power-on settings with the outputs off")
        ->type_name("AT:LEN")
        ->check(CLI::Validator(
            [](std::string& text) {
                InstrumentConfig probe;
                if (parseBlip(text, probe)) return std::string();
                return text + " is not AT:LEN, seconds, LEN above 0";
            },
            ""));
    app.add_option("--log", options.logFile, "write every frame received and reply sent to FILE")->type_name("FILE");
}

}  // namespace

std::optional<int> readSimOptions(const std::vector<std::string>& args, SimOptions& options, std::ostream& out,
                                  std::ostream& err) {
    CLI::App app{"A simulated instrument on a pseudo-terminal, for demonstrations and tests without hardware: it "
                 "answers the program's frames with beams crossed by organisms, a plate temperature, light and "
                 "factory registers. It prints the pty it serves and runs until SIGINT or SIGTERM (Ctrl-C).",
                 "zorvex-sim"};
    setUpProgram(app);
    app.footer("Example: zorvex-sim --program-folder run --com 4, then zorvex --program-folder run.\n\n"
               "Exit status: 0 done, 1 the pty, the link or comports.dat could not be made, 2 bad usage.");
    declare(app, options);
    return parseCommandLine(app, args, out, err);
}

}  // namespace zorvex::sim
