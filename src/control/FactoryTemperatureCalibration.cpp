#include "control/FactoryTemperatureCalibration.h"

#include <cmath>

#include "common/Numbers.h"
#include "common/Text.h"
#include "device/COM_Module.h"

namespace zorvex {

namespace {
constexpr int TwoDigitYears = 100;
constexpr int SlopeScale = 1000;
constexpr int OffsetScale = 10;
constexpr int ByteSpan = 256;

std::string calibratedText(int month, int year) {
    return "OK Last Factory Calibration " + formatDigits(month, 2) + "/" + formatDigits(year, 2) + " [mm/yy]";
}
}  // namespace

bool factoryWindowAllowed(bool online, bool acquisitionActive, Dialogs& dialogs) {
    if (online && !acquisitionActive) return true;
    dialogs.message("Only possible to access in: ONLINE mode and STOP experiment");
    return false;
}

std::string factoryStatusText(const FactoryCalibration& calibration) {
    return calibration.FactoryCalValid ? calibratedText(calibration.calibrationMonth, calibration.calibrationYear)
                                       : "NON Calibrated";
}

std::string openFactoryWindow(FactoryCalibration& calibration) {
    if (!calibration.FactoryCalValid) {
        calibration.FactoryTempOffset = DefaultTempOffset;
        calibration.FactoryTempSlope = DefaultTempSlope;
    }
    return factoryStatusText(calibration);
}

std::array<int, FactoryWrittenRegisters> factoryRegisterValues(double offset, double slope, int month, int year) {
    const double thousandths = slope * SlopeScale;
    const int high = static_cast<int>(wholePart(thousandths / ByteSpan));
    return {0,
            month,
            year,
            offset < 0 ? 1 : 0,
            static_cast<int>(roundHalfEven(std::fabs(offset) * OffsetScale)),
            static_cast<int>(roundHalfEven(thousandths - high * ByteSpan)),
            high};
}

std::optional<double> referenceTemperature(const std::string& typed, Dialogs& dialogs) {
    const double value = val(typed);
    if (isNumeric(typed) && value >= LowestReferenceC && value <= HighestReferenceC) return value;
    dialogs.message("invalid Calibration Parameter: value must be between 4\u00B0C and 50\u00B0C");
    return std::nullopt;
}

FactoryCalibrationResult calibrateFactoryTemperature(InstrumentSession& session, Host& host, Dialogs& dialogs,
                                                     const std::string& referenceText) {
    FactoryCalibrationResult result;
    FactoryCalibration& calibration = session.factory;
    // Without a reading the new offset would be computed from the failure's
    // -1 and stored as a wrong calibration.
    const int raw = DeviceQuery(session.comm, session.port, RequestTemperature, 0, ModeRequest);
    if (raw < 0) {
        dialogs.message("The plate temperature could not be read, so no calibration can be made. Check the "
                        "instrument and its cable, then try again. Nothing was written.");
        return result;
    }
    const double current = temperatureDegrees(calibration, raw);
    session.temperature = current;
    const std::optional<double> reference = referenceTemperature(referenceText, dialogs);
    if (!reference) return result;
    result.newOffset = calibration.FactoryTempOffset - current + *reference;
    if (!(result.newOffset > -MaxFactoryOffsetC && result.newOffset < MaxFactoryOffsetC)) {
        dialogs.message("The new offset would be " + formatFixed(result.newOffset, 1) +
                        "\u00B0C, outside the valid range of -10\u00B0C to 10\u00B0C: check the reference "
                        "thermometer and the value typed. Nothing was written.");
        return result;
    }

    const DateTime now = host.now();
    const int month = now.month;
    const int year = now.year % TwoDigitYears;
    const auto values = factoryRegisterValues(result.newOffset, calibration.FactoryTempSlope, month, year);
    for (int i = 0; i < FactoryWrittenRegisters; ++i) {
        if (writeFactoryRegister(session.comm, session.port, host, dialogs, FactoryRegisterBase + i,
                                 values[static_cast<std::size_t>(i)]) != 1) {
            result.status = "NON Calibrated";
            return result;
        }
    }
    calibration.FactoryTempOffset = result.newOffset;
    calibration.calibrationMonth = month;
    calibration.calibrationYear = year;
    calibration.FactoryCalValid = true;  // the instrument now holds a complete set
    result.written = true;
    result.status = calibratedText(month, year);
    return result;
}

}  // namespace zorvex
