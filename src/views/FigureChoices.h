#pragma once
// The figure settings the command line and the figure dialog share: the
// names of the kinds, which setting shapes which kind, the bins they start
// from, the words typed for a bin, a window of hours or a list of groups,
// and the one request a set of choices makes.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/ReportInputs.h"
#include "views/FigureRequest.h"

namespace zorvex {

/// A typed value read: the value, or what is wrong with the text.
template <typename T>
struct TypedValue {
    std::optional<T> value;
    std::string problem;  ///< "24-12 does not end after it begins"
};

/// The kinds in the order the dialog lists them.
inline constexpr FigureKind FigureKinds[] = {FigureKind::Groups, FigureKind::Plate, FigureKind::Actogram};

/// Every kind the command line draws: the dialog's, then the sleep and rhythm figures.
inline constexpr FigureKind CommandFigureKinds[] = {FigureKind::Groups,   FigureKind::Plate,
                                                    FigureKind::Actogram, FigureKind::Sleep,
                                                    FigureKind::Periodogram, FigureKind::PeriodMap};

/// "groups", "plate", "actogram", "sleep", "periodogram", "period-map": the
/// command line's word and the file's name.
std::string_view figureKindName(FigureKind kind);

/// A setting of a figure beyond its kind, page and file.
enum class FigureSetting {
    Bin,
    Error,
    Window,
    Groups,
    PerGroup,
    TimeAxis,
    HeatValue,
    ActogramSubject,
    InactiveMinutes,
    Periodogram,
};

/// Whether `setting` shapes a figure of `kind`; the others are not asked for.
bool settingApplies(FigureSetting setting, FigureKind kind);

/// Longest bin of a figure: one a day.
inline constexpr long long MaxFigureBinMinutes = 1440;

/// The bin of `kind` when none is chosen: the report window's 60 minutes for
/// the curves and the heat map, the offline actogram's bars for the actogram.
long long defaultBinMinutes(FigureKind kind);

/// Minutes per bin as typed: a whole number 1..1440.
TypedValue<long long> readBinMinutes(std::string_view text);

/// "H1-H2": hours H1 to H2 from the start, decimals allowed ("0-24", "12.5-36").
TypedValue<HourWindow> readHourWindow(std::string_view text);

/// Group numbers separated by commas ("1,3", spaces allowed), each 0..383.
TypedValue<std::vector<int>> readGroupList(std::string_view text);

/// Everything a figure can be asked with, whatever its kind.
struct FigureChoices {
    FigureKind kind = FigureKind::Groups;
    std::optional<long long> binMinutes;  ///< the kind's default without one
    ErrorBand error = ErrorBand::StandardError;
    std::optional<HourWindow> window;     ///< the whole acquisition without one
    std::vector<int> groups;              ///< every group with wells when empty
    bool perGroup = false;                ///< one panel per group
    bool zeitgeber = true;                ///< zeitgeber time where the light ran on daily hours
    HeatValue heatValue = HeatValue::Total;
    ActogramSubject subject = ActogramSubject::AllGroups;
    std::string well;                     ///< "B3", for the well subjects
    int group = 0;                        ///< for ActogramSubject::Group
    std::optional<int> inactiveMinutes;   ///< sleep: the organism's without one
    PeriodogramOptions periodogram;       ///< periodogram and period map
    PageSize page = PageSize::Column;
};

/// The request `choices` make for the acquisition in `acquisitionFolder`,
/// written to `output`; what does not apply to the kind is left out.
FigureRequest figureRequestOf(const FigureChoices& choices, const std::filesystem::path& acquisitionFolder,
                              const std::filesystem::path& programFolder, const std::filesystem::path& output);

/// A group an acquisition can draw: its number and its name in the legend.
struct FigureGroup {
    int group = 0;
    std::string name;
    friend bool operator==(const FigureGroup&, const FigureGroup&) = default;
};

/// What the dialog offers for an acquisition: its groups with wells, in number
/// order, and its measured wells ("A1", "B1", ...), in well order.
struct FigureOffer {
    std::vector<FigureGroup> groups;
    std::vector<std::string> wells;
};

/// The offer of the acquisition's plate and groups.
FigureOffer figureOfferOf(const ReportPlate& plate);

/// A figure file of `kind` in `folder` that is not there yet: groups.pdf,
/// then groups_1.pdf, groups_2.pdf ...; `extension` with its dot.
std::filesystem::path freeFigureFile(const std::filesystem::path& folder, FigureKind kind, std::string_view extension);

}  // namespace zorvex
