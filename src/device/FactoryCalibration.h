#pragma once
// The instrument's factory temperature calibration, kept in its registers
// 128..135: a marker, the month and year of calibration, the offset's sign
// and tenths, and the slope in thousandths over two bytes.

#include <array>

#include "device/ModCOMM.h"
#include "platform/Host.h"

namespace zorvex {

constexpr int FactoryRegisterBase = 128;
constexpr int FactoryRegisterCount = 8;
constexpr double DefaultTempOffset = 0.0;
constexpr double DefaultTempSlope = 0.219;

/// Register values 128..135 as read; -1 for a register without two agreeing readings.
using FactoryRegisters = std::array<int, FactoryRegisterCount>;

/// The temperature calibration the program works with: degrees = raw x slope + offset.
struct FactoryCalibration {
    double FactoryTempOffset = DefaultTempOffset;  ///< degrees Celsius
    double FactoryTempSlope = DefaultTempSlope;    ///< degrees Celsius per raw unit
    bool FactoryCalValid = false;                  ///< the registers held a complete, valid set
    int calibrationMonth = 0;                      ///< 1..12 when register 129 held a valid month
    int calibrationYear = 0;                       ///< 0..99 when register 130 held a valid year
};

/// Degrees Celsius of a raw temperature reading (-1, no reply, gives offset - slope).
double temperatureDegrees(const FactoryCalibration& calibration, int raw);

/// Reads the eight registers from the instrument on `port`, each accepted
/// after two agreeing readings, at most three attempts.
FactoryRegisters readFactoryRegisters(ModCOMM& comm, int port, Host& host);

/// The calibration that `registers` describe; offset 0 and slope 0.219, not
/// valid, when any check fails.
FactoryCalibration validateFactoryCalibration(const FactoryRegisters& registers);

/// Reads and validates the calibration of the instrument on `port`; the
/// defaults, not valid, when anything goes wrong. Never throws.
FactoryCalibration readFactoryCalibration(ModCOMM& comm, int port, Host& host);

}  // namespace zorvex
