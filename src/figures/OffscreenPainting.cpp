#include "figures/OffscreenPainting.h"

#include <cstdio>

namespace zorvex {

namespace {

QtMessageHandler previousHandler = nullptr;

// Qt's notes to developers ("XDG_RUNTIME_DIR not set") are no concern of a
// command's user: a figure that fails says why in its own message.
void keepSeriousMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtCriticalMsg && type != QtFatalMsg) return;
    if (previousHandler) {
        previousHandler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
}

}  // namespace

OffscreenPainting::OffscreenPainting() {
    if (QCoreApplication::instance()) return;
    previousHandler = qInstallMessageHandler(keepSeriousMessages);
    // Files need no screen: offscreen even where a display is set, so that a
    // display that has gone away cannot end the program.
    application_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

OffscreenPainting::~OffscreenPainting() {
    if (!application_) return;
    application_.reset();
    qInstallMessageHandler(previousHandler);
}

}  // namespace zorvex
