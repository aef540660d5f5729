#pragma once
// The host of the windowed program: the system host whose yield lets the
// event loop run, so long operations keep the windows alive.

#include "platform/Host.h"

namespace zorvex {

class QtHost : public SystemHost {
public:
    void yield() override;
};

}  // namespace zorvex
