#include "FileReaders.h"

#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ManualHost.h"
#include "ReadBackChecks.h"
#include "ReaderChecks.h"
#include "acquisition/DataFiles.h"
#include "common/Files.h"
#include "store/ChannelTables.h"
#include "store/ProjectFolders.h"
#include "store/ProjectSetup.h"

namespace zorvex::fuzz {

namespace {

std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// setup.dat with its repair: a damaged setup.dat of project 5 beside a
// setup.bak and a copy in an acquisition folder of a fuzzed name.
void setupFiles(const std::uint8_t* data, std::size_t size) {
    auto parts = splitParts(data, size, 4);
    const std::string project = projectFolderName(5);
    std::filesystem::create_directories(scratch().path() / project);
    scratch().write(project + "/setup.dat", parts[0]);
    scratch().write(project + "/setup.bak", parts[1]);
    std::string acquisition = parts[2];
    const bool plainName = !acquisition.empty() && acquisition.size() < 200 && acquisition != "." &&
                           acquisition != ".." && acquisition.find_first_of(std::string("/\0", 2)) == std::string::npos;
    if (!plainName) acquisition = "01022023_1015";
    scratch().write(project + "/" + acquisition + "/setup.dat", parts[3]);

    ProjectSetup setup;
    SetupSource source{scratch().path(), scratch().path() / project, 5, 5};
    test::ScriptedDialogs dialogs;
    loadSetup(setup, source, dialogs);
    (void)readSetupAsIs(scratch().path() / project / acquisition / SetupFileName);
    const std::filesystem::path file = scratch().path() / project / SetupFileName;
    if (!writeSetupFile(setup, 5, file)) std::abort();
    test::ScriptedDialogs quiet;
    ProjectSetup read;
    loadSetup(read, source, quiet);
    // What was read back saves as the bytes on disk: a second save changes nothing.
    if (!quiet.shown.empty() || setupFileBytes(read, 5) != readFile(file)) std::abort();
}

void channelFiles(const std::uint8_t* data, std::size_t size) {
    auto parts = splitParts(data, size, ChannelFileNames.size());
    for (std::size_t k = 0; k < parts.size(); ++k) scratch().write(ChannelFileNames[k], parts[k]);
    ChannelTable channels = defaultChannelTable();
    GroupTable groups = defaultGroupTable();
    test::ScriptedDialogs dialogs;
    loadChannelFiles(channels, groups, scratch().path(), 12, dialogs);
    if (!writeChannelFiles(channels, groups, scratch().path())) std::abort();
    ChannelTable readChannels = defaultChannelTable();
    GroupTable readGroups = defaultGroupTable();
    test::ScriptedDialogs quiet;
    loadChannelFiles(readChannels, readGroups, scratch().path(), 12, quiet);
    if (!quiet.shown.empty()) std::abort();
    // What was read back saves as the bytes on disk: a second save changes nothing.
    const auto again = channelFilesBytes(readChannels, readGroups);
    for (std::size_t k = 0; k < again.size(); ++k) {
        if (readFile(scratch().path() / ChannelFileNames[k]) != again[k]) std::abort();
    }
}

void plateFile(const std::uint8_t* data, std::size_t size) {
    auto parts = splitParts(data, size, 2);
    scratch().write("zf.dat", parts[0]);
    PlateFormat plate;
    if (loadPlateFormat(plate, scratch().path(), "zf").ok) checkPlateMap(plate);
    std::string name = "zf";
    test::ScriptedDialogs dialogs;
    loadPlateFormatWithFallback(plate, name, scratch().path(), dialogs);
    exercisePlate(plate, parts[1]);
}

void calibrationFile(const std::uint8_t* data, std::size_t size) {
    scratch().write(CalibrationFileName, bytesOf(data, size));
    BeamTable pinHole{};
    BeamTable gain{};
    fillDefaultCalibration(pinHole, gain);
    checkCalibrationRead(readCalibrationFile(scratch().path(), pinHole, gain), pinHole, gain);
    if (!writeCalibrationFile(scratch().path(), pinHole, gain)) std::abort();
    BeamTable pinHoleAgain{};
    BeamTable gainAgain{};
    fillDefaultCalibration(pinHoleAgain, gainAgain);
    const CalibrationFileRead again = readCalibrationFile(scratch().path(), pinHoleAgain, gainAgain);
    checkCalibrationReadBack(again, pinHole, gain, pinHoleAgain, gainAgain);
}

void realTimeFiles(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return;
    const RealTimeChoice choice = realTimeChoice(data);
    auto parts = splitParts(data + 4, size - 4, 3);
    for (int n = 0; n < 3; ++n) scratch().write(std::to_string(n) + ".bin", parts[static_cast<std::size_t>(n)]);
    for (int n = 0; n < 4; ++n) {
        const int dumps = countRealTimeDumps(scratch().path(), n, choice.rtBuffer);
        if (dumps < 0 || dumps > DumpsPerRealTimeFile) std::abort();
    }
    auto frame = readRealTimeDump(scratch().path(), choice.bin, choice.rtBuffer);
    if (frame) checkDump(*frame, parts[static_cast<std::size_t>(choice.bin / DumpsPerRealTimeFile)], choice);
}

// The report of an acquisition folder whose counts.bin, setup copy, group
// files and plate file are all fuzzed, written as the program writes it.
void reportFiles(const std::uint8_t* data, std::size_t size) {
    // Parts: setup.dat, groups.dat, chgroup.dat, the plate file zf.dat, the
    // settings, counts.bin.
    auto parts = splitParts(data, size, 6);
    const std::string acquisition = "p00003/01022023_1015/";
    scratch().write(acquisition + "setup.dat", parts[0]);
    scratch().write(acquisition + "groups.dat", parts[1]);
    scratch().write(acquisition + "chgroup.dat", parts[2]);
    scratch().write("zf.dat", parts[3]);
    scratch().write(acquisition + "counts.bin", parts[5]);
    ReportRequest request = reportRequest(parts[4]);
    request.acquisitionFolder = scratch().path() / acquisition;
    request.programFolder = scratch().path();
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
    auto loaded = loadReportData(request.acquisitionFolder, request.programFolder, dialogs);
    if (!loaded) return;
    (void)checkReportTables(loaded->first, loaded->second, request, dialogs);
    (void)produceReport(loaded->first, loaded->second, request, dialogs, host);
}

void configFile(const std::uint8_t* data, std::size_t size) {
    scratch().write(ConfigFileName, bytesOf(data, size));
    ProgramConfig config;
    test::ScriptedDialogs dialogs;
    loadConfig(config, scratch().path(), dialogs);
    checkConfig(config);
    if (!writeConfigFile(config, scratch().path())) std::abort();
    ProgramConfig again;
    test::ScriptedDialogs quiet;
    loadConfig(again, scratch().path(), quiet);
    checkConfigReadBack(config, again, quiet);
}

void portMapFile(const std::uint8_t* data, std::size_t size) {
    auto parts = splitParts(data, size, 2);
    scratch().write(PortMapFileName, parts[0]);
    const PortMap map = readPortMap(scratch().path());
    exercisePortMap(map, parts[1]);
    if (!writePortMap(scratch().path(), map) || !(readPortMap(scratch().path()) == map)) std::abort();
}

void experimentInfoFile(const std::uint8_t* data, std::size_t size) {
    scratch().write("subproj.dat", bytesOf(data, size));
    if (auto info = readExperimentInfo(scratch().path())) {
        if (!writeExperimentInfo(scratch().path(), *info)) std::abort();
        checkExperimentInfoReadBack(*info, readExperimentInfo(scratch().path()));
    }
}

void groupInfoFile(const std::uint8_t* data, std::size_t size) {
    // The layout part of fuzz_groupinfo's input is no file; it is left out.
    auto parts = splitParts(data, size, 2);
    scratch().write(GroupInfoFileName, parts[0]);
    const GroupInfoRead read = readGroupInfo(scratch().path());
    if (read.annotations.empty()) return;
    if (!writeGroupInfo(scratch().path(), read.annotations, groupNamesOf(read.annotations))) std::abort();
    checkGroupInfoReadBack(read, readGroupInfo(scratch().path()));
}

// counts.bin as the report loads it, and its records appended one by one
// into a new counts.bin as an acquisition writes them.
void countsFile(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = bytesOf(data, size);
    scratch().write("counts.bin", bytes);
    const std::vector<ActivityRecord> records = readActivityRecords(scratch().path());
    checkActivityRecords(bytes, records);
    test::ScriptedDialogs dialogs;
    checkSeries([&] { return loadSeries(scratch().path(), dialogs); }, records.size());
    const std::filesystem::path appended = scratch().path() / "appended";
    std::filesystem::create_directories(appended);
    for (const ActivityRecord& record : records) {
        if (!appendActivityRecord(appended, record)) std::abort();
    }
    if (readActivityRecords(appended) != records) std::abort();
}

}  // namespace

const std::array<FileReader, 11> FileReaders = {{
    {"fuzz_setup", setupFiles},
    {"fuzz_channel_files", channelFiles},
    {"fuzz_plate", plateFile},
    {"fuzz_calvalue", calibrationFile},
    {"fuzz_realtime", realTimeFiles},
    {"fuzz_report", reportFiles},
    {"fuzz_config", configFile},
    {"fuzz_comports", portMapFile},
    {"fuzz_subproj", experimentInfoFile},
    {"fuzz_groupinfo", groupInfoFile},
    {"fuzz_counts", countsFile},
}};

}  // namespace zorvex::fuzz
