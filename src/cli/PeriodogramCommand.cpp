#include "cli/PeriodogramCommand.h"

#include "behaviour/PeriodFiles.h"
#include "cli/BehaviourArgs.h"
#include "cli/ReportArgs.h"
#include "platform/ProgramFolder.h"
#include "views/FigureChoices.h"

namespace zorvex {

namespace {

class PeriodogramCommand : public Command {
public:
    PeriodogramCommand()
        : Command({"periodogram", "find the circadian period of every well and group",
                   "Reads the acquisition in ACQ_FOLDER on the 1-minute grid of the rhythm and table exports, "
                   "resamples each well's activity over the window into bins of MIN minutes (the mean count per "
                   "minute of each bin, bins counted from the window's start) and computes its periodogram at the "
                   "periods A to B hours in steps of H.\n\n"
                   "chi-square: the chi-square periodogram (Sokolove and Bushell) as the R rhythm tools compute it: "
                   "every reading is used, a partial last cycle included; the threshold is the chi-square quantile "
                   "with P degrees of freedom (P = period / MIN bins) at alpha corrected for the number of periods "
                   "tested, 1 - (1 - alpha)^(1/n). lomb-scargle: the Lomb-Scargle periodogram normalised by the "
                   "variance, with its false-alarm probability over the periods tested. A well's period is the "
                   "highest power above the threshold; a well without one is arrhythmic.\n\n"
                   "Writes periodogram.csv (every well at every period), periods.csv (each well's peak) and "
                   "periods_groups.csv (each group's rhythmic wells and the mean and SE of their periods). Prints "
                   "the files written.",
                   "Exit status: 0 written, 1 nothing written (the reason on standard error), 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        PeriodogramOptions& options = request_.options;
        addAcquisitionFolder(app, request_.acquisitionFolder);
        addBehaviourWindow(app, window_);
        app.add_option("--resample", options.resampleMinutes, "minutes per bin, 1 to 1440 (default 15)")
            ->type_name("MIN")
            ->check(wholeNumberIn(1, MinutesPerDay));
        app.add_option("--periods", periods_, "the periods tested, A to B hours (default 16-32)")
            ->type_name("A-B")
            ->check(CLI::Validator([](std::string& text) { return readHourWindow(text).problem; }, ""));
        app.add_option("--step", options.stepHours, "hours between the periods tested (default 0.1)")
            ->type_name("H")
            ->check(numberIn(0.001, 24.0));
        app.add_option("--method", method_, "the periodogram (default chi-square)")
            ->type_name("chi-square|lomb-scargle")
            ->check(oneOf({"chi-square", "lomb-scargle"}));
        app.add_option("--alpha", options.alpha, "significance level, above 0 and below 1 (default 0.01)")
            ->type_name("A")
            ->check(numberIn(1e-12, 0.999999));
        addBehaviourOut(app, request_.outFolder);
        addProgramFolder(app, programFolder_);
    }

    int run(std::ostream& out, std::ostream& err) override {
        request_.programFolder = resolveProgramFolder(programFolder_);
        request_.window = behaviourWindowOf(window_);
        if (periods_) {
            const auto range = readHourWindow(*periods_).value;
            request_.options.fromHours = range->fromHours;
            request_.options.toHours = range->toHours;
        }
        request_.options.method = method_ == "lomb-scargle" ? PeriodMethod::LombScargle : PeriodMethod::ChiSquare;
        ConsoleDialogs dialogs(err);
        const PeriodOutcome outcome = runPeriods(request_, dialogs);
        for (const auto& file : outcome.files) out << file.string() << "\n";
        return outcome.files.size() == 3 ? ExitDone : ExitFailed;
    }

private:
    PeriodRequest request_;
    std::optional<std::string> window_;
    std::optional<std::string> periods_;
    std::string method_ = "chi-square";
    std::optional<std::filesystem::path> programFolder_;
};

}  // namespace

std::unique_ptr<Command> makePeriodogramCommand() { return std::make_unique<PeriodogramCommand>(); }

}  // namespace zorvex
