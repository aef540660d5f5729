#include "cli/FigureCommand.h"

#include <array>

#include "figures/FigureFile.h"
#include "figures/Figures.h"
#include "figures/OffscreenGui.h"
#include "platform/ProgramFolder.h"
#include "views/FigureChoices.h"

namespace zorvex {

namespace {

// A typed value checked by the reader the figure dialog uses too.
template <typename T>
CLI::Validator readBy(TypedValue<T> (*read)(std::string_view)) {
    return CLI::Validator([read](std::string& text) { return read(text).problem; }, "");
}

CLI::Validator figureFile() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (formatOfFile(text)) return "";
            return (text.empty() ? std::string("''") : text) + " does not end in .pdf, .svg or .png";
        },
        "");
}

// The options that shape only some kinds, by the setting they give.
struct KindOption {
    const char* name;
    FigureSetting setting;
};
constexpr std::array<KindOption, 15> KindOptions = {{{"--bin", FigureSetting::Bin},
                                                    {"--error", FigureSetting::Error},
                                                    {"--window", FigureSetting::Window},
                                                    {"--groups", FigureSetting::Groups},
                                                    {"--per-group", FigureSetting::PerGroup},
                                                    {"--time", FigureSetting::TimeAxis},
                                                    {"--value", FigureSetting::HeatValue},
                                                    {"--well", FigureSetting::ActogramSubject},
                                                    {"--group", FigureSetting::ActogramSubject},
                                                    {"--inactive-minutes", FigureSetting::InactiveMinutes},
                                                    {"--resample", FigureSetting::Periodogram},
                                                    {"--periods", FigureSetting::Periodogram},
                                                    {"--step", FigureSetting::Periodogram},
                                                    {"--method", FigureSetting::Periodogram},
                                                    {"--alpha", FigureSetting::Periodogram}}};

// "groups, plate or sleep": the kinds a setting shapes, as --kind names them.
std::string kindsOf(FigureSetting setting) {
    std::vector<std::string> kinds;
    for (FigureKind kind : CommandFigureKinds) {
        if (settingApplies(setting, kind)) kinds.emplace_back(figureKindName(kind));
    }
    std::string text;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        text += (k == 0 ? "" : k + 1 == kinds.size() ? " or " : ", ") + kinds[k];
    }
    return text;
}

