#pragma once
// The status line that tells the operator what the program wrote and where,
// and whether the desktop could open it.

#include <QStatusBar>
#include <QString>
#include <filesystem>

#include "platform/Host.h"

namespace zorvex {

/// Shows `what` + ": " + the path on `status` until the next notice.
void showWritten(QStatusBar* status, const QString& what, const std::filesystem::path& path);

/// Opens `path` with the desktop's program; when none opens it, says so on
/// `status` after `what` and the path, so the operator can open it by hand.
/// False when it was not opened.
bool openWritten(QStatusBar* status, Host& host, const QString& what, const std::filesystem::path& path);

}  // namespace zorvex
