#pragma once
// Instrument-side state that outlives a project: the serial port table, the
// operating mode decided once at start-up, the factory temperature
// calibration read from the instrument, the outputs last set, and the beam
// sensitivities of the calibration.

#include <array>
#include <cstdint>
#include <optional>

#include "common/Channels.h"
#include "control/InstrumentState.h"
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
    /// Registers 128..135 as read at start-up (and as a factory SET left
    /// them): who answers after a loss must show the same ones.
    std::optional<FactoryRegisters> factoryRegisters;

    InstrumentState outputs;      ///< the state the indicators show and the next send carries
    bool pendingSend = false;     ///< a manual change waits for the acquisition's next time step
    double setTemperature = 20.0; ///< the thermostat's target in degrees Celsius
    double temperature = 0.0;     ///< the latest plate reading in degrees Celsius

    /// Per-channel sensitivity; 0 until a calibration of this run sets them.
    std::array<std::int16_t, ChannelSlots> PinHole{};
    std::array<std::int16_t, ChannelSlots> Gain{};

    bool online() const { return mode == OperatingMode::Online; }

    /// Sends `outputs` as one set-outputs request; the instrument never
    /// answers it, so nothing is checked. Nothing is sent offline.
    void sendOutputs();

    /// After a manual change of `outputs`: while an acquisition runs the cycle
    /// sends it at its next time step, otherwise it is sent now.
    void outputsChanged(bool acquisitionRunning);
};

}  // namespace zorvex
