// Settings > "Status page and notify...": checked, saved and applied at once.

#include <gtest/gtest.h>

#include <QAction>
#include <QHostInfo>
#include <QTcpServer>

#include "MainProgram.h"
#include "common/Files.h"
#include "status/RunWatch.h"
#include "status/StatusToken.h"
#include "ui/main/StatusSettingsDialog.h"

using namespace zorvex;

TEST(MainStatusSettings, OkSavesAndAppliesAndShowsTheTokenBeyondLoopback) {
    test::OnlineProgram program;
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.window->findChild<QAction*>("mnstatuspage"), nullptr);
    EXPECT_EQ(program.window->runWatch().port(), 0);  // off until asked for

    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int port = probe.serverPort();
    probe.close();
    StatusSettingsDialog dialog(program.folder.path(), program.window->runWatch(), program.dialogs);
    EXPECT_EQ(dialog.lbl_status_address->text(), "Off");
    dialog.txt_status_port->setValue(port);
    dialog.txt_status_bind->setText("0.0.0.0");
    dialog.txt_notify->setText("notify-send Zorvex");
    ASSERT_TRUE(dialog.applyAndSave());

    const StatusSettings saved = loadStatusSettings(program.folder.path());
    EXPECT_EQ(saved.port, port);
    EXPECT_EQ(saved.bindAddress, "0.0.0.0");
    EXPECT_EQ(saved.notifyCommand, "notify-send Zorvex");
    EXPECT_EQ(program.window->runWatch().port(), port);
    const std::string token = readFile(program.folder / StatusTokenFileName).value_or("");
    ASSERT_EQ(token.size(), 33u);
    EXPECT_EQ(dialog.txt_status_token->text().toStdString() + "\n", token);
    EXPECT_EQ(dialog.lbl_status_address->text().toStdString(),
              "http://" + QHostInfo::localHostName().toStdString() + ":" + std::to_string(port) +
                  "/?token=" + token.substr(0, 32));
}

TEST(MainStatusSettings, UnusableEntriesAreNamedAndNothingIsSaved) {
    test::OnlineProgram program;
    ASSERT_TRUE(program.start());
    StatusSettingsDialog dialog(program.folder.path(), program.window->runWatch(), program.dialogs);
    dialog.txt_status_port->setValue(8080);
    dialog.txt_status_bind->setText("lab-pc");
    EXPECT_FALSE(dialog.applyAndSave());
    ASSERT_FALSE(program.dialogs.shown.empty());
    EXPECT_EQ(program.dialogs.shown.back().rfind("Status address: lab-pc is not an IP address", 0), 0u);

    dialog.txt_status_bind->setText("127.0.0.1");
    dialog.txt_notify->setText("mail -s $(hostname) lab@example.org");
    EXPECT_FALSE(dialog.applyAndSave());
    EXPECT_EQ(program.dialogs.shown.back().rfind("Notify command: a command substitution", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(program.folder / StatusSettingsFileName));
    EXPECT_EQ(program.window->runWatch().port(), 0);
}