class FigureCommand : public Command {
public:
    FigureCommand()
        : Command({"figure", "draw a figure of an acquisition as PDF, SVG or PNG",
                   "Draws the acquisition in ACQ_FOLDER from the same numbers as its report. groups: each group's mean "
                   "activity per bin over time with a band of its standard error (or deviation), the dark hours "
                   "shaded grey, in zeitgeber time where the light ran on daily hours. plate: the plate as it lies, "
                   "each well coloured by its activity over the window, the groups outlined, disabled wells and "
                   "wells without a beam marked. actogram: the double-plotted actogram of every group's mean on one "
                   "page, of one group (--group) or of one well (--well). sleep: each group's sleep minutes per hour over "
                   "time (mean and SE of its wells, the dark shaded) above its sleep per light phase (a point per well, a line at the "
                   "mean), as the sleep command computes it. periodogram: each group's mean periodogram (and its SE) "
                   "with the threshold, as the periodogram command computes it. period-map: the plate as it lies, "
                   "each rhythmic well coloured by its period, arrhythmic wells pale.\n\n"
                   "The type of the file comes from the extension of --out: PDF and SVG as vectors with their font "
                   "embedded, PNG at 300 dpi. A file that is there is replaced whole, never half-written. No display "
                   "is needed. Prints the file written.",
                   "Exit status: 0 written, 1 nothing written (the reason on standard error), 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        addAcquisitionFolder(app, folder_);
        app.add_option("--kind", kind_, "the figure")
            ->required()
            ->type_name("groups|plate|actogram|sleep|periodogram|period-map")
            ->check(oneOf({"groups", "plate", "actogram", "sleep", "periodogram", "period-map"}));
        app.add_option("--out", output_, "the figure file: .pdf, .svg or .png")
            ->required()
            ->type_name("FILE")
            ->check(figureFile());
        app.add_option("--bin", bin_,
                       "minutes per bin, 1 to 1440 (default 60, as the report window; 30 for an actogram); the "
                       "curves and the heat map adjust it as the report does")
            ->type_name("MIN")
            ->check(wholeNumberIn(1, MaxFigureBinMinutes));
        app.add_option("--error", error_, "groups: the band around each curve (default se)")
            ->type_name("se|sd|none")
            ->check(oneOf({"se", "sd", "none"}));
        app.add_option("--window", window_,
                       "groups, plate, sleep, periodogram, period-map: hours H1 to H2 from the start (default: all)")
            ->type_name("H1-H2")
            ->check(readBy(readHourWindow));
        app.add_option("--groups", groups_, "groups: the group numbers drawn, such as 1,3 (default: every group)")
            ->type_name("LIST")
            ->check(readBy(readGroupList));
        app.add_flag("--per-group", choices_.perGroup, "groups: one panel per group on a shared y axis");
        app.add_option("--time", time_,
                       "groups: x in zeitgeber time where the light ran on daily hours, or in hours from the start "
                       "(default zeitgeber)")
            ->type_name("zeitgeber|elapsed")
            ->check(oneOf({"zeitgeber", "elapsed"}));
        app.add_option("--value", value_, "plate: the colour of a well (default total)")
            ->type_name("total|per-hour")
            ->check(oneOf({"total", "per-hour"}));
        CLI::Option* well = app.add_option("--well", choices_.well, "actogram: of this well, such as B3")->type_name("WELL");
        app.add_option("--group", group_, "actogram: of the mean of group N")
            ->type_name("N")
            ->check(wholeNumberIn(0, ChannelCount - 1))
            ->excludes(well);
        app.add_option("--inactive-minutes", inactive_,
                       "sleep: N, inactive minutes that make a bout (default: 1 for zebrafish larvae, 5 otherwise)")
            ->type_name("N")
            ->check(wholeNumberIn(1, MinutesPerDay));
        PeriodogramOptions& periodogram = choices_.periodogram;
        app.add_option("--resample", periodogram.resampleMinutes, "periodogram, period-map: minutes per bin (default 15)")
            ->type_name("MIN")
            ->check(wholeNumberIn(1, MinutesPerDay));
        app.add_option("--periods", periods_, "periodogram, period-map: periods A to B hours (default 16-32)")
            ->type_name("A-B")
            ->check(readBy(readHourWindow));
        app.add_option("--step", periodogram.stepHours, "periodogram, period-map: hours between periods (default 0.1)")
            ->type_name("H")
            ->check(numberIn(0.001, 24.0));
        app.add_option("--method", method_, "periodogram, period-map: the periodogram (default chi-square)")
            ->type_name("chi-square|lomb-scargle")
            ->check(oneOf({"chi-square", "lomb-scargle"}));
        app.add_option("--alpha", periodogram.alpha, "periodogram, period-map: significance level (default 0.01)")
            ->type_name("A")
            ->check(numberIn(1e-12, 0.999999));
        app.add_option("--size", size_, "column: 85 mm wide for a page column; slide: 254 x 143 mm (default column)")
            ->type_name("column|slide")
            ->check(oneOf({"column", "slide"}));
        addProgramFolder(app, programFolder_);
        app.callback([&app, this] {
            const FigureKind kind = kindOf(kind_);
            for (const KindOption& option : KindOptions) {
                if (app.count(option.name) > 0 && !settingApplies(option.setting, kind)) {
                    throw CLI::ValidationError(option.name, "applies to --kind " + kindsOf(option.setting) + " only");
                }
            }
        });
    }

    int run(std::ostream& out, std::ostream& err) override {
        choices_.kind = kindOf(kind_);
        choices_.binMinutes = bin_;
        choices_.error = error_ == "sd" ? ErrorBand::StandardDeviation
                         : error_ == "none" ? ErrorBand::None
                                            : ErrorBand::StandardError;
        if (window_) choices_.window = readHourWindow(*window_).value;
        if (groups_) choices_.groups = readGroupList(*groups_).value.value_or(std::vector<int>{});
        choices_.zeitgeber = time_ != "elapsed";
        choices_.heatValue = value_ == "per-hour" ? HeatValue::MeanPerHour : HeatValue::Total;
        choices_.subject = !choices_.well.empty() ? ActogramSubject::Well
                           : group_               ? ActogramSubject::Group
                                                  : ActogramSubject::AllGroups;
        choices_.group = group_.value_or(0);
        choices_.inactiveMinutes = inactive_;
        if (periods_) {
            const HourWindow range = *readHourWindow(*periods_).value;
            choices_.periodogram.fromHours = range.fromHours;
            choices_.periodogram.toHours = range.toHours;
        }
        choices_.periodogram.method = method_ == "lomb-scargle" ? PeriodMethod::LombScargle : PeriodMethod::ChiSquare;
        choices_.page = size_ == "slide" ? PageSize::Slide : PageSize::Column;
        const FigureRequest request =
            figureRequestOf(choices_, folder_, resolveProgramFolder(programFolder_), output_);

        OffscreenGui gui;
        const FigureOutcome outcome = writeFigure(request);
        if (!outcome.message.empty()) err << outcome.message << "\n";
        if (!outcome.written) return ExitFailed;
        out << request.output.string() << "\n";
        return ExitDone;
    }

private:
    static FigureKind kindOf(const std::string& name) {
        for (FigureKind kind : CommandFigureKinds) {
            if (figureKindName(kind) == name) return kind;
        }
        return FigureKind::Groups;
    }

    std::filesystem::path folder_;
    std::string kind_;
    std::filesystem::path output_;
    std::optional<long long> bin_;
    std::string error_ = "se";
    std::optional<std::string> window_;
    std::optional<std::string> groups_;
    std::optional<int> group_;
    std::string time_ = "zeitgeber";
    std::string value_ = "total";
    std::string size_ = "column";
    std::optional<int> inactive_;
    std::optional<std::string> periods_;
    std::string method_ = "chi-square";
    std::optional<std::filesystem::path> programFolder_;
    FigureChoices choices_;
};

}  // namespace

std::unique_ptr<Command> makeFigureCommand() { return std::make_unique<FigureCommand>(); }

}  // namespace zorvex
