#include "ui/common/QtHost.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace zorvex {

void QtHost::yield() { QCoreApplication::processEvents(); }

void QtHost::pauseResponsive(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace zorvex
