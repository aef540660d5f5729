#include "cli/RhythmCommand.h"

#include "cli/ReportArgs.h"
#include "platform/ProgramFolder.h"
#include "reports/RhythmExport.h"

namespace zorvex {

namespace {

class RhythmCommand : public Command {
public:
    RhythmCommand()
        : Command({"rhythm", "export per-well activity for rhythm-analysis tools",
                   "Writes the activity of every well of the acquisition in ACQ_FOLDER on a regular grid of MIN "
                   "minutes as 42-column monitor files of 32 wells each (Monitor1.txt, ...), with the light of each "
                   "interval, and metadata.csv naming each well's file, column, group, plate, experiment and beams. "
                   "A line holds the crossings per well: the counts of the well's beams summed over the interval; only whole intervals are "
                   "readings, and an unfinished last one is left out. A gap of an hour or more starts new rows of "
                   "metadata.csv, so the tools load the readings on both sides of it. Prints the files written.\n\n"
                   "MIN is at most " + std::to_string(MaxRhythmIntervalMinutes) + ": " + RhythmIntervalLimitReason +
                   ".",
                   "Exit status: 0 written, 1 nothing written, 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        addAcquisitionFolder(app, request_.acquisitionFolder);
        addIntervalMinutes(app, request_.intervalMinutes, "line", MaxRhythmIntervalMinutes, RhythmIntervalLimitReason);
        app.add_option("--out", request_.outFolder,
                       "folder of the files, created when missing (default ACQ_FOLDER/rhythm)")
            ->type_name("DIR");
        app.add_option("--start", start_,
                       "time zero written as start_datetime (default lights-on): lights-on is the last lights-on at "
                       "or before the first reading, or the acquisition's start when its light was not scheduled; "
                       "acquisition is the acquisition's start")
            ->type_name("lights-on|acquisition")
            ->check(oneOf({"lights-on", "acquisition"}));
        addProgramFolder(app, programFolder_);
    }

    int run(std::ostream& out, std::ostream& err) override {
        request_.programFolder = resolveProgramFolder(programFolder_);
        request_.timeZero = start_ == "acquisition" ? TimeZero::Acquisition : TimeZero::LightsOn;
        ConsoleDialogs dialogs(err);
        auto files = exportRhythm(request_, dialogs);
        for (const auto& file : files) out << file.string() << "\n";
        return files.empty() ? ExitFailed : ExitDone;
    }

private:
    RhythmRequest request_;
    std::string start_ = "lights-on";
    std::optional<std::filesystem::path> programFolder_;
};

}  // namespace

std::unique_ptr<Command> makeRhythmCommand() { return std::make_unique<RhythmCommand>(); }

}  // namespace zorvex
