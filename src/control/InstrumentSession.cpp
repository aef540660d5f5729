#include "control/InstrumentSession.h"

#include "device/COM_Module.h"

namespace zorvex {

void InstrumentSession::sendOutputs() {
    if (!online()) return;
    DeviceSend(comm, port, RequestSetOutputs, outputStateCode(outputs), ModeRequest);
}

void InstrumentSession::outputsChanged(bool acquisitionRunning) {
    if (acquisitionRunning) {
        pendingSend = true;
    } else {
        sendOutputs();
    }
}

}  // namespace zorvex
