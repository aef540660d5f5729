#pragma once
// Painting figures where there is no display: a QGuiApplication on Qt's
// offscreen platform, made only when the process has none of its own.

#include <QGuiApplication>
#include <memory>

namespace zorvex {

/// Gives writeFigure() the QGuiApplication it needs for as long as it lives.
class OffscreenPainting {
public:
    OffscreenPainting();
    ~OffscreenPainting();
    OffscreenPainting(const OffscreenPainting&) = delete;
    OffscreenPainting& operator=(const OffscreenPainting&) = delete;

private:
    // Qt keeps a reference to the count and the words for the application's life.
    int argc_ = 3;
    char program_[12] = "zorvex-cli";
    char option_[10] = "-platform";
    char platform_[10] = "offscreen";
    char* argv_[4] = {program_, option_, platform_, nullptr};
    std::unique_ptr<QGuiApplication> application_;
};

}  // namespace zorvex
