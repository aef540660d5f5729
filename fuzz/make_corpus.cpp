// Writes the seed corpora of every fuzz target: the files the program's own
// writers produce (the same writers the tests check), cut and joined the way
// each target reads its input. Usage: make_corpus OUT_FOLDER PLATE_FOLDER
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "FileReaders.h"
#include "FuzzInput.h"
#include "TempFolder.h"
#include "acquisition/DataFiles.h"
#include "analysis/CalibrationFile.h"
#include "common/Files.h"
#include "device/PortMap.h"
#include "screening/GroupInfoFile.h"
#include "store/ChannelTables.h"
#include "store/ProgramConfig.h"
#include "store/ProjectSetup.h"

namespace fs = std::filesystem;
using namespace zorvex;

namespace {

using Corpus = std::map<std::string, std::vector<std::string>>;

std::string fileBytes(const fs::path& path) { return readFile(path, std::size_t{1} << 30).value_or(""); }

std::string configBytes(ProgramConfig config) {
    test::TempFolder folder;
    writeConfigFile(config, folder.path());
    return fileBytes(folder / ConfigFileName);
}

std::string setupBytes(const std::string& plate, std::int16_t rtBuffer, int project) {
    ProjectSetup setup = defaultSetup("/program", project);
    setup.Name = "Seed, \"quoted\"";
    setup.Plate_format = plate;
    setup.RT_Buffer = rtBuffer;
    return setupFileBytes(setup, project);
}

// The first lines of a text, as a damaged or short file holds them.
std::string firstLines(const std::string& text, int lines) {
    std::size_t at = 0;
    for (int i = 0; i < lines && at != std::string::npos; ++i) at = text.find('\n', at + 1);
    return at == std::string::npos ? text : text.substr(0, at + 1);
}

// A plate file with only its mapped channels, at most 48 of them, moved to
// the front: the reader places lines by their order, so this is a smaller
// plate of the same kind, and much quicker to fuzz than 384 lines.
std::string compactPlate(const std::string& text) {
    constexpr int HeaderLines = 4;
    constexpr int MappedLines = 48;
    std::string compact = firstLines(text, HeaderLines);
    int kept = 0;
    for (std::size_t at = compact.size(); at < text.size() && kept < MappedLines;) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string line = text.substr(at, end - at);
        if (line.find(",-1,") == std::string::npos) {
            compact += line;
            ++kept;
        }
        at = end;
    }
    return compact;
}

std::vector<std::string> channelFileBytes() {
    test::TempFolder folder;
    ChannelTable channels = defaultChannelTable();
    GroupTable groups = defaultGroupTable();
    channels.Threshold[3] = 2.71828;
    channels.Enabled[5] = false;
    groups.Name[1] = "Mutant, line \"7\"";
    writeChannelFiles(channels, groups, folder.path());
    std::vector<std::string> files;
    for (const char* name : {"status.dat", "threshld.dat", "groups.dat", "chgroup.dat"}) {
        files.push_back(fileBytes(folder / name));
    }
    return files;
}

std::string countsBytes(const std::vector<std::int32_t>& minutes) {
    std::string bytes;
    for (std::size_t k = 0; k < minutes.size(); ++k) {
        ActivityRecord record;
        record.elapsedMinutes = minutes[k];
        for (int c = 0; c < ChannelCount; ++c) record.counts[c] = static_cast<std::int16_t>((c * 7 + k * 13) % 40);
        record.temperatureTenths = static_cast<std::int16_t>(k % 2 == 0 ? 252 : 600);
        bytes += encodeActivityRecord(record);
    }
    return bytes;
}

// A frame whose channels dip now and then, as beams crossed by organisms do.
std::string dumpBytes(int rtBuffer, int seed) {
    SampleFrame frame(rtBuffer);
    for (int c = 0; c < ChannelCount; ++c) {
        for (int slot = 0; slot < rtBuffer; ++slot) {
            frame.at(c, slot) = static_cast<std::int16_t>((slot + c + seed) % 7 == 0 ? 1200 : 3000 + (c % 50));
        }
    }
    return encodeRealTimeDump(frame);
}

