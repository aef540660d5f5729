#include "device/FactoryCalibration.h"

#include <exception>

#include "device/COM_Module.h"

namespace zorvex {

namespace {
constexpr int SettleYields = 10;
constexpr int RegisterPauseMs = 200;
constexpr int RegisterAttempts = 3;
constexpr double MaxOffsetMagnitude = 10.0;
constexpr double MinSlope = 0.1;
constexpr double MaxSlope = 0.45;

int readRegister(ModCOMM& comm, int port, Host& host, int reg) {
    for (int attempt = 0; attempt < RegisterAttempts; ++attempt) {
        int first = DeviceQuery(comm, port, RequestFactoryRegister, reg, ModeRequest);
        host.pause(RegisterPauseMs);
        int second = DeviceQuery(comm, port, RequestFactoryRegister, reg, ModeRequest);
        host.pause(RegisterPauseMs);
        if (first == -1) {
            // The null frame is answered like a probe; sent as a query its reply
            // is read here instead of being taken for the next register value.
            DeviceQuery(comm, port, RequestNull, 0, ModeRequest);
            host.pause(RegisterPauseMs);
            continue;
        }
        if (second != -1 && first == second) return first;
    }
    return -1;
}
}  // namespace

double temperatureDegrees(const FactoryCalibration& calibration, int raw) {
    return raw * calibration.FactoryTempSlope + calibration.FactoryTempOffset;
}

FactoryRegisters readFactoryRegisters(ModCOMM& comm, int port, Host& host) {
    for (int i = 0; i < SettleYields; ++i) host.yield();
    comm.CommFlush(port);
    for (int i = 0; i < SettleYields; ++i) host.yield();
    FactoryRegisters registers{};
    for (int i = 0; i < FactoryRegisterCount; ++i) {
        registers[i] = readRegister(comm, port, host, FactoryRegisterBase + i);
        host.yield();
    }
    return registers;
}

FactoryCalibration validateFactoryCalibration(const FactoryRegisters& r) {
    FactoryCalibration result;
    bool valid = r[0] == 0;
    if (r[1] >= 1 && r[1] <= 12) result.calibrationMonth = r[1];
    else valid = false;
    if (r[2] >= 0 && r[2] <= 99) result.calibrationYear = r[2];
    else valid = false;
    if (r[3] != 0 && r[3] != 1) valid = false;
    if (r[4] < 0) valid = false;
    double offset = r[4] / 10.0;
    if (r[3] == 1) offset = -offset;
    if (r[5] < 1 || r[6] < 0) valid = false;
    double slope = (r[6] * 256 + r[5]) / 1000.0;
    if (offset < -MaxOffsetMagnitude || offset > MaxOffsetMagnitude) valid = false;
    if (slope < MinSlope || slope > MaxSlope) valid = false;
    result.FactoryCalValid = valid;
    if (valid) {
        result.FactoryTempOffset = offset;
        result.FactoryTempSlope = slope;
    }
    return result;
}

FactoryCalibration readFactoryCalibration(ModCOMM& comm, int port, Host& host) {
    try {
        return validateFactoryCalibration(readFactoryRegisters(comm, port, host));
    } catch (const std::exception&) {
        return FactoryCalibration{};
    }
}

}  // namespace zorvex
