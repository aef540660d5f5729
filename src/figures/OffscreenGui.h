#pragma once
// The painting that figures need, for programs without windows.

#include <QGuiApplication>
#include <memory>

namespace zorvex {

/// A QGuiApplication on the offscreen platform for as long as it lives, made
/// only when the program has no Qt application yet, so that a command-line
/// program draws figures without a display.
class OffscreenGui {
public:
    OffscreenGui();
    ~OffscreenGui();
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

private:
    std::unique_ptr<QGuiApplication> application_;
};

}  // namespace zorvex
