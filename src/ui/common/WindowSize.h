#pragma once
// The size the three large windows open at: on a 1280 x 800 screen a window
// of 800 pixels pushes its status line and buttons below the edge once the
// window manager adds a title bar.

#include <QSize>

namespace zorvex {

inline constexpr QSize LargeWindowSize{1280, 760};

}  // namespace zorvex
