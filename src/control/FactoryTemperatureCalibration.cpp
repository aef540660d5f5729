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
constexpr int InvalidMarker = 1;  // any value but 0 fails the start-up check of register 128

std::string calibratedText(int month, int year) {
    return "OK Last Factory Calibration " + formatDigits(month, 2) + "/" + formatDigits(year, 2) + " [mm/yy]";
}
// The operator has had the first write error; the repair attempts stay quiet.
class QuietDialogs : public Dialogs {
public:
    Answer message(const std::string& /*text*/, Buttons /*buttons*/) override { return Answer::Ok; }
    std::string input(const std::string& /*prompt*/, const std::string& /*initialText*/) override { return ""; }
};

// Marks the set in the instrument invalid (register 128 is 0 only for a
// complete set); true when the instrument took it.
bool markInvalid(InstrumentSession& session, Host& host, Dialogs& dialogs) {
    return writeFactoryRegister(session.comm, session.port, host, dialogs, FactoryRegisterBase, InvalidMarker) == 1;
}

// Writes `values` to registers 128..134 so that no prefix of the writes is a
// valid set: the marker goes invalid first and valid last. The register
// whose write failed, or -1.
int writeRegisterSet(InstrumentSession& session, Host& host, Dialogs& dialogs,
                     const std::array<int, FactoryWrittenRegisters>& values) {
    if (!markInvalid(session, host, dialogs)) return FactoryRegisterBase;
    for (int i = 1; i < FactoryWrittenRegisters; ++i) {
        if (writeFactoryRegister(session.comm, session.port, host, dialogs, FactoryRegisterBase + i,
                                 values[static_cast<std::size_t>(i)]) != 1) {
            return FactoryRegisterBase + i;
        }
    }
    if (writeFactoryRegister(session.comm, session.port, host, dialogs, FactoryRegisterBase, values[0]) != 1) {
        return FactoryRegisterBase;
    }
    return -1;
}

enum class SetRepair { Restored, MarkedInvalid, Unknown };

// After a set failed part-way: the previous calibration back when there was
// one, else (or when that fails too) the set marked invalid.
SetRepair repairFailedSet(InstrumentSession& session, Host& host) {
    QuietDialogs quiet;
    const FactoryCalibration& old = session.factory;
    if (old.FactoryCalValid &&
        writeRegisterSet(session, host, quiet,
                         factoryRegisterValues(old.FactoryTempOffset, old.FactoryTempSlope, old.calibrationMonth,
                                               old.calibrationYear)) < 0) {
        return SetRepair::Restored;
    }
    return markInvalid(session, host, quiet) ? SetRepair::MarkedInvalid : SetRepair::Unknown;
}

std::string repairText(SetRepair repair, int failedRegister) {
    const std::string failed = "Writing register " + std::to_string(failedRegister) + " failed. ";
    switch (repair) {
        case SetRepair::Restored: return failed + "The previous calibration was written back and stays in use.";
        case SetRepair::MarkedInvalid:
            return failed + "The instrument's calibration is marked invalid: the next start-up uses offset 0 and "
                            "slope 0.219. Check the cable and press SET again.";
        case SetRepair::Unknown: break;
    }
    return failed + "The instrument could be neither given its previous calibration back nor marked invalid: it "
                    "may hold a mix of old and new values. Check the cable and press SET again before the next "
                    "start-up.";
}

// What the instrument holds now, for the check of who answers after a loss.
void rememberRegisters(InstrumentSession& session, Host& host) {
    try {
        session.factoryRegisters = readFactoryRegisters(session.comm, session.port, host);
    } catch (const std::exception&) {
        session.factoryRegisters.reset();
    }
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
    const int failed = writeRegisterSet(session, host, dialogs, values);
    if (failed >= 0) {
        const SetRepair repair = repairFailedSet(session, host);
        if (repair == SetRepair::MarkedInvalid) calibration.FactoryCalValid = false;
        result.status = repair == SetRepair::Restored ? factoryStatusText(calibration) : "NON Calibrated";
        dialogs.message(repairText(repair, failed));
        rememberRegisters(session, host);
        return result;
    }
    rememberRegisters(session, host);
    calibration.FactoryTempOffset = result.newOffset;
    calibration.calibrationMonth = month;
    calibration.calibrationYear = year;
    calibration.FactoryCalValid = true;  // the instrument now holds a complete set
    result.written = true;
    result.status = calibratedText(month, year);
    return result;
}

}  // namespace zorvex
