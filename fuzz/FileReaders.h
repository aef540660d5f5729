#pragma once
// The readers' file input: each reader's in-memory target input written into
// files of the scratch folder and read through the loaders the program calls,
// then written back through its writers and read again. fuzz_files takes the
// reader from its first byte; make_corpus puts each target's seeds behind its
// number, in this order.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zorvex::fuzz {

struct FileReader {
    std::string_view target;  ///< the in-memory target whose input this reader takes
    void (*read)(const std::uint8_t* data, std::size_t size);
};

extern const std::array<FileReader, 11> FileReaders;

}  // namespace zorvex::fuzz