std::string repeated(const std::string& bytes, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += bytes;
    return all;
}

std::string int32Bytes(std::int32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
    return bytes;
}

void addStoreSeeds(Corpus& corpus, const fs::path& plateFolder) {
    const std::string config = configBytes({5, 7, 4, 0});
    corpus["fuzz_config"] = {config, firstLines(config, 1), configBytes({-3, 2, 0, 120})};

    const std::string setup = setupBytes("z96f", 500, 5);
    const std::string older = setupBytes("z384", 300, 5);
    corpus["fuzz_setup"] = {
        fuzz::joinParts({setup, older, "01022023_1015", older}),
        fuzz::joinParts({firstLines(setup, 5), older, "01022023_1015", older}),
        fuzz::joinParts({firstLines(setup, 6), "", "15012023_0900", older}),
        fuzz::joinParts({"", "", "01022023_1015", setup}),
    };

    // A dozen lines a file hold every kind of value; whole files would only
    // slow the in-memory target down.
    const auto channels = channelFileBytes();
    std::vector<std::string> shortChannels;
    for (const std::string& file : channels) shortChannels.push_back(firstLines(file, 12));
    corpus["fuzz_channel_files"] = {fuzz::joinParts(shortChannels),
                                    fuzz::joinParts({firstLines(channels[0], 6), shortChannels[1], "", shortChannels[3]})};

    for (const auto& entry : fs::directory_iterator(plateFolder)) {
        if (entry.path().extension() != ".dat") continue;
        corpus["fuzz_plate"].push_back(fuzz::joinParts({compactPlate(fileBytes(entry.path())), "B1.1"}));
    }

    GroupAnnotations annotations;
    annotations[1] = {"", "DMSO, 0.1%", 0.1, "%", GroupRole::Negative};
    annotations[2] = {"", "Drug \"A\"", 2.5e-3, "µM", GroupRole::Sample};
    annotations[3] = {"", "", std::nullopt, "", GroupRole::None};
    const std::string groupInfo = groupInfoText(annotations, defaultGroupTable());
    const std::string layout = "well,compound,concentration,unit,role\r\nA2,Drug,1,uM,sample\r\n"
                               "\"B3 C3;D3\",Drug,10,uM,sample\r\nE4-H4,DMSO,,,negative control\r\nGroup5,x,2,uM,positive\r\n";
    corpus["fuzz_groupinfo"] = {fuzz::joinParts({groupInfo, layout}), fuzz::joinParts({firstLines(groupInfo, 2), "A1;x;0,5;uM;sample\n"})};

    std::string recordPlan = std::string(1, 5) + std::string("\x00\x01\x02\x03\x01", 5);
    corpus["fuzz_record_fields"] = {recordPlan + config, recordPlan + setup, std::string(1, 0) + channels[2]};
}

