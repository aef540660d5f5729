#include "figures/OffscreenGui.h"

namespace zorvex {

namespace {
// QGuiApplication keeps references to these for its whole life.
int arguments = 1;
char programName[] = "zorvex";
char* argumentList[] = {programName, nullptr};
}  // namespace

OffscreenGui::OffscreenGui() {
    if (QCoreApplication::instance()) return;
    // Painting needs no display; a platform that needs one would end the program where none is.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QGuiApplication>(arguments, argumentList);
}

OffscreenGui::~OffscreenGui() = default;

}  // namespace zorvex
