#pragma once
// The host of the windowed program: the system host whose yield lets the
// event loop run, so long operations keep the windows alive.

#include "platform/Host.h"

namespace zorvex {

class QtHost : public SystemHost {
public:
    void yield() override;
    /// Runs the event loop until `ms` have passed (or the program quits).
    void pauseResponsive(int ms) override;
};

}  // namespace zorvex
