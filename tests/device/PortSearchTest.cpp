// The start-up port search against simulated instruments on ptys; every port
// without an instrument names a missing device.

#include <gtest/gtest.h>

#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "device/PortSearch.h"

using namespace zorvex;
using test::answeringProbe;
using test::SimulatedInstrument;

namespace {

const std::string Prompt = "COM(15) PORT ERROR. Type New Port number or <Enter> to go Offline";

class PortSearch : public ::testing::Test {
protected:
    PortSearchResult search(int serialCom) {
        ModCOMM& port = comm();
        return searchInstrumentPort(port, serialCom, dialogs, host,
                                    [this](const std::string& text) { statusTexts.push_back(text); });
    }
    ModCOMM& comm() {
        if (!comm_) comm_ = std::make_unique<ModCOMM>(map);
        return *comm_;
    }
    void place(int com, const SimulatedInstrument& instrument) { map.setDevice(com, instrument.path()); }
    std::vector<std::string> scanTexts(int from, int to) {
        std::vector<std::string> texts;
        for (int port = from; port <= to; ++port) texts.push_back(portSearchText(port));
        return texts;
    }

    test::TempFolder folder;
    PortMap map = test::missingDevices(folder.path());
    test::ManualHost host;
    test::ScriptedDialogs dialogs;
    std::vector<std::string> statusTexts;

private:
    std::unique_ptr<ModCOMM> comm_;
};

}  // namespace

TEST_F(PortSearch, InstrumentOnTheConfiguredPortIsFoundAndKeptOpen) {
    SimulatedInstrument instrument;
    place(4, instrument);
    PortSearchResult result = search(4);
    EXPECT_TRUE(result.online);
    EXPECT_EQ(result.serialCom, 4);
    EXPECT_TRUE(result.portOpen);
    EXPECT_FALSE(result.saveConfig);
    EXPECT_TRUE(comm().isOpen(4));
    EXPECT_EQ(statusTexts, std::vector<std::string>{"STARTING........... Opening Communication Port [4]"});
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(host.elapsedMs, 100 + 5);
}

TEST_F(PortSearch, ProbeOf14IsRejectedFirstAnd10AcceptedDuringTheScan) {
    SimulatedInstrument configured(answeringProbe(14));
    SimulatedInstrument later(answeringProbe(10));
    place(6, configured);
    place(3, later);
    PortSearchResult result = search(6);
    EXPECT_TRUE(result.online);
    EXPECT_EQ(result.serialCom, 3);
    EXPECT_TRUE(comm().isOpen(3));
    EXPECT_FALSE(comm().isOpen(6));
    std::vector<std::string> expected = scanTexts(6, 6);
    for (const std::string& text : scanTexts(1, 3)) expected.push_back(text);
    EXPECT_EQ(statusTexts, expected);
}

TEST_F(PortSearch, ProbeOutsideTheWindowIsTriedTwiceOnEachScannedPort) {
    SimulatedInstrument wrong(answeringProbe(201));
    SimulatedInstrument right(answeringProbe(200));
    place(2, wrong);
    place(5, right);
    PortSearchResult result = search(16);
    EXPECT_EQ(result.serialCom, 5);
    EXPECT_TRUE(result.online);
    int probes = 0;
    for (const sim::Frame& frame : wrong.instrument.recentFrames()) probes += frame[2] == 0x00;
    EXPECT_EQ(probes, 2);
}

TEST_F(PortSearch, NoInstrumentScansToFifteenAndAnEmptyAnswerGoesOffline) {
    PortSearchResult result = search(4);
    EXPECT_FALSE(result.online);
    EXPECT_FALSE(result.portOpen);
    EXPECT_FALSE(result.saveConfig);
    EXPECT_EQ(result.serialCom, 15);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{Prompt});
    std::vector<std::string> expected = scanTexts(4, 4);
    for (const std::string& text : scanTexts(1, 15)) expected.push_back(text);
    EXPECT_EQ(statusTexts, expected);
}

TEST_F(PortSearch, TypingZeroSixteenOrTextGoesOfflineWithoutAnotherMessage) {
    for (const char* typed : {"0", "16", "15.5", "-3", "abc"}) {
        dialogs.shown.clear();
        dialogs.inputs = {typed};
        PortSearchResult result = search(4);
        EXPECT_FALSE(result.online) << typed;
        EXPECT_FALSE(result.saveConfig) << typed;
        EXPECT_EQ(result.serialCom, 15) << typed;
        EXPECT_EQ(dialogs.shown, std::vector<std::string>{Prompt}) << typed;
    }
}

TEST_F(PortSearch, TypedPortThatOpensIsKeptOpenAndSaved) {
    SimulatedInstrument unanswered(answeringProbe(5));
    place(9, unanswered);
    dialogs.inputs = {"9"};
    PortSearchResult result = search(4);
    EXPECT_TRUE(result.online);
    EXPECT_TRUE(result.portOpen);
    EXPECT_TRUE(result.saveConfig);
    EXPECT_EQ(result.serialCom, 9);
    EXPECT_TRUE(comm().isOpen(9));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{Prompt});
}

TEST_F(PortSearch, TypedPortThatDoesNotOpenGoesOfflineWithItsMessage) {
    dialogs.inputs = {"7"};
    PortSearchResult result = search(4);
    EXPECT_FALSE(result.online);
    EXPECT_FALSE(result.saveConfig);
    EXPECT_EQ(result.serialCom, 7);
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{Prompt, "Invalid Port Number. Offline Mode"}));
}

TEST(PortMenu, StartUpUnchecksOneToNineAndChecksThePort) {
    PortMenuChecks checks{};
    checks[2] = true;
    checks[11] = true;
    PortMenuChecks after = portMenuAfterSearch(checks, 5);
    for (int item = 1; item <= 15; ++item) EXPECT_EQ(after[item - 1], item == 5 || item == 12) << item;
    EXPECT_EQ(portMenuAfterSearch(PortMenuChecks{}, 16), PortMenuChecks{});
}

TEST(PortMenu, ClickChecksOnlyTheClickedItem) {
    PortMenuChecks after = portMenuAfterClick(13);
    for (int item = 1; item <= 15; ++item) EXPECT_EQ(after[item - 1], item == 13) << item;
}
