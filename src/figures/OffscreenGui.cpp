#include "figures/OffscreenGui.h"

#include <cstdio>

namespace zorvex {

namespace {
// QGuiApplication keeps references to these for its whole life.
int arguments = 1;
char programName[] = "zorvex";
char* argumentList[] = {programName, nullptr};

QtMessageHandler previousHandler = nullptr;

// Qt's notes to developers ("XDG_RUNTIME_DIR not set") are no concern of a
// command's user: what fails says why in the command's own message.
void keepSeriousMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtCriticalMsg && type != QtFatalMsg) return;
    if (previousHandler) {
        previousHandler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
}
}  // namespace

OffscreenGui::OffscreenGui() {
    if (QCoreApplication::instance()) return;
    previousHandler = qInstallMessageHandler(keepSeriousMessages);
    // Painting needs no display; a platform that needs one would end the program where none is.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QGuiApplication>(arguments, argumentList);
}

OffscreenGui::~OffscreenGui() {
    if (!application_) return;
    application_.reset();
    qInstallMessageHandler(previousHandler);
}

}  // namespace zorvex
