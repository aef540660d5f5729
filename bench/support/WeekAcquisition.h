#pragma once
// The 7-day acquisition the report and figure benchmarks share: a 384-well
// plate (channel c in well c) in 12 groups of 32 wells, 17,280 records of
// 35-second bins. Peak memory is the process's resident high-water mark.

#include <sys/resource.h>

#include <string>
#include <utility>
#include <vector>

#include "AcquisitionBuilder.h"
#include "TempFolder.h"

namespace zorvex::bench {

inline constexpr int WeekRecords = 17280;  // 7 days of 35-second bins
inline constexpr int WeekMinutes = 7 * 1440;

inline double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

/// The plate file "zbench" in the program folder `temp` and the acquisition
/// folder `name` with its side files.
inline test::AcquisitionBuilder plateAndFolder(const test::TempFolder& temp, const std::string& name) {
    std::vector<std::pair<int, int>> wells;
    for (int c = 0; c < ChannelCount; ++c) wells.emplace_back(c, 0);
    test::writePlateFile(temp.path(), "zbench", 16, 24, wells);
    test::AcquisitionBuilder builder(temp / name);
    builder.plate("zbench");
    for (int c = 0; c < ChannelCount; ++c) builder.channelGroup(c, c / 32);
    for (int g = 0; g < 12; ++g) builder.group(g, "G" + std::to_string(g));
    builder.writeSideFiles();
    return builder;
}

/// `plateAndFolder` with a week of records in counts.bin.
inline test::AcquisitionBuilder weekAcquisition(const test::TempFolder& temp, const std::string& name) {
    auto builder = plateAndFolder(temp, name);
    std::string bytes;
    for (int i = 0; i < WeekRecords; ++i) {
        ActivityRecord r;
        r.elapsedMinutes = static_cast<std::int32_t>(static_cast<long long>(i + 1) * WeekMinutes / WeekRecords);
        for (int c = 0; c < ChannelCount; ++c) r.counts[static_cast<std::size_t>(c)] = static_cast<std::int16_t>((i * 7 + c * 13) % 50);
        r.temperatureTenths = 250;
        bytes += encodeActivityRecord(r);
    }
    writeFile(builder.folder() / "counts.bin", bytes);
    return builder;
}

}  // namespace zorvex::bench
