#pragma once
// Program folders for the offline and report window tests: a fresh program
// folder (plate files, demo project p00001 "Demo" on z96f) with acquisitions
// written by AcquisitionBuilder, and raw dumps whose samples say which file,
// dump, channel and sample they are.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "acquisition/NewProgramFolder.h"
#include "store/ProgramFolderInit.h"

namespace zorvex::test {

/// The sample a marked dump holds: 100 x file + dump + 3 x channel + sample.
inline std::int16_t markedSample(int file, int dump, int channel, int sample) {
    return static_cast<std::int16_t>(100 * file + dump + 3 * channel + sample);
}

/// The frame of dump `dump` (its place in the file) of real-time file `file`, marked.
inline SampleFrame markedFrame(int file, int dump, int rtBuffer = 500) {
    SampleFrame frame(rtBuffer);
    for (int c = 0; c < ChannelCount; ++c) {
        for (int s = 0; s < rtBuffer; ++s) frame.at(c, s) = markedSample(file, dump, c, s);
    }
    return frame;
}

/// Appends dump `dump` of real-time file `file`, marked.
inline void appendMarkedDump(const std::filesystem::path& folder, int file, int dump, int rtBuffer = 500) {
    appendRealTimeDump(folder, file, markedFrame(file, dump, rtBuffer));
}

/// Real-time files 0..files-1 with `dumps` marked dumps each.
inline void writeMarkedFiles(const std::filesystem::path& folder, int files, int dumps) {
    for (int file = 0; file < files; ++file) {
        for (int dump = 0; dump < dumps; ++dump) appendMarkedDump(folder, file, dump);
    }
}

/// Records at minutes 1..count whose channel c counts c % 7 + minute % 5.
inline std::vector<ActivityRecord> minuteRecords(int count) {
    std::vector<ActivityRecord> records;
    for (int minute = 1; minute <= count; ++minute) {
        ActivityRecord r;
        r.elapsedMinutes = minute;
        for (int c = 0; c < ChannelCount; ++c) r.counts[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(c % 7 + minute % 5);
        r.temperatureTenths = 250;
        records.push_back(r);
    }
    return records;
}

struct ReviewFolder {
    TempFolder folder;
    ScriptedDialogs dialogs;
    ManualHost host;

    ReviewFolder() { EXPECT_FALSE(initProgramFolder(folder.path(), findDataFolder())); }

    std::filesystem::path project() const { return folder.path() / "p00001"; }

    /// An acquisition of the demo project: a setup copy named `name` on
    /// `plate` (10-minute lapse), group 1 "Control" on the first two plate
    /// rows' beam-0 channels 0 and 2 (wells A1, B1 on z96f), `records` records.
    AcquisitionBuilder acquisition(const std::string& folderName, const std::string& plate = "z96f",
                                   int records = 60, const std::string& name = "Demo") const {
        AcquisitionBuilder builder(project() / folderName);
        builder.plate(plate).group(1, "Control").channelGroup(0, 1).channelGroup(2, 1).writeSideFiles();
        ProjectSetup setup = defaultSetup(folder.path(), 1);
        setup.Name = name;
        setup.Plate_format = plate;
        setup.Aq_lapse = 10;
        writeSetupFile(setup, 1, builder.folder() / SetupFileName);
        builder.append(minuteRecords(records));
        return builder;
    }
};

}  // namespace zorvex::test
