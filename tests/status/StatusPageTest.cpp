// The page and the JSON made from a snapshot.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "TempFolder.h"
#include "common/Files.h"
#include "status/StatusPage.h"

using namespace zorvex;

TEST(StatusPage, WithoutARunItSaysSoAndShowsTheInstrument) {
    RunStatus status;
    status.instrument = InstrumentLink::Online;
    status.port = "COM4 (/dev/ttyUSB0)";
    const std::string html = statusHtml(status, {});
    EXPECT_NE(html.find("<h1 id=\"run-name\">No acquisition is running</h1>"), std::string::npos) << html;
    EXPECT_NE(html.find("Online on COM4 (/dev/ttyUSB0)"), std::string::npos);
    EXPECT_EQ(html.find("bins-saved"), std::string::npos);
    EXPECT_NE(html.find("<meta http-equiv=\"refresh\" content=\"30\">"), std::string::npos);
}

TEST(StatusPage, EveryRunTextIsEscaped) {
    RunStatus status;
    status.active = true;
    status.recording = true;
    status.started = "2026-12-06 14:58:00";
    status.name = "<script>alert('x')</script> & \"more\"";
    status.lastWriteError = "<b>";
    status.events = {"2026-12-06 14:58:00  Start of \"<img src=x>\""};
    const std::string html = statusHtml(status, {});
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_EQ(html.find("<img src=x>"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;more&quot;"), std::string::npos);
}

TEST(StatusPage, WaitingInstrumentAndNumbersForPeopleCarryTheirUnits) {
    RunStatus status;
    status.active = true;
    status.recording = true;
    status.started = "2026-12-06 14:58:00";
    status.elapsedMinutes = 125;
    status.lapseMinutes = 1440;
    status.remainingMinutes = 1315;
    status.binsSaved = 4;
    status.binsClosed = 5;
    status.instrument = InstrumentLink::Waiting;
    status.instrumentWait = "Waiting for the instrument since 03:05 (2 min)";
    status.port = "COM4 (/dev/ttyUSB0)";
    status.temperature = 25.25;
    status.setTemperature = 25.0;
    status.freeDiskBytes = 12'345'678'901ULL;
    const std::string html = statusHtml(status, {});
    EXPECT_NE(html.find("<td id=\"instrument-state\" class=\"alert\">Waiting for the instrument"), std::string::npos);
    for (const char* shown : {"Waiting for the instrument since 03:05 (2 min) on COM4 (/dev/ttyUSB0)", "2 h 05 min",
                              "21 h 55 min of 24 h 00 min", "4 of 5 closed", "12.3 GB", "(set point 25.0 \u00B0C"}) {
        EXPECT_NE(html.find(shown), std::string::npos) << shown;
    }
}

TEST(StatusPage, JsonHoldsTheSameNumbersForScripts) {
    RunStatus status;
    status.active = true;
    status.name = "N2";
    status.binsSaved = 4;
    status.binsClosed = 5;
    status.lastBinMinute = 3;
    status.lastBinTemperature = 25.2;
    status.instrument = InstrumentLink::Waiting;
    status.events = {"a", "b"};
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(statusJson(status))).object();
    EXPECT_EQ(json["bins_saved"].toInt(), 4);
    EXPECT_EQ(json["bins_closed"].toInt(), 5);
    EXPECT_EQ(json["last_bin_minute"].toInt(), 3);
    EXPECT_DOUBLE_EQ(json["last_bin_temperature_celsius"].toDouble(), 25.2);
    EXPECT_EQ(json["instrument"].toObject()["state"].toString(), "waiting");
    EXPECT_EQ(json["events"].toArray().size(), 2);
    EXPECT_TRUE(json["free_disk_bytes"].isNull());
}

TEST(StatusPage, LastLinesOfALogSurviveLongAndShortFiles) {
    test::TempFolder folder;
    const auto file = folder.path() / "events.log";
    EXPECT_TRUE(lastLines(file, 50).empty());
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "line " + std::to_string(i) + "\r\n";
    ASSERT_TRUE(writeFile(file, text + "last without end"));
    const auto lines = lastLines(file, 50);
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines.front(), "line 4951");
    EXPECT_EQ(lines.back(), "last without end");
    ASSERT_TRUE(writeFile(file, "one\r\ntwo\r\n"));
    EXPECT_EQ(lastLines(file, 50), (std::vector<std::string>{"one", "two"}));
}
