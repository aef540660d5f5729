// Each reader's parse of bytes in memory gives what its load of the same
// bytes from a file gives: the same values, the same stage, the same messages.
#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "StoreFiles.h"
#include "TempFolder.h"
#include "store/ChannelTables.h"
#include "store/PlateFormat.h"
#include "store/ProjectSetup.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

// A line of numbers where a text or a 16-bit value is expected.
std::string withLine(const std::string& bytes, int line, const std::string& text) {
    std::size_t start = 0;
    for (int k = 0; k < line; ++k) start = bytes.find("\r\n", start) + 2;
    return bytes.substr(0, start) + text + bytes.substr(bytes.find("\r\n", start));
}

}  // namespace

TEST(ReadFromBytes, SetupBytesLoadAsTheFileDoesWithoutARepair) {
    TempFolder program;
    const std::string whole = setupFileBytes(sampleSetup(program.path()), 5);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"whole", whole},
        {"short form", firstLines(whole, 6)},
        {"cut after line 5", firstLines(whole, 5)},
        {"line 4 garbled", withLine(whole, 3, "1,x,99,500,1,30")},
        {"Mn row 2 out of range", withLine(whole, 11, "1,99999,0,0,0,0")},
        {"another project", withLine(whole, 1, "7,\"Other\",\"lab/\",\"z96f\"")},
        {"empty", ""},
    };
    const SetupSource source{program.path(), projectFolderPath(program.path(), 5), 5, 5};
    for (const auto& [label, bytes] : cases) {
        putFile(source.projectFolder / SetupFileName, bytes);
        ScriptedDialogs fromFile;
        ScriptedDialogs fromBytes;
        ProjectSetup loaded;
        ProjectSetup parsed;
        loadSetup(loaded, source, fromFile);
        parseSetup(parsed, bytes, source, fromBytes);
        EXPECT_EQ(parsed, loaded) << label;
        EXPECT_EQ(fromBytes.shown, fromFile.shown) << label;
        EXPECT_EQ(parseSetupAsIs(bytes).has_value(), readSetupAsIs(source.projectFolder / SetupFileName).has_value())
            << label;
    }
}

TEST(ReadFromBytes, ChannelFileBytesLoadAsTheFilesDo) {
    TempFolder project;
    ChannelTable channels = defaultChannelTable();
    GroupTable groups = defaultGroupTable();
    channels.Enabled[7] = false;
    channels.Threshold[3] = 2.5;
    channels.Group[9] = -1;
    groups.Name[2] = "Mutant";
    std::array<std::string, 4> files = channelFilesBytes(channels, groups);
    // threshld.dat cut in a value, chgroup.dat naming a group past the table.
    files[1] = files[1].substr(0, 200) + "x";
    files[3] = withLine(files[3], 10, "9,900");
    for (std::size_t k = 0; k < files.size(); ++k) putFile(project / ChannelFileNames[k], files[k]);
    std::filesystem::remove(project / "status.dat");

    ChannelTable loadedChannels = defaultChannelTable();
    GroupTable loadedGroups = defaultGroupTable();
    ScriptedDialogs fromFiles;
    loadChannelFiles(loadedChannels, loadedGroups, project.path(), 3, fromFiles);
    ChannelTable parsedChannels = defaultChannelTable();
    GroupTable parsedGroups = defaultGroupTable();
    ScriptedDialogs fromBytes;
    parseChannelFiles(parsedChannels, parsedGroups, {std::nullopt, files[1], files[2], files[3]}, 3, fromBytes);

    EXPECT_EQ(parsedChannels, loadedChannels);
    EXPECT_EQ(parsedGroups, loadedGroups);
    EXPECT_EQ(parsedGroups.Name[2], "Mutant");
    EXPECT_EQ(fromBytes.shown, fromFiles.shown);
    EXPECT_EQ(fromBytes.shown.size(), 3u);  // status.dat, threshld.dat, chgroup.dat
}

TEST(ReadFromBytes, WrittenChannelFilesAreTheBytesOfChannelFilesBytes) {
    TempFolder project;
    ChannelTable channels = defaultChannelTable();
    channels.Threshold[0] = 2.71828;
    GroupTable groups = defaultGroupTable();
    ASSERT_TRUE(writeChannelFiles(channels, groups, project.path()));
    const std::array<std::string, 4> bytes = channelFilesBytes(channels, groups);
    for (std::size_t k = 0; k < bytes.size(); ++k) EXPECT_EQ(fileBytes(project / ChannelFileNames[k]), bytes[k]);
}

TEST(ReadFromBytes, PlateBytesLoadAsTheFileDoes) {
    TempFolder program;
    std::vector<std::pair<std::string, std::string>> cases;
    for (const auto& entry : std::filesystem::directory_iterator(ZORVEX_DATA_DIR)) {
        if (entry.path().extension() != ".dat") continue;
        const std::string bytes = fileBytes(entry.path());
        cases.emplace_back(entry.path().stem().string(), bytes);
        cases.emplace_back(entry.path().stem().string() + " cut in the map", firstLines(bytes, 40) + "39,");
        cases.emplace_back(entry.path().stem().string() + " cut in the geometry", firstLines(bytes, 2) + "8,");
    }
    ASSERT_GE(cases.size(), 21u);
    for (const auto& [label, bytes] : cases) {
        putFile(program / "zcase.dat", bytes);
        PlateFormat loaded;
        PlateFormat parsed;
        const PlateLoad fromFile = loadPlateFormat(loaded, program.path(), "zcase");
        const PlateLoad fromBytes = parsePlateFormat(parsed, bytes);
        EXPECT_EQ(fromBytes.ok, fromFile.ok) << label;
        EXPECT_EQ(fromBytes.stage, fromFile.stage) << label;
        EXPECT_EQ(parsed, loaded) << label;
    }
}