void addAcquisitionSeeds(Corpus& corpus, const fs::path& plateFolder) {
    {
        test::TempFolder folder;
        writeExperimentInfo(folder.path(), {"Dose, 10 \"mM\"", "Second line"});
        corpus["fuzz_subproj"] = {fileBytes(folder / "subproj.dat")};
    }
    {
        test::TempFolder folder;
        writeDefaultPortMap(folder.path());
        corpus["fuzz_comports"] = {fuzz::joinParts({fileBytes(folder / PortMapFileName), "COM4"})};
    }
    corpus["fuzz_counts"] = {countsBytes({60, 120, 180}), countsBytes({1430, 1435, 5, 10}) + "partial"};
    corpus["fuzz_request_head"] = {"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\nHEAD /status.json HTTP/1.1\r\n\r\n",
                                   "POST / HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc"};

    // Small dumps and few of them: the decoder's paths do not depend on the
    // size, and each input is copied several times before it is read.
    const int rtBuffer = 2;
    const std::string header{static_cast<char>(rtBuffer - 1), 12, 1, 40};
    corpus["fuzz_realtime"] = {
        header + fuzz::joinParts({repeated(dumpBytes(rtBuffer, 0), 3), repeated(dumpBytes(rtBuffer, 3), 2), ""}),
        std::string{static_cast<char>(rtBuffer - 1), 0, 6, 10} + dumpBytes(rtBuffer, 1),
    };

    std::string block;
    for (int i = 0; i < 96; ++i) block += {static_cast<char>((i * 40) >> 8 & 0x0F), static_cast<char>(i * 40)};
    std::string registers = {0, 0, 6, 0, 26, 0, 0, 0, 12, 0, static_cast<char>(219), 0, 0, 0, 0, 0};
    corpus["fuzz_replies"] = {block, std::string("\x00\x0F", 2), registers};

    // calvalue.dat: the default file, and a calibrated one with beams outside the plate.
    BeamTable pinHole{};
    BeamTable gain{};
    for (std::size_t c = 0; c < ChannelSlots; ++c) {
        pinHole[c] = static_cast<std::int16_t>(c % 9 == 0 ? 0 : 1 + c % MaxPinHole);
        gain[c] = static_cast<std::int16_t>(c % 9 == 0 ? 0 : c % (MaxGain + 1));
    }
    const std::string calibrated = calibrationFileBytes(pinHole, gain);
    pinHole.fill(DefaultPinHole);
    gain.fill(DefaultGain);
    corpus["fuzz_calvalue"] = {calibrationFileBytes(pinHole, gain), calibrated, firstLines(calibrated, 40)};

    const std::string plate = compactPlate(fileBytes(plateFolder / "z96f.dat"));
    const std::string plate384 = compactPlate(fileBytes(plateFolder / "z384.dat"));
    // The group files' first dozen channels, as in fuzz_channel_files.
    const auto channels = channelFileBytes();
    const std::string groupNames = firstLines(channels[2], 12);
    const std::string channelGroups = firstLines(channels[3], 12);
    corpus["fuzz_report"] = {
        fuzz::joinParts({setupBytes("zf", 500, 3), groupNames, channelGroups, plate, std::string(1, 0) + int32Bytes(60),
                         countsBytes({60, 120, 180})}),
        fuzz::joinParts({setupBytes("zf", 500, 3), groupNames, channelGroups, plate384,
                         std::string(1, 2) + int32Bytes(15), countsBytes({1430, 1435, 5, 10, 20, 40})}),
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_corpus OUT_FOLDER PLATE_FOLDER\n";
        return 2;
    }
    const fs::path out = argv[1];
    Corpus corpus;
    addStoreSeeds(corpus, argv[2]);
    addAcquisitionSeeds(corpus, argv[2]);
    // fuzz_files: a reader's seeds behind its number.
    fs::create_directories(out);
    std::ofstream readerList(out / "fuzz_files.readers");
    for (std::size_t k = 0; k < fuzz::FileReaders.size(); ++k) {
        const std::string target(fuzz::FileReaders[k].target);
        for (const std::string& seed : corpus[target]) corpus["fuzz_files"].push_back(static_cast<char>(k) + seed);
        readerList << target << '\n';
    }
    // Whole files, as the program writes them, go through files only: the
    // in-memory targets take short ones to run fast.
    auto reader = [&](std::string_view target) {
        const auto found = std::find_if(fuzz::FileReaders.begin(), fuzz::FileReaders.end(),
                                        [&](const fuzz::FileReader& file) { return file.target == target; });
        return static_cast<char>(found - fuzz::FileReaders.begin());
    };
    corpus["fuzz_files"].push_back(reader("fuzz_channel_files") + fuzz::joinParts(channelFileBytes()));
    corpus["fuzz_files"].push_back(reader("fuzz_plate") + fuzz::joinParts({fileBytes(fs::path(argv[2]) / "z384.dat"), "P24.1"}));
    for (const auto& [target, seeds] : corpus) {
        fs::create_directories(out / target);
        for (std::size_t i = 0; i < seeds.size(); ++i) {
            std::ofstream(out / target / ("seed-" + std::to_string(i)), std::ios::binary) << seeds[i];
        }
    }
    return 0;
}
