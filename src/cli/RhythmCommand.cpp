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
                   "interval, and metadata.csv naming each well's file, column, group, plate and experiment. Prints "
                   "the files written.",
                   "Exit status: 0 written, 1 nothing written, 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        addAcquisitionFolder(app, request_.acquisitionFolder);
        app.add_option("--interval", request_.intervalMinutes,
                       "minutes per line, 1 to " + std::to_string(MaxRhythmIntervalMinutes) + " (default 1)")
            ->type_name("MIN")
            ->check(wholeNumberIn(1, MaxRhythmIntervalMinutes));
        app.add_option("--out", request_.outFolder,
                       "folder of the files, created when missing (default ACQ_FOLDER/rhythm)")
            ->type_name("DIR");
        addProgramFolder(app, programFolder_);
    }

    int run(std::ostream& out, std::ostream& err) override {
        request_.programFolder = resolveProgramFolder(programFolder_);
        ConsoleDialogs dialogs(err);
        auto files = exportRhythm(request_, dialogs);
        for (const auto& file : files) out << file.string() << "\n";
        return files.empty() ? ExitFailed : ExitDone;
    }

private:
    RhythmRequest request_;
    std::optional<std::filesystem::path> programFolder_;
};

}  // namespace

std::unique_ptr<Command> makeRhythmCommand() { return std::make_unique<RhythmCommand>(); }

}  // namespace zorvex
