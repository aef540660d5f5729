#include "FactoryState.h"

#include "common/Files.h"
#include "common/RecordText.h"

namespace zorvex::sim {

namespace {
constexpr std::size_t MaxStateBytes = 4096;
}

std::optional<FactoryBytes> loadFactoryState(const std::filesystem::path& file) {
    std::optional<std::string> bytes = readFile(file, MaxStateBytes);
    if (!bytes) return std::nullopt;
    RecordReader reader(std::move(*bytes));
    reader.text();
    FactoryBytes registers{};
    for (int i = 0; i < FactoryRegisterTotal; ++i) {
        int reg = reader.int16();
        int value = reader.int16();
        if (!reader.ok() || reg != FactoryRegisterFirst + i || value < 0 || value > 255) return std::nullopt;
        registers[i] = static_cast<std::uint8_t>(value);
    }
    return registers;
}

bool saveFactoryState(const std::filesystem::path& file, const FactoryBytes& registers) {
    RecordWriter writer;
    writer.header("<Register>, <Value>");
    for (int i = 0; i < FactoryRegisterTotal; ++i) writer.integer(FactoryRegisterFirst + i).integer(registers[i]).endLine();
    return writeFile(file, writer.bytes());
}

}  // namespace zorvex::sim
