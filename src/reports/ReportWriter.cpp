#include "reports/ReportWriter.h"

#include <cmath>
#include <functional>

#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Text.h"

namespace zorvex {

namespace {

constexpr const char* Crlf = "\r\n";
constexpr int GridRows = 16;
constexpr int GridColumns = 24;
constexpr std::int16_t MaxReportNumber = 32767;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// Builds the report line by line; every section shares the bins and the spacer.
class ReportBuilder {
public:
    ReportBuilder(const ReportPlate& plate, const ReportTables& tables, const ReportOptions& options)
        : plate_(plate), tables_(tables), sp_(options.spacer), bins_(tables.reportedBins()) {
        for (std::int32_t b : bins_) labels_.push_back(std::to_string(checkedInt16(static_cast<long long>(tables.binMinutes) * b)));
    }

    void line(const std::string& text = "") {
        text_ += text;
        text_ += Crlf;
    }
    void title(const std::string& name) { line(quoted(name)); }

    // A group section: one value per group and reported bin.
    void groupSection(ReportLayout layout, const std::string& name,
                      const std::function<std::string(int group, std::int32_t bin)>& value) {
        title(name);
        if (layout == ReportLayout::Rows) {
            std::string header = "Group/Time[m]";
            for (const auto& label : labels_) (header += sp_) += label;
            line(header);
            for (int g = 0; g <= tables_.maxGroup; ++g) {
                std::string row = groupLabel(plate_, g);
                for (std::int32_t b : bins_) (row += sp_) += value(g, b);
                line(row);
            }
            line();
            return;
        }
        line("Time" + sp_ + "Group" + sp_ + "Value");
        line();
        for (int g = 0; g <= tables_.maxGroup; ++g) {
            const std::string group = sp_ + groupLabel(plate_, g) + sp_;
            for (std::size_t i = 0; i < bins_.size(); ++i) line(labels_[i] + group + value(g, bins_[i]));
            line();
        }
    }

    // Records per bin and temperature: a header row of labels and a value row, both ending with the spacer.
    void binSection(ReportLayout layout, const std::string& name, const std::string& rowsLabel,
                    const std::string& listHeader, const std::function<std::string(std::int32_t bin)>& value) {
        if (layout == ReportLayout::Rows) {
            title(name);
            std::string times = "Time[m]" + sp_;
            std::string values = rowsLabel + sp_;
            for (std::size_t i = 0; i < bins_.size(); ++i) {
                times += labels_[i] + sp_;
                values += value(bins_[i]) + sp_;
            }
            line(times);
            line(values);
        } else if (layout == ReportLayout::List) {
            title(name);
            line("Time" + sp_ + listHeader);
            line();
            for (std::size_t i = 0; i < bins_.size(); ++i) line(labels_[i] + sp_ + value(bins_[i]));
        }
        line();
    }

    void wellSection(ReportLayout layout) {
        title("<<<<<< Well Activity >>>>>>");
        auto activity = [&](int w, std::int32_t b) {
            return std::to_string(tables_.wellActivity[static_cast<std::size_t>(b)][static_cast<std::size_t>(w)]);
        };
        if (layout == ReportLayout::Rows) {
            std::string header = "Well" + sp_ + "Group/Time[m]";
            for (const auto& label : labels_) (header += sp_) += label;
            line(header);
            for (int w = 0; w <= plate_.maxWell; ++w) {
                if (plate_.beamZeroChannel(w) < 0) continue;
                std::string row = wellName(plate_.plate, w) + sp_ + wellGroupLabel(w);
                for (std::int32_t b : bins_) (row += sp_) += activity(w, b);
                line(row);
            }
            line();
            return;
        }
        line("Time" + sp_ + "Well" + sp_ + "Group" + sp_ + "Value");
        line();
        for (int w = 0; w <= plate_.maxWell; ++w) {
            if (plate_.beamZeroChannel(w) >= 0) {
                const std::string well = sp_ + wellName(plate_.plate, w) + sp_ + wellGroupLabel(w) + sp_;
                for (std::size_t i = 0; i < bins_.size(); ++i) line(labels_[i] + well + activity(w, bins_[i]));
            }
            line();
        }
    }

    void channelSection(ReportLayout layout) {
        title("<<<<<< Channel Activity >>>>>>");
        auto sum = [&](int c, std::int32_t b) {
            return std::to_string(tables_.channelSum[static_cast<std::size_t>(b)][static_cast<std::size_t>(c)]);
        };
        if (layout == ReportLayout::Rows) {
            std::string header = "Channel" + sp_ + "Well" + sp_ + "Group/Time[m]";
            for (const auto& label : labels_) (header += sp_) += label;
            line(header);
            for (int c = 0; c < ChannelCount; ++c) {
                if (plate_.plate.WellOfChannel[static_cast<std::size_t>(c)] < 0) continue;
                std::string row = channelPrefix(c);
                for (std::int32_t b : bins_) (row += sp_) += sum(c, b);
                line(row);
            }
            return;
        }
        line("Time" + sp_ + "Channel" + sp_ + "Well" + sp_ + "Group" + sp_ + "Value");
        line();
        for (int c = 0; c < ChannelCount; ++c) {
            if (plate_.plate.WellOfChannel[static_cast<std::size_t>(c)] >= 0) {
                const std::string channel = sp_ + channelPrefix(c) + sp_;
                for (std::size_t i = 0; i < bins_.size(); ++i) line(labels_[i] + channel + sum(c, bins_[i]));
            }
            line();
        }
    }

