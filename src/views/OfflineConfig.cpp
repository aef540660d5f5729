#include "views/OfflineConfig.h"

#include "common/Files.h"
#include "common/RecordText.h"
#include "reports/ReportInputs.h"
#include "store/ProjectFolders.h"

namespace zorvex {

namespace {

// Lines 1 to 6 of a setup copy, read as they stand: review must never repair
// or rewrite a stored folder's files.
bool readSetupLines(ProjectSetup& setup, const std::filesystem::path& file) {
    auto bytes = readFile(file);
    if (!bytes) return false;
    RecordReader in(std::move(*bytes));
    ProjectSetup read = setup;
    in.skipLine();
    in.skip();
    read.Name = in.text();
    read.Working_folder = in.text();
    read.Plate_format = in.text();
    in.skipLine();
    for (std::int16_t* field : {&read.Aq_mode, &read.Aq_lapse, &read.Sample_Rate, &read.RT_Buffer, &read.DSP_Method,
                                &read.DSP_Interval}) {
        *field = in.int16();
    }
    in.skipLine();
    for (std::int16_t* field : {&read.Binary_Acq, &read.Threshold_Counter, &read.Cal_value, &read.Cal_mode,
                                &read.Save_counts, &read.Save_real}) {
        *field = in.int16();
    }
    // A buffer of no samples would make every real-time dump zero bytes long.
    if (!in.ok() || read.RT_Buffer < 1 || !isPlainText(read.Name + read.Plate_format)) return false;
    setup = std::move(read);
    return true;
}

}  // namespace

int OfflineConfig::channelAt(int beam, int well) const {
    if (beam < 0 || well < 0 || beam >= static_cast<int>(channelMap.size())) return -1;
    const auto& wells = channelMap[static_cast<std::size_t>(beam)];
    if (well >= static_cast<int>(wells.size())) return -1;
    return wells[static_cast<std::size_t>(well)];
}

int OfflineConfig::groupOfChannel(int channel) const {
    if (channel < 0 || channel >= ChannelCount) return -2;
    return channels.Group[static_cast<std::size_t>(channel)];
}

bool loadOfflineConfig(OfflineConfig& config, const std::filesystem::path& folder,
                       const std::filesystem::path& programFolder, int projectNumber, Dialogs& dialogs) {
    if (!fileExists(folder / SetupFileName)) return false;
    if (!readSetupLines(config.setup, folder / SetupFileName)) {
        dialogs.message("ERROR on SETUP.DAT FILE!!!");
        return false;
    }
    loadChannelFiles(config.channels, config.groups, folder, projectNumber, dialogs);
    const std::string& name = config.setup.Plate_format;
    if (!loadPlateOrBackup(config.plate, programFolder, name)) {
        dialogs.message("Multiwell Configuration File " + name + ".dat or .bak not found");
        return true;
    }
    config.channelMap = channelMapOf(config.plate);
    return true;
}

}  // namespace zorvex
