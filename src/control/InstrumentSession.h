#pragma once
// Instrument-side state that outlives a project: the serial port table, the
// operating mode decided once at start-up, and the factory temperature
// calibration read from the instrument.

#include "device/FactoryCalibration.h"
#include "device/ModCOMM.h"
#include "device/PortMap.h"

namespace zorvex {

enum class OperatingMode { Online, Offline };

class InstrumentSession {
public:
    explicit InstrumentSession(PortMap portMap = defaultPortMap()) : comm(std::move(portMap)) {}

    ModCOMM comm;
    OperatingMode mode = OperatingMode::Online;
    int port = 0;  ///< the open port of an online run
    FactoryCalibration factory;

    bool online() const { return mode == OperatingMode::Online; }
};

}  // namespace zorvex
