// A recording against the simulated instrument, ticked by a 30-ms timer as in
// the windows, while 50 clients trickle request heads at its status page
// without end: the page keeps them bounded in number and time, and the
// ticks neither wait for them nor lose a bin.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>
#include <atomic>
#include <thread>
#include <vector>

#include "HttpClient.h"
#include "ScriptedDialogs.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "acquisition/Acquisition.h"
#include "acquisition/DataFiles.h"
#include "device/COM_Module.h"
#include "status/RunWatch.h"
#include "store/ProjectFolders.h"

using namespace zorvex;

namespace {

constexpr int Com = 5;
constexpr int Clients = 50;
constexpr int IdleMs = 3000;
constexpr int Bins = 2;

int freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The windows' owner, reduced to what a run without widgets needs.
class WatchedOwner : public AcquisitionOwner {
public:
    void setTimer(bool enabled, int) override { timerOn = enabled; }
    void binClosed(const BinSummary& summary) override {
        if (watch != nullptr) watch->binClosed(summary);
    }
    void notify(RunEvent event, const std::string& message) override {
        if (watch != nullptr) watch->notify(event, message);
    }
    bool timerOn = false;
    RunWatch* watch = nullptr;
};

// Connects, sends a head a byte at a time until the page closes the
// connection, and again, until `stop`; counts refusals and the longest life.
void trickle(int port, const std::atomic<bool>& stop, std::atomic<int>& refused, std::atomic<long long>& longestMs) {
    const std::string head = "GET / HTTP/1.1\r\nX-Slow: " + std::string(1000, 'a');
    while (!stop) {
        const int fd = test::connectTo("127.0.0.1", port);
        if (fd < 0) continue;
        QElapsedTimer open;
        open.start();
        std::string reply;
        for (std::size_t i = 0; i < head.size() && !stop; ++i) {
            if (::send(fd, &head[i], 1, MSG_NOSIGNAL) != 1) break;
            pollfd wait{fd, POLLIN, 0};
            if (::poll(&wait, 1, 100) > 0) {
                reply = test::readUntilClosed(fd, 100);
                break;
            }
        }
        if (reply.rfind("HTTP/1.1 503", 0) == 0) ++refused;
        if (!stop) longestMs = std::max(longestMs.load(), static_cast<long long>(open.elapsed()));
        ::close(fd);
    }
}

}  // namespace

TEST(StatusUnderLoad, SlowClientsAreBoundedAndTicksKeepTheirPeriodWithoutLosingABin) {
    test::TempFolder program;
    Workspace workspace;
    workspace.programFolder = program.path();
    workspace.config.Actual_Project_Number = 1;
    workspace.projectFolder = projectFolderPath(program.path(), 1);
    std::filesystem::create_directories(workspace.projectFolder);
    workspace.setup = defaultSetup(program.path(), 1);
    workspace.setup.RT_Buffer = Acquisition::MinimumBuffer;
    workspace.setup.Mn[1] = {0, 0, 0, 0, 0, 0};  // no calibration, no auto zero
    workspace.channels = defaultChannelTable();
    workspace.groups = defaultGroupTable();
    workspace.plate = *builtInPlate("z96f");

    test::SimulatedInstrument sim;
    PortMap map = test::missingDevices(program.path());
    map.setDevice(Com, sim.path());
    InstrumentSession session(map);
    ASSERT_EQ(session.comm.CommOpen(Com, "COM5", PortSettingsText), 0);
    session.port = Com;
    AcquisitionOptions options;
    test::ScriptedDialogs dialogs;
    SystemHost host;
    EventLog log(host);
    WatchedOwner owner;
    Acquisition acquisition(workspace, session, options, dialogs, host, owner, log);
    RunWatch watch(acquisition, workspace, session, log, host);
    owner.watch = &watch;
    const int port = freePort();
    ASSERT_FALSE(watch.apply({port, "127.0.0.1", ""}, {16, IdleMs, MaxRequestHeadBytes}));
    ASSERT_TRUE(acquisition.start({NameSource::Given, "Under load"}));
    watch.runStarted();

    std::atomic<bool> stop{false};
    std::atomic<int> refused{0};
    std::atomic<long long> longestMs{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < Clients; ++i) clients.emplace_back(trickle, port, std::cref(stop), std::ref(refused), std::ref(longestMs));

    long long ticks = 0;
    long long longestGapMs = 0;
    int mostOpen = 0;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, static_cast<long long>(sinceTick.restart()));
        watch.tickStarting();
        acquisition.tick();
        watch.tickEnded();
        ++ticks;
        mostOpen = std::max(mostOpen, watch.openConnections());
    });
    timer.start(Acquisition::TimerIntervalMs);
    QElapsedTimer waited;
    waited.start();
    while (acquisition.binsClosed() < Bins && waited.elapsed() < 120000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    timer.stop();
    stop = true;
    for (auto& client : clients) client.join();
    acquisition.stop();

    ASSERT_EQ(acquisition.binsClosed(), Bins);
    // No bin lost: every sample is a tick, every bin is in counts.bin.
    EXPECT_EQ(acquisition.totalSamples(), ticks);
    EXPECT_EQ(acquisition.binsRecorded(), Bins);
    EXPECT_EQ(readActivityRecords(acquisition.folder()).size(), static_cast<std::size_t>(Bins));
    // Nothing held the event loop: a client waited on would stop the ticks
    // for its whole idle time (a busy machine alone delays a tick far less).
    EXPECT_LT(longestGapMs, IdleMs) << "a tick waited " << longestGapMs << " ms";
    EXPECT_LE(mostOpen, 16);
    EXPECT_GT(refused, 0);
    EXPECT_LT(longestMs, 3 * IdleMs);
    EXPECT_EQ(watch.view().status.binsSaved, Bins);
}
