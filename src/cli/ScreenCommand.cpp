#include "cli/ScreenCommand.h"

#include "figures/OffscreenGui.h"
#include "figures/ScreeningFigures.h"
#include "platform/ProgramFolder.h"
#include "screening/ScreenFolder.h"

namespace zorvex {

namespace {

constexpr long long LongestBinMinutes = 1440;

class ScreenCommand : public Command {
public:
    ScreenCommand()
        : Command({"screen", "screen a plate: percent of control, dose-response curves and plate quality",
                   "Reads the group annotations of the acquisition in ACQ_FOLDER (its groupinfo.csv: compound, "
                   "concentration, unit and role of each group) and each well's activity over the window H1-H2, in "
                   "hours from the start (H1 included, H2 excluded). Writes results.csv (a four-parameter "
                   "log-logistic fit per compound: IC50 with its 95 % interval, Hill slope, top, bottom, R2, "
                   "status), percent_of_control.csv (each group and bin as percent of the negative controls), "
                   "plate_quality.csv (Z', signal-to-background, outliers), wells.csv, and the figures "
                   "dose_response, percent_of_control and plate_map. Prints the files written; what the operator "
                   "should read (a curve that did not converge, missing controls, outliers) goes to the error "
                   "stream.",
                   "Exit status: 0 written, 1 nothing screened or written, 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        addAcquisitionFolder(app, request_.acquisitionFolder);
        app.add_option_function<std::string>(
               "--window",
               [this](const std::string& text) {
                   const auto window = parseHourWindow(text);
                   request_.windowStartHours = window->first;
                   request_.windowEndHours = window->second;
               },
               "hours from the start, H1 included, H2 excluded (for example 20-24)")
            ->type_name("H1-H2")
            ->required()
            ->check(CLI::Validator(
                [](std::string& text) {
                    return parseHourWindow(text) ? std::string()
                                                 : text + " is not a window H1-H2 of hours with 0 <= H1 < H2";
                },
                ""));
        app.add_option_function<std::string>(
               "--normalise",
               [this](const std::string& text) {
                   request_.normalisation = text == "none" ? Normalisation::None : Normalisation::Control;
               },
               "fit each well's activity as percent of the negative-control mean (control, the default) or as "
               "counted (none)")
            ->type_name("control|none")
            ->check(oneOf({"control", "none"}));
        app.add_option_function<std::string>(
               "--fit",
               [this](const std::string& text) {
                   request_.ic50Kind = text == "absolute" ? Ic50Kind::Absolute : Ic50Kind::Relative;
               },
               "the IC50 to report: relative, halfway between the fitted plateaus (the default), or absolute, the "
               "concentration of 50 % of control (needs --normalise control)")
            ->type_name("relative|absolute")
            ->check(oneOf({"relative", "absolute"}));
        app.add_option("--bin", request_.binMinutes,
                       "minutes per bin of percent of control, 1 to " + std::to_string(LongestBinMinutes) +
                           ", adjusted as the report adjusts it (default 60)")
            ->type_name("MIN")
            ->check(wholeNumberIn(1, LongestBinMinutes));
        app.add_option_function<std::string>(
               "--figures", [this](const std::string& text) { format_ = *formatOfFile("figure." + text); },
               "format of the figures: pdf (the default), svg or png")
            ->type_name("pdf|svg|png")
            ->check(oneOf({"pdf", "svg", "png"}));
        app.add_option("--out", request_.outFolder, "folder of the files, created when missing (default "
                                                    "ACQ_FOLDER/screening)")
            ->type_name("DIR");
        addProgramFolder(app, programFolder_);
    }

    int run(std::ostream& out, std::ostream& err) override {
        request_.programFolder = resolveProgramFolder(programFolder_);
        const ScreeningOutcome outcome = screenAcquisition(request_);
        for (const std::string& message : outcome.messages) err << message << "\n";
        for (const auto& file : outcome.files) out << file.string() << "\n";
        if (outcome.files.empty()) return ExitFailed;
        OffscreenGui gui;
        const ScreeningFiguresOutcome figures =
            writeScreeningFigures(figureRequestOf(request_, format_), *outcome.plate, *outcome.results);
        for (const std::string& message : figures.messages) err << message << "\n";
        for (const auto& file : figures.files) out << file.string() << "\n";
        return ExitDone;
    }

private:
    ScreeningRequest request_;
    std::optional<std::filesystem::path> programFolder_;
    FileFormat format_ = FileFormat::Pdf;
};

}  // namespace

std::unique_ptr<Command> makeScreenCommand() { return std::make_unique<ScreenCommand>(); }

}  // namespace zorvex
