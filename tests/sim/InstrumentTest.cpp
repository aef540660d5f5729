// The instrument model from the wire: bytes in, bytes out.

#include <gtest/gtest.h>

#include <algorithm>

#include "Instrument.h"
#include "TempFolder.h"
#include "common/Files.h"

using namespace zorvex::sim;

namespace {

std::string frame(int mode, int code, int argument) {
    return {'\xFF', static_cast<char>(mode), static_cast<char>(code), static_cast<char>(argument), '\xF0'};
}
std::string bytes(std::initializer_list<int> values) {
    std::string text;
    for (int value : values) text += static_cast<char>(value);
    return text;
}

const std::string TemperatureRequest = frame(0x00, 0x21, 0);

}  // namespace

TEST(Instrument, AnswersEachRequestOfTheProtocol) {
    Instrument instrument({});
    EXPECT_EQ(instrument.receive(frame(0, 0, 0), 0), bytes({0, 50}));
    EXPECT_EQ(instrument.receive(frame(0, 0x10, 7), 0), "");
    EXPECT_EQ(instrument.outputState(), 7);
    EXPECT_EQ(instrument.receive(frame(0, 0x20, 133), 0), bytes({219, 133}));
    EXPECT_EQ(instrument.receive(TemperatureRequest, 0), bytes({96, 0}));  // 22 degrees on the sensor's line
    EXPECT_EQ(instrument.receive(frame(0, 0x30, 64), 0).size(), 192u);
    EXPECT_EQ(instrument.receive(frame(0x81, 0x48, 0x43), 0), bytes({0x48, 0x43}));
    EXPECT_EQ(instrument.channelSetting(200), 0x43);
    EXPECT_EQ(instrument.receive(frame(0x80, 0x05, 0x21), 0), bytes({0x05, 0x21}));
    EXPECT_EQ(instrument.channelSetting(5), 0x21);
    EXPECT_EQ(instrument.receive(frame(0x80, 132, 11), 0), bytes({132, 11}));
    EXPECT_EQ(instrument.factoryRegisters()[4], 11);
}

TEST(Instrument, ABlipAnswersNothingThenComesBackAtPowerOnAndLogsTheStateBefore) {
    InstrumentConfig config;
    config.blipAt = 10;
    config.blipSeconds = 2;
    Instrument instrument(config);
    std::vector<std::string> log;
    instrument.setLog([&log](const std::string& line) { log.push_back(line); });
    instrument.receive(frame(0, 0x10, 4), 1);
    instrument.receive(frame(0x80, 0x05, 0x21), 1);
    EXPECT_EQ(instrument.receive(frame(0, 0, 0), 9.9), bytes({0, 50}));
    EXPECT_EQ(instrument.receive(frame(0, 0, 0), 10), "");
    EXPECT_EQ(instrument.receive(frame(0x80, 0x05, 0x22), 11.9), "");  // lost with the power
    EXPECT_EQ(instrument.receive(frame(0, 0, 0), 12), bytes({0, 50}));
    EXPECT_EQ(instrument.outputState(), 0);
    EXPECT_EQ(instrument.channelSetting(5), 3 * 32 + 2);
    ASSERT_FALSE(log.empty());
    const auto before = std::find_if(log.begin(), log.end(), [](const std::string& line) {
        return line.find("NOTE state before the blip: outputs 04 beams ") != std::string::npos;
    });
    ASSERT_NE(before, log.end());
    EXPECT_NE(before->find(" 62 62 62 62 62 21 62 "), std::string::npos) << *before;
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.find("NOTE power on") != std::string::npos; }),
              1);
}

TEST(Instrument, IgnoresRequestsOutsideTheProtocol) {
    Instrument instrument({});
    for (const std::string& request : {frame(0, 0, 1), frame(0, 0x10, 8), frame(0, 0x20, 127), frame(0, 0x20, 136),
                                       frame(0, 0x21, 1), frame(0, 0x30, 16), frame(0, 0x30, 128), frame(0, 0x55, 0),
                                       frame(0x80, 135, 1), frame(0x82, 1, 1)}) {
        EXPECT_EQ(instrument.receive(request, 0), "") << int(request[1]) << ' ' << int(request[2]);
    }
    EXPECT_EQ(instrument.outputState(), 0);
    EXPECT_EQ(instrument.factoryRegisters(), DefaultFactoryRegisters);
}

