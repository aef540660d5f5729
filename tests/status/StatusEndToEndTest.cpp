// The status page of a real `zorvex-cli record` against `zorvex-sim`, seen by
// a plain client and by headless Chromium: the numbers are the acquisition
// folder's, the page shows the run and its group figure, a pulled cable
// shows as waiting within one refresh, and the notify command hears of the
// loss, the return and the exit.

#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <cstring>
#include <fstream>
#include <functional>
#include <thread>

#include "HttpClient.h"
#include "TempFolder.h"
#include "common/Files.h"

namespace {

using zorvex::readFile;
namespace fs = std::filesystem;

constexpr int RecordBytes = 774;
constexpr int RefreshMs = 30000;  // the page's own reload period

int freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Runs the event loop until `done` or `limitMs`; whether it came true.
bool waitFor(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return true;
}

// counts.bin read as its format says: 774-byte records, the minute a
// little-endian int32 at 0, the temperature in tenths an int16 at 772.
struct CountsFile {
    int records = 0;
    int lastMinute = 0;
    int lastTenths = 0;
};

CountsFile readCounts(const fs::path& file) {
    const std::string bytes = readFile(file).value_or("");
    CountsFile counts;
    counts.records = static_cast<int>(bytes.size() / RecordBytes);
    if (counts.records == 0) return counts;
    const std::size_t last = static_cast<std::size_t>(counts.records - 1) * RecordBytes;
    std::int32_t minute = 0;
    std::int16_t tenths = 0;
    std::memcpy(&minute, bytes.data() + last, 4);
    std::memcpy(&tenths, bytes.data() + last + 772, 2);
    counts.lastMinute = minute;
    counts.lastTenths = tenths;
    return counts;
}

class StatusEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        run(ZORVEX_CLI_EXE, {"init", program.path().string()});
        shortBins();
        port = freePort();
        fs::create_directories(program / "notified");
        const fs::path script = program / "notify.sh";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$ZORVEX_EVENT\" \"$ZORVEX_TIME\" \"$ZORVEX_MESSAGE\" "
                                 "\"$ZORVEX_ACQUISITION\" \"$ZORVEX_PROJECT\" > \"$1/$ZORVEX_EVENT.env\"\n";
        fs::permissions(script, fs::perms::owner_all);
        notify = script.string() + " " + (program / "notified").string();
    }

    void TearDown() override {
        for (QProcess* process : {&cli, &sim}) {
            if (process->state() == QProcess::NotRunning) continue;
            process->terminate();
            if (!process->waitForFinished(20000)) process->kill();
            process->waitForFinished(5000);
        }
    }

    void run(const char* program, const std::vector<std::string>& arguments) {
        QProcess process;
        QStringList list;
        for (const auto& argument : arguments) list << QString::fromStdString(argument);
        process.start(program, list);
        ASSERT_TRUE(process.waitForFinished(60000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }

    // RT_Buffer 200: a bin every 6 s instead of 15 s.
    void shortBins() {
        const fs::path setup = program / "p00001" / "setup.dat";
        std::string text = readFile(setup).value_or("");
        std::size_t line = 0;
        for (int i = 0; i < 3; ++i) line = text.find("\r\n", line) + 2;
        std::size_t field = line;
        for (int i = 0; i < 3; ++i) field = text.find(',', field) + 1;
        text.replace(field, text.find(',', field) - field, "200");
        ASSERT_TRUE(zorvex::writeFile(setup, text));
    }

    void startSimulator() {
        const std::string before = comLine();
        sim.start(ZORVEX_SIM_EXE, {"--program-folder", QString::fromStdString(program.path().string()), "--com", "4",
                                   "--seconds", "400", "--reconnect-after", "15"});
        ASSERT_TRUE(sim.waitForStarted());
        ASSERT_TRUE(waitFor([&] { return comLine() != before; }, 20000)) << "the simulator did not take COM4";
    }

    std::string comLine() {
        std::ifstream in(program / "comports.dat");
        std::string line;
        for (int i = 0; i < 5 && std::getline(in, line);) ++i;
        return line;
    }

    QJsonObject statusJson() {
        const auto reply = zorvex::test::request(port, "GET", "/status.json");
        if (reply.status != 200) return {};
        return QJsonDocument::fromJson(QByteArray::fromStdString(reply.body)).object();
    }

    std::string browserDom() {
        zorvex::test::TempFolder profile;
        QProcess chromium;
        chromium.start("chromium", {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                                    "--disable-background-networking", "--disable-component-update", "--disable-sync",
                                    "--user-data-dir=" + QString::fromStdString(profile.path().string()), "--dump-dom",
                                    QString("http://127.0.0.1:%1/").arg(port)});
        waitFor([&] { return chromium.state() == QProcess::NotRunning; }, 90000);
        return chromium.readAllStandardOutput().toStdString();
    }

    std::vector<std::string> notified(const std::string& event) {
        std::vector<std::string> lines;
        std::ifstream in(program / "notified" / (event + ".env"));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    zorvex::test::TempFolder program;
    QProcess sim;
    QProcess cli;
    int port = 0;
    std::string notify;
};

}  // namespace

TEST_F(StatusEndToEnd, RecordingIsWatchedByABrowserAScriptAndTheNotifyCommand) {
    startSimulator();
    cli.start(ZORVEX_CLI_EXE, {"record", "--program-folder", QString::fromStdString(program.path().string()),
                               "--minutes", "10", "--name", "Watched run", "--no-auto-calibration", "--no-auto-zero",
                               "--status-port", QString::number(port), "--notify", QString::fromStdString(notify)});
    ASSERT_TRUE(cli.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return statusJson()["bins_saved"].toInt() >= 1; }, 90000))
        << cli.readAllStandardError().toStdString();

    // A plain client: the numbers are the folder's, read while no bin closed.
    const fs::path folder = statusJson()["folder"].toString().toStdString();
    ASSERT_TRUE(fs::is_directory(folder));
    QJsonObject json;
    CountsFile counts;
    for (bool stable = false; !stable;) {
        const CountsFile before = readCounts(folder / "counts.bin");
        json = statusJson();
        counts = readCounts(folder / "counts.bin");
        stable = before.records == counts.records;
    }
    EXPECT_EQ(json["bins_saved"].toInt(), counts.records);
    EXPECT_EQ(json["last_bin_minute"].toInt(), counts.lastMinute);
    EXPECT_DOUBLE_EQ(json["last_bin_temperature_celsius"].toDouble(), counts.lastTenths / 10.0);
    EXPECT_EQ(json["name"].toString(), "Watched run");
    EXPECT_NE(readFile(folder / "subproj.dat").value_or("").find("\"Watched run\""), std::string::npos);
    EXPECT_EQ(json["instrument"].toObject()["state"].toString(), "online");

    // The browser: the run's name, the bins saved and the group figure, which
    // comes with the first whole minute.
    ASSERT_TRUE(waitFor([&] { return zorvex::test::request(port, "GET", "/groups.svg").status == 200; }, 120000));
    const std::string page = browserDom();
    EXPECT_NE(page.find("<h1 id=\"run-name\">Watched run</h1>"), std::string::npos) << page;
    EXPECT_NE(page.find("<td id=\"bins-saved\">"), std::string::npos) << page;
    EXPECT_NE(page.find("<img id=\"groups-figure\" src=\"/groups.svg\""), std::string::npos) << page;
    EXPECT_NE(zorvex::test::request(port, "GET", "/groups.svg").body.find("<svg"), std::string::npos);

    // The cable pulled: waiting within one refresh of the page.
    ::kill(static_cast<pid_t>(sim.processId()), SIGUSR1);
    QElapsedTimer sinceLoss;
    sinceLoss.start();
    ASSERT_TRUE(waitFor([&] { return statusJson()["instrument"].toObject()["state"].toString() == "waiting"; },
                        RefreshMs));
    EXPECT_LT(sinceLoss.elapsed(), RefreshMs);
    EXPECT_NE(browserDom().find("Waiting for the instrument since"), std::string::npos);

    // Back after the simulator's power cycle; then the program is ended.
    ASSERT_TRUE(waitFor([&] { return statusJson()["instrument"].toObject()["state"].toString() == "online"; }, 60000));
    cli.terminate();
    ASSERT_TRUE(cli.waitForFinished(40000));
    EXPECT_EQ(cli.exitCode(), 0);

    const auto lost = notified("instrument-lost");
    ASSERT_EQ(lost.size(), 5u);
    EXPECT_EQ(lost[0], "instrument-lost");
    EXPECT_NE(lost[2].find("The instrument stopped answering on COM4"), std::string::npos) << lost[2];
    EXPECT_EQ(lost[3], folder.string());
    EXPECT_EQ(lost[4], "1 Demo");  // project 1 of a new program folder
    const auto back = notified("instrument-back");
    ASSERT_EQ(back.size(), 5u);
    EXPECT_NE(back[2].find("The instrument answers again on COM4"), std::string::npos) << back[2];
    const auto exit = notified("exit");
    ASSERT_EQ(exit.size(), 5u);
    EXPECT_EQ(exit[2], "Program exit (SIGTERM): the acquisition is stopped");
    const std::string events = readFile(folder / "events.log").value_or("");
    EXPECT_EQ(events.find("Notify command"), std::string::npos) << events;
}
