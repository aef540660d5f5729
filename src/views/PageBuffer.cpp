#include "views/PageBuffer.h"

#include <algorithm>
#include <cctype>

#include "acquisition/DataFiles.h"
#include "common/Channels.h"

namespace zorvex {

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return text;
}

}  // namespace

int countRealTimeFiles(const std::filesystem::path& acquisitionFolder) {
    int files = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(acquisitionFolder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code kind;
        if (!it->is_regular_file(kind)) continue;
        std::string name = lowerCase(it->path().filename().string());
        if (name.size() > 4 && name.ends_with(".bin") && name != "counts.bin") ++files;
    }
    return files;
}

int pageCount(int realTimeFiles) { return (std::max(realTimeFiles, 0) + FilesPerPage - 1) / FilesPerPage; }

std::vector<int> pageFileNumbers(int page, int realTimeFiles) {
    std::vector<int> files;
    const int first = FilesPerPage * (page - 1);
    const int last = std::min(FilesPerPage * page - 1, realTimeFiles);
    for (int j = std::max(first, 0); j <= last; ++j) files.push_back(j);
    return files;
}

int recordOfSlot(int page, int slot) { return SlotsPerPage * (page - 1) + slot; }

void PageBuffer::allocate(int rtBuffer) {
    rtBuffer_ = std::max(rtBuffer, 1);
    samples_.assign(offset(0, SlotsPerPage), 0);
    loadedSlots_ = 0;
    missingSlots_.clear();
}

void PageBuffer::startPage() {
    loadedSlots_ = 0;
    missingSlots_.clear();
}

void PageBuffer::release() {
    missingSlots_.clear();
    samples_.clear();
    samples_.shrink_to_fit();
    loadedSlots_ = 0;
}

std::size_t PageBuffer::bytes() const { return samples_.size() * sizeof(std::int16_t); }

std::size_t PageBuffer::offset(int channel, int slot) const {
    return (static_cast<std::size_t>(slot) * ChannelSlots + static_cast<std::size_t>(channel)) *
           static_cast<std::size_t>(samplesPerSlot());
}

const std::int16_t* PageBuffer::samples(int channel, int slot) const { return samples_.data() + offset(channel, slot); }

int PageBuffer::loadFile(const std::filesystem::path& acquisitionFolder, int fileNumber, int placeInPage) {
    if (samples_.empty() || placeInPage < 0 || placeInPage >= FilesPerPage) return 0;
    const int onDisk = countRealTimeDumps(acquisitionFolder, fileNumber, rtBuffer_);
    int loaded = 0;
    for (int dump = 0; dump < onDisk; ++dump) {
        const int slot = placeInPage * SlotsPerFile + dump;
        const auto at = samples_.begin() + static_cast<std::ptrdiff_t>(offset(0, slot));
        auto frame = readRealTimeDump(acquisitionFolder, fileNumber * DumpsPerRealTimeFile + dump, rtBuffer_);
        if (frame) {
            // A frame and a page slot share one layout: channel after channel, rtBuffer + 1 samples each.
            std::copy_n(frame->row(0), offset(0, 1), at);
        } else {
            // A dump that could not be written: its slot shows no signal rather than another page's.
            std::fill_n(at, offset(0, 1), std::int16_t{0});
            missingSlots_.push_back(slot);
        }
        ++loaded;
    }
    if (loaded > 0) loadedSlots_ = std::max(loadedSlots_, placeInPage * SlotsPerFile + loaded);
    return loaded;
}

}  // namespace zorvex
