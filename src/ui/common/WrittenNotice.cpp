#include "ui/common/WrittenNotice.h"

namespace zorvex {

namespace {
QString notice(const QString& what, const std::filesystem::path& path) {
    return what + ": " + QString::fromStdString(path.string());
}
}  // namespace

void showWritten(QStatusBar* status, const QString& what, const std::filesystem::path& path) {
    status->showMessage(notice(what, path));
}

bool openWritten(QStatusBar* status, Host& host, const QString& what, const std::filesystem::path& path) {
    showWritten(status, what, path);
    if (host.openDocument(path)) return true;
    status->showMessage(notice(what, path) + "  (no program on this desktop opens it: open it from there)");
    return false;
}

}  // namespace zorvex
