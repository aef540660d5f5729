#include "cli/ExportCommand.h"

#include "cli/ReportArgs.h"
#include "platform/ProgramFolder.h"
#include "reports/ActivityTable.h"

namespace zorvex {

namespace {

class ExportCommand : public Command {
public:
    ExportCommand()
        : Command({"export", "write the activity of every well as one table for R, pandas or a spreadsheet",
                   "Writes the activity of every well of the acquisition in ACQ_FOLDER on a regular grid of MIN "
                   "minutes as one CSV table (UTF-8, comma-separated, a header line, a period as the decimal point) "
                   "with one row per well and interval: datetime, elapsed_min, well, row, column, beams, group, "
                   "group_name, activity (crossings per well: the counts of the well's beams summed over the interval), light, "
                   "temperature_c and status (1 a whole interval, 0 a gap). The counts are those of the rhythm "
                   "files of the same interval. Prints the file written.",
                   "Exit status: 0 written, 1 nothing written, 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        addAcquisitionFolder(app, request_.acquisitionFolder);
        addIntervalMinutes(app, request_.intervalMinutes, "row", MaxTableIntervalMinutes);
        app.add_option("--out", request_.outFile,
                       "the table, its folder created when missing (default ACQ_FOLDER/activity_MINmin.csv)")
            ->type_name("FILE");
        addProgramFolder(app, programFolder_);
    }

    int run(std::ostream& out, std::ostream& err) override {
        request_.programFolder = resolveProgramFolder(programFolder_);
        ConsoleDialogs dialogs(err);
        auto file = exportActivityTable(request_, dialogs);
        if (!file) return ExitFailed;
        out << file->string() << "\n";
        return ExitDone;
    }

private:
    ActivityTableRequest request_;
    std::optional<std::filesystem::path> programFolder_;
};

}  // namespace

std::unique_ptr<Command> makeExportCommand() { return std::make_unique<ExportCommand>(); }

}  // namespace zorvex
