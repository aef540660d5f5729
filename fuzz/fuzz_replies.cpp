// What comes back over the serial line: sample blocks, probe replies and the
// factory registers, decoded whatever the bytes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/COM_Module.h"
#include "device/FactoryCalibration.h"
#include "device/SampleBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (auto block = zorvex::decodeSampleBlock(bytes)) {
        bool faulty = false;
        for (int i = 0; i < zorvex::SampleBlockValues; ++i) {
            faulty = faulty || data[2 * i] > zorvex::MaxSampleHighByte;
            if (block->values[static_cast<std::size_t>(i)] < 0 || block->values[static_cast<std::size_t>(i)] > 4095) {
                std::abort();
            }
        }
        if (faulty != block->faulty) std::abort();
    }
    const int probe = zorvex::probeValue(bytes.substr(0, 2));
    if (probe < -1 || probe > 255 * 255 + 255) std::abort();

    // Registers as 16-bit values, beyond the byte range a reply can carry.
    zorvex::FactoryRegisters registers{};
    for (std::size_t i = 0; i < registers.size(); ++i) {
        registers[i] = 2 * i + 1 < size ? static_cast<std::int16_t>(data[2 * i] | data[2 * i + 1] << 8) : -1;
    }
    const zorvex::FactoryCalibration calibration = zorvex::validateFactoryCalibration(registers);
    for (int raw = -1; raw <= 255; ++raw) {
        if (!std::isfinite(zorvex::temperatureDegrees(calibration, raw))) std::abort();
    }
    return 0;
}
