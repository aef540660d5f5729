// The main window's instrument tools: Read Blank, the device test on the
// activity panel, the factory settings window, and the help document.

#include <QStatusBar>

#include "acquisition/Acquisition.h"
#include "common/Files.h"
#include "control/DeviceTest.h"
#include "control/FactoryTemperatureCalibration.h"
#include "ui/common/WrittenNotice.h"
#include "ui/factory/Frm_Factory.h"
#include "ui/main/DeviceTestView.h"
#include "ui/main/Frm_Main.h"
#include "ui/offline/Frm_offline.h"
#include "ui/setup/Frm_setup.h"

namespace zorvex {

void Frm_Main::connectTools() {
    deviceView_ = std::make_unique<DeviceTestView>(Picact, picturetime, lbl_autostart, *live_);
    deviceTest_ = std::make_unique<DeviceTest>(session_, host_, dialogs_, *deviceView_);
    factory_ = std::make_unique<Frm_Factory>(session_, host_, dialogs_);

    connect(Cmd_readblank, &QPushButton::clicked, this, &Frm_Main::onReadBlank);
    Timer_test->setInterval(DeviceTestTickMs);
    connect(mnstatustest, &QAction::triggered, this, &Frm_Main::onDeviceTest);
    connect(Timer_test, &QTimer::timeout, this, &Frm_Main::onDeviceTestTick);
    connect(mn_factory, &QAction::triggered, this, &Frm_Main::onFactorySettings);
    connect(factory_.get(), &Frm_Factory::closed, this, [this] {
        // Shown again where the operator left it: a window manager places a
        // window mapped again anew, and takes a position only once it is mapped.
        show();
        restoreGeometry(geometryBeforeFactory_);
    });
    // The program folder, not the working folder: the program may be started from anywhere.
    connect(mncontent, &QAction::triggered, this, [this] {
        const std::filesystem::path guide = workspace_.programFolder / "zorvex_help.pdf";
        if (fileExists(guide)) {
            openWritten(statusBar(), host_, "Guide", guide);
        } else {
            showWritten(statusBar(), "The guide is missing: copy zorvex_help.pdf to", workspace_.programFolder);
        }
    });
}

void Frm_Main::blankReadingStarted(const std::string& text) {
    CmdSetup->setEnabled(false);
    CmdOffline->setEnabled(false);
    setup_->hide();
    offline_->hide();
    picturetime->clear();
    lblcalibrando->setText(QString::fromStdString(text));
    lblcalibrando->show();
}

void Frm_Main::blankReadingNews(const std::string& text) {
    lblcalibrando->setText(QString::fromStdString(text));
    lblcalibrando->repaint();
}

void Frm_Main::blankReadingEnded() {
    lblcalibrando->hide();
    // Started while stopped, the reading locked Setup and OffLine with no run
    // whose stop would free them again.
    if (acquisition_->state() == AcquisitionState::Stopped) {
        CmdSetup->setEnabled(true);
        CmdOffline->setEnabled(true);
    }
}

void Frm_Main::onDeviceTest() {
    if (refuseWhileSearching()) return;
    Timer_test->stop();
    if (deviceTest_->begin(acquisition_->state() != AcquisitionState::Stopped)) Timer_test->start();
}

void Frm_Main::onDeviceTestTick() {
    if (!deviceTest_->tick()) Timer_test->stop();
}

void Frm_Main::stopDeviceTest() {
    Timer_test->stop();
    if (!deviceTest_->running()) return;
    // A stop during the test leaves the beams as they are but not the grid.
    deviceTest_->stop();
    deviceView_->restorePanel();
}

void Frm_Main::onFactorySettings() {
    if (refuseWhileSearching()) return;
    if (!factoryWindowAllowed(session_.online(), acquisition_->state() != AcquisitionState::Stopped, dialogs_)) {
        return;
    }
    geometryBeforeFactory_ = saveGeometry();
    hide();
    factory_->open();
}

}  // namespace zorvex
