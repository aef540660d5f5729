#include "ui/common/QtHost.h"

#include <QCoreApplication>

namespace zorvex {

void QtHost::yield() { QCoreApplication::processEvents(); }

}  // namespace zorvex
