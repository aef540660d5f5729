#pragma once
// Builds small recorded acquisitions on disk for the report, recalculation,
// export and join tests: a program folder with a plate file, and an
// acquisition folder with its setup copy, channel files and counts.bin.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <random>

#include "ActivityFrames.h"
#include "acquisition/DataFiles.h"
#include "common/Files.h"
#include "control/LightSchedule.h"
#include "store/ChannelTables.h"
#include "store/ProjectSetup.h"

namespace zorvex::test {

/// Writes <programFolder>/<name>.dat; `wells` gives (well, beam) of channels
/// 0, 1, 2... in order; channels beyond it are in no well.
inline void writePlateFile(const std::filesystem::path& programFolder, const std::string& name, int rows,
                           int columns, const std::vector<std::pair<int, int>>& wells,
                           const std::string& extension = ".dat") {
    std::string text = "\"" + name + ": test plate\"\r\n";
    text += "\"<Rows>,<RowPitch>,<RowOffset>,<Columns>,<ColumnPitch>,<ColumnOffset>\"\r\n";
    text += std::to_string(rows) + ",1,0," + std::to_string(columns) + ",1,0\r\n";
    text += "\"<Channel>,<Well>,<Beam>\"\r\n";
    for (int c = 0; c < ChannelCount; ++c) {
        auto [well, beam] = c < static_cast<int>(wells.size()) ? wells[static_cast<std::size_t>(c)]
                                                                : std::pair<int, int>{-1, 0};
        text += std::to_string(c) + "," + std::to_string(well) + "," + std::to_string(beam) + "\r\n";
    }
    writeFile(programFolder / (name + extension), text);
}

/// The channel map of the small 2 x 2 test plate: wells A1, B1, A2, B2 on
/// channels 0, 1, 16 and 17.
inline std::vector<std::pair<int, int>> twoByTwoWells() {
    std::vector<std::pair<int, int>> wells(18, {-1, 0});
    wells[0] = {0, 0};
    wells[1] = {1, 0};
    wells[16] = {2, 0};
    wells[17] = {3, 0};
    return wells;
}

/// One counts.bin record with the given channel counts (others 0).
inline ActivityRecord record(std::int32_t minute, std::vector<std::pair<int, std::int16_t>> counts,
                             std::int16_t temperatureTenths = 250) {
    ActivityRecord result;
    result.elapsedMinutes = minute;
    for (auto [channel, count] : counts) result.counts[static_cast<std::size_t>(channel)] = count;
    result.temperatureTenths = temperatureTenths;
    return result;
}

/// The raw frame of bin `bin` of a generated acquisition: busy beam signals
/// on every channel, reproducible from the bin number.
inline SampleFrame generatedFrame(int bin, int rtBuffer) {
    SampleFrame frame(rtBuffer);
    std::mt19937 rng(static_cast<std::mt19937::result_type>(1000 + bin));
    for (int c = 0; c < ChannelCount; ++c) fillSignal(frame, c, Signal::BusyBeam, rng);
    return frame;
}

/// An acquisition folder: every channel in no group and every group "Free"
/// until the test says otherwise.
class AcquisitionBuilder {
public:
    explicit AcquisitionBuilder(std::filesystem::path folder) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        for (int c = 0; c < ChannelSlots; ++c) channels_.Group[static_cast<std::size_t>(c)] = -1;
        for (auto& name : groups_.Name) name = FreeGroupName;
        setup_.Plate_format = "ztest";
        setup_.RT_Buffer = 500;
    }
    AcquisitionBuilder& plate(const std::string& name) { setup_.Plate_format = name; return *this; }
    AcquisitionBuilder& rtBuffer(int samples) { setup_.RT_Buffer = static_cast<std::int16_t>(samples); return *this; }
    AcquisitionBuilder& group(int number, const std::string& name) { groups_.Name[static_cast<std::size_t>(number)] = name; return *this; }
    /// Every channel enabled, as a project's status.dat usually has them.
    AcquisitionBuilder& allEnabled() {
        channels_.Enabled.fill(true);
        return *this;
    }
    AcquisitionBuilder& enabled(int channel, bool on) {
        channels_.Enabled[static_cast<std::size_t>(channel)] = on;
        return *this;
    }
    /// The programmed lapse; a run whose records end before it was stopped early.
    AcquisitionBuilder& lapse(int minutes) { setup_.Aq_lapse = static_cast<std::int16_t>(minutes); return *this; }
    /// The daily light schedule: on at `onHour`, off at `offHour`.
    AcquisitionBuilder& dailyLight(int onHour, int offHour) {
        setup_.Mn[LightRow] = {1, static_cast<std::int16_t>(onHour), static_cast<std::int16_t>(offHour), 0, 0, 0};
        return *this;
    }
    AcquisitionBuilder& channelGroup(int channel, int group) {
        channels_.Group[static_cast<std::size_t>(channel)] = static_cast<std::int16_t>(group);
        return *this;
    }
    /// Writes the setup copy and the channel files.
    const AcquisitionBuilder& writeSideFiles() const {
        writeSetupFile(setup_, 1, folder_ / SetupFileName);
        writeChannelFiles(channels_, groups_, folder_);
        return *this;
    }
    /// Appends records to counts.bin.
    const AcquisitionBuilder& append(const std::vector<ActivityRecord>& records) const {
        for (const auto& r : records) appendActivityRecord(folder_, r);
        return *this;
    }
    /// Appends the generated dumps of bins `first`..`last` to the real-time files.
    const AcquisitionBuilder& appendDumps(int first, int last) const {
        for (int bin = first; bin <= last; ++bin) {
            appendRealTimeDump(folder_, bin / DumpsPerRealTimeFile, generatedFrame(bin, setup_.RT_Buffer));
        }
        return *this;
    }
    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    ProjectSetup setup_;
    ChannelTable channels_;
    GroupTable groups_;
};

}  // namespace zorvex::test
