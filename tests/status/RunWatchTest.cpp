// The watch as the owners use it: settings applied, the token made where it
// is needed, and a page without a run.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>

#include "HttpClient.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "acquisition/Acquisition.h"
#include "common/Files.h"
#include "status/RunWatch.h"
#include "status/StatusToken.h"
#include "store/ProjectFolders.h"

using namespace zorvex;

namespace {

class RunWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        workspace.programFolder = program.path();
        workspace.setup = defaultSetup(program.path(), 1);
        session.mode = OperatingMode::Offline;
    }

    static int freePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    test::TempFolder program;
    Workspace workspace;
    InstrumentSession session;
    AcquisitionOptions options;
    test::ScriptedDialogs dialogs;
    SystemHost host;
    EventLog log{host};
    AcquisitionOwner owner;
    Acquisition acquisition{workspace, session, options, dialogs, host, owner, log};
    RunWatch watch{acquisition, workspace, session, log, host};
};

}  // namespace

TEST_F(RunWatchTest, PortZeroIsOffAndLoopbackMakesNoToken) {
    EXPECT_FALSE(watch.apply({0, LoopbackAddress, ""}));
    EXPECT_EQ(watch.port(), 0);
    const int port = freePort();
    ASSERT_FALSE(watch.apply({port, LoopbackAddress, ""}));
    EXPECT_EQ(watch.port(), port);
    EXPECT_FALSE(std::filesystem::exists(program.path() / StatusTokenFileName));

    const auto reply = test::request(port, "GET", "/status.json");
    ASSERT_EQ(reply.status, 200);
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(reply.body)).object();
    EXPECT_FALSE(json["active"].toBool());
    EXPECT_EQ(json["instrument"].toObject()["state"].toString(), "offline");
    EXPECT_NE(test::request(port, "GET", "/").body.find("No acquisition is running"), std::string::npos);

    ASSERT_FALSE(watch.apply({0, LoopbackAddress, ""}));
    EXPECT_EQ(watch.port(), 0);
    EXPECT_EQ(test::request(port, "GET", "/status.json").status, 0);  // nobody listens any more
}

TEST_F(RunWatchTest, BeyondLoopbackTheTokenIsMadeAndAsked) {
    const int port = freePort();
    ASSERT_FALSE(watch.apply({port, "0.0.0.0", ""}));
    const auto kept = readFile(program.path() / StatusTokenFileName);
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, watch.token() + "\n");
    EXPECT_EQ(test::request(port, "GET", "/status.json").status, 401);
    EXPECT_EQ(test::request(port, "GET", "/status.json?token=" + watch.token()).status, 200);
}

TEST_F(RunWatchTest, PortInUseOrBadAddressIsToldAndThePageStaysOff) {
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    const auto busy = watch.apply({taken.serverPort(), LoopbackAddress, ""});
    ASSERT_TRUE(busy);
    EXPECT_EQ(busy->rfind("Status page: cannot listen on 127.0.0.1 port " + std::to_string(taken.serverPort()), 0), 0u)
        << *busy;
    EXPECT_EQ(watch.port(), 0);
    const auto wrong = watch.apply({8080, "lab-pc", ""});
    ASSERT_TRUE(wrong);
    EXPECT_EQ(wrong->rfind("Status address: lab-pc is not an IP address", 0), 0u) << *wrong;
}