TEST(Instrument, ResynchronisesOnFrameMarksAfterGarbage) {
    Instrument instrument({});
    EXPECT_EQ(instrument.receive(bytes({0x12, 0x34, 0xFF}) + TemperatureRequest, 0), bytes({96, 0}));
    // A frame whose end mark is wrong is dropped; the one after it still counts.
    EXPECT_EQ(instrument.receive(bytes({0xFF, 0, 0x21, 0, 0x00}) + frame(0, 0x20, 129), 0), bytes({6, 129}));
    // A frame split over several arrivals is answered once it is whole.
    EXPECT_EQ(instrument.receive(bytes({0xFF, 0x00}), 0), "");
    EXPECT_EQ(instrument.receive(bytes({0x20, 130}), 0), "");
    EXPECT_EQ(instrument.receive(bytes({0xF0}), 0), bytes({25, 130}));
    // Two frames in one arrival get both replies.
    EXPECT_EQ(instrument.receive(frame(0, 0x20, 128) + frame(0, 0x20, 129), 0), bytes({0, 128, 6, 129}));
    EXPECT_EQ(instrument.recentFrames().size(), 5u);
}

TEST(Instrument, LogsFramesRepliesAndSkippedBytes) {
    Instrument instrument({});
    std::vector<std::string> lines;
    instrument.setLog([&lines](const std::string& line) { lines.push_back(line); });
    instrument.receive(bytes({0x12}) + frame(0, 0, 0), 1.5);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "1.500 SKIP 12");
    EXPECT_EQ(lines[1], "1.500 RX FF 00 00 00 F0");
    EXPECT_EQ(lines[2], "1.500 TX 00 32");
}

TEST(Instrument, FaultsShortenCorruptSilenceAndSwallowEchoes) {
    Instrument instrument({});
    instrument.setFaults({.shortBlock = 1.0});
    EXPECT_EQ(instrument.receive(frame(0, 0x30, 0), 0).size(), 191u);
    instrument.setFaults({.faultyBlock = 1.0});
    std::string block = instrument.receive(frame(0, 0x30, 0), 0);
    ASSERT_EQ(block.size(), 192u);
    int highBytesAbove15 = 0;
    for (std::size_t i = 0; i < block.size(); i += 2) highBytesAbove15 += static_cast<unsigned char>(block[i]) > 15;
    EXPECT_EQ(highBytesAbove15, 1);
    instrument.setFaults({.silent = 1.0});
    EXPECT_EQ(instrument.receive(frame(0, 0, 0), 0), "");
    instrument.setFaults({.noEcho = 1.0});
    EXPECT_EQ(instrument.receive(frame(0x80, 3, 0x44), 0), "");
    EXPECT_EQ(instrument.channelSetting(3), 0x44);
}

TEST(Instrument, SameSeedGivesTheSameBlocks) {
    InstrumentConfig config;
    config.seed = 7;
    Instrument first(config), second(config);
    config.seed = 8;
    Instrument other(config);
    std::string a, b, c;
    for (int i = 0; i < 20; ++i) {
        a += first.receive(frame(0, 0x30, 32), 0);
        b += second.receive(frame(0, 0x30, 32), 0);
        c += other.receive(frame(0, 0x30, 32), 0);
    }
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

TEST(Instrument, PlateFollowsTheElementAndDriftsBackToTheRoom) {
    Instrument instrument({});
    instrument.receive(frame(0, 0x10, 3), 0);  // heating, element on
    instrument.receive(TemperatureRequest, 600);
    double heated = instrument.plateDegrees();
    EXPECT_GT(heated, 27.0);
    instrument.receive(frame(0, 0x10, 1), 600);  // cooling, element on
    instrument.receive(TemperatureRequest, 1800);
    double cooled = instrument.plateDegrees();
    EXPECT_LT(cooled, heated - 5.0);
    instrument.receive(frame(0, 0x10, 0), 1800);
    std::string reply = instrument.receive(TemperatureRequest, 20000);
    EXPECT_NEAR(instrument.plateDegrees(), 22.0, 0.1);
    EXPECT_EQ(reply, bytes({96, 0}));
}

TEST(FactoryState, WrittenRegistersSurviveARestart) {
    zorvex::test::TempFolder folder;
    InstrumentConfig config;
    config.stateFile = folder / "factory.dat";
    {
        Instrument instrument(config);
        instrument.receive(frame(0x80, 131, 1), 0);
        instrument.receive(frame(0x80, 132, 19), 0);
    }
    std::optional<FactoryBytes> stored = loadFactoryState(config.stateFile);
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, (FactoryBytes{0, 6, 25, 1, 19, 219, 0, 0}));
}

TEST(FactoryState, GarbledOrTruncatedFilesAreRefused) {
    zorvex::test::TempFolder folder;
    ASSERT_TRUE(saveFactoryState(folder / "good.dat", DefaultFactoryRegisters));
    std::optional<std::string> good = zorvex::readFile(folder / "good.dat");
    ASSERT_TRUE(good);
    for (const std::string& text : {good->substr(0, good->size() - 8), std::string("\"h\"\r\n128,256\r\n"),
                                    std::string("\"h\"\r\n129,0\r\n"), std::string("xyz"), std::string()}) {
        zorvex::writeFile(folder / "bad.dat", text);
        EXPECT_FALSE(loadFactoryState(folder / "bad.dat")) << text;
    }
    EXPECT_FALSE(loadFactoryState(folder / "missing.dat"));
}