    // The 16 x 24 channel grid of each bin, whatever the plate.
    void arraySection() {
        line("ARRAY OUTPUT FORMAT");
        for (std::size_t i = 0; i < bins_.size(); ++i) {
            line("Time_Block[m]" + sp_ + labels_[i]);
            std::string columns = "Row/Column" + sp_;
            for (int k = 1; k <= GridColumns; ++k) columns += std::to_string(k) + sp_;
            line(columns);
            for (int r = 0; r < GridRows; ++r) {
                std::string row(1, static_cast<char>('A' + r));
                for (int k = 0; k < GridColumns; ++k) {
                    int c = k * GridRows + r;
                    (row += sp_) += (plate_.plate.WellOfChannel[static_cast<std::size_t>(c)] < 0
                                      ? std::string("-")
                                      : std::to_string(tables_.channelSum[static_cast<std::size_t>(bins_[i])][static_cast<std::size_t>(c)]));
                }
                line(row);
            }
            line();
        }
    }

    std::string take() { return std::move(text_); }

private:
    std::string wellGroupLabel(int well) const {
        return groupLabel(plate_, plate_.channelGroup[static_cast<std::size_t>(plate_.beamZeroChannel(well))]);
    }

    std::string channelPrefix(int c) const {
        const auto slot = static_cast<std::size_t>(c);
        return "CH" + std::to_string(c) + sp_ + wellName(plate_.plate, plate_.plate.WellOfChannel[slot]) + "." +
               std::to_string(plate_.plate.BeamOfChannel[slot]) + sp_ + groupLabel(plate_, plate_.channelGroup[slot]);
    }

    const ReportPlate& plate_;
    const ReportTables& tables_;
    const std::string sp_;
    std::vector<std::int32_t> bins_;
    std::vector<std::string> labels_;
    std::string text_;
};

}  // namespace

std::string generalDate(const DateTime& when) {
    return formatDigits(when.day, 2) + "/" + formatDigits(when.month, 2) + "/" + formatDigits(when.year, 4) + " " +
           formatDigits(when.hour, 2) + ":" + formatDigits(when.minute, 2) + ":" + formatDigits(when.second, 2);
}

std::string reportText(const ReportPlate& plate, const ReportTables& tables, const ReportOptions& options,
                       const DateTime& now, const std::string& folderText) {
    ReportBuilder out(plate, tables, options);
    const std::string& sp = options.spacer;
    const ReportLayout layout = options.layout;
    auto at = [](const std::vector<std::vector<std::int32_t>>& table, int g, std::int32_t b) {
        return table[static_cast<std::size_t>(b)][static_cast<std::size_t>(g)];
    };
    out.line(quoted("DATE:") + sp + quoted(generalDate(now)));
    out.line(quoted("FILE:") + sp + quoted(folderText));
    out.line();
    if (layout != ReportLayout::Array) {
        out.groupSection(layout, "<<<<<< Group Activity: Average Activity Counts per Data Interval>>>>>>",
                         [&](int g, std::int32_t b) { return std::to_string(at(tables.groupAverage, g, b)); });
        if (options.stdError) {
            out.groupSection(layout, "<<<<<< Group Activity: Standard Error >>>>>>", [&](int g, std::int32_t b) {
                return formatFixed(
                    standardErrorOf(at(tables.groupSd, g, b), tables.wellsPerGroup[static_cast<std::size_t>(g)]), 1);
            });
        }
        if (options.stdDev) {
            out.groupSection(layout, "<<<<<< Group Activity: Standard Deviation >>>>>>", [&](int g, std::int32_t b) {
                return formatFixed(at(tables.groupSd, g, b), 1);
            });
        }
        if (options.wellsPerGroup) {
            out.groupSection(layout, "<<<<<< Group Activity: Number of wells/group >>>>>>", [&](int g, std::int32_t) {
                return std::to_string(tables.wellsPerGroup[static_cast<std::size_t>(g)]);
            });
        }
    }
    out.binSection(layout, "<<<<<< Number of Samples per Acquisition Interval [1unit=500values] >>>>>>", "#Samples",
                   "#Samples", [&](std::int32_t b) { return std::to_string(tables.recordsPerBin[static_cast<std::size_t>(b)]); });
    out.binSection(layout, "<<<<<< Average Temperature [°C] >>>>>>", "Temp[°C]", "Avrg_Temp[°C]", [&](std::int32_t b) {
        return formatFixed(tables.temperatureTenths[static_cast<std::size_t>(b)] / 10.0, 1);
    });
    if (layout == ReportLayout::Array) {
        out.arraySection();
    } else {
        out.wellSection(layout);
        out.channelSection(layout);
    }
    return out.take();
}

std::optional<std::filesystem::path> writeReportFile(const std::filesystem::path& folder, const std::string& extension,
                                                     const std::string& text) {
    const std::string bytes = utf8ToCp1252(text);
    for (std::int16_t number = 0;; ++number) {
        const std::string name = (number == 0 ? "report" : "report_" + std::to_string(number)) + extension;
        // Nothing on Linux locks a file; an office suite that has it open leaves this beside it.
        const std::filesystem::path path = folder / name;
        if (!fileExists(folder / (".~lock." + name + "#")) && writeFile(path, bytes)) return path;
        if (number == MaxReportNumber) return std::nullopt;
    }
}

}  // namespace zorvex
