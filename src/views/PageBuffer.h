#pragma once
// The raw signal of one page of an acquisition: up to five real-time files,
// each with its 11 dumps in its own 11 block slots, so no dump of a page
// overwrites another and every dump of the acquisition is on exactly one page.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace zorvex {

constexpr int FilesPerPage = 5;
constexpr int SlotsPerFile = 11;  ///< one slot per dump of a real-time file
constexpr int SlotsPerPage = FilesPerPage * SlotsPerFile;

/// Real-time files of an acquisition folder: the .bin files other than counts.bin.
int countRealTimeFiles(const std::filesystem::path& acquisitionFolder);

/// Pages of an acquisition: one per five files begun (7 files give 2, 12 give 3).
int pageCount(int realTimeFiles);

/// The real-time file numbers page `page` (1-based) reads, in order: 5(p-1)
/// up to 5p-1, but not beyond the file count (so a file after a missing one
/// is still read; files that do not exist are skipped by the load).
std::vector<int> pageFileNumbers(int page, int realTimeFiles);

/// The counts.bin record whose raw block sits in slot `slot` of page `page`.
int recordOfSlot(int page, int slot);

class PageBuffer {
public:
    /// Makes room for a page of dumps of `rtBuffer` samples, all zero.
    void allocate(int rtBuffer);
    /// Starts loading another page: no slot counts as loaded.
    void startPage();
    /// Gives the memory back; the page must be allocated again before use.
    void release();
    bool allocated() const { return !samples_.empty(); }
    /// Memory held by the samples, in bytes.
    std::size_t bytes() const;

    /// Loads the dumps of real-time file `fileNumber` into slots 11k .. 11k+10
    /// (k = the file's place in its page), stopping at the first dump not
    /// wholly on disk; slots after it keep what they held. A dump that could
    /// not be written (a gap of zeros) loads as a slot of zeros and is listed
    /// in missingSlots(). Returns the number of slots loaded (0 for a missing file).
    int loadFile(const std::filesystem::path& acquisitionFolder, int fileNumber, int placeInPage);

    /// The samples of `channel` in block slot `slot`; samplesPerSlot() of them.
    const std::int16_t* samples(int channel, int slot) const;
    /// Samples per slot and channel: rtBuffer + 1.
    int samplesPerSlot() const { return rtBuffer_ + 1; }
    /// Measured samples of a slot: rtBuffer. The dump's closing sample is
    /// padding, always 0, and no measurement.
    int samplesPerBlock() const { return rtBuffer_; }
    /// Slots 0 up to the last one loaded since startPage(): what the page shows.
    int loadedSlots() const { return loadedSlots_; }
    /// Slots of this page whose dump could not be written during the run, in order.
    const std::vector<int>& missingSlots() const { return missingSlots_; }

private:
    std::size_t offset(int channel, int slot) const;
    int rtBuffer_ = 500;
    int loadedSlots_ = 0;
    std::vector<int> missingSlots_;
    std::vector<std::int16_t> samples_;  ///< [slot][channel 0..384][sample 0..rtBuffer]
};

}  // namespace zorvex
