#include "views/AsciiExport.h"

#include "common/Text.h"

namespace zorvex {

std::string asciiExportBytes(const AsciiExportHead& head, const std::vector<WellBeam>& beams, const PageBuffer& page) {
    const std::string well = head.rowLetter + head.columnText;
    const int slots = page.allocated() ? page.loadedSlots() : 0;
    const int samples = page.samplesPerBlock();
    const PageLabels labels = pageLabels(head.page, slots, samples);
    std::string text = "\"" + head.projectName + "\"\r\n\"" + head.folder + "\"\r\n\r\n";
    text += "Well: " + well + " Page[" + head.pageText + "] [#" + labels.first + "-" + labels.last + "]\r\n\r\n";
    for (const WellBeam& beam : beams) text += well + "." + std::to_string(beam.beam) + " ";
    text += "\r\n";
    std::string bytes = utf8ToCp1252(text);

    bytes.reserve(bytes.size() + static_cast<std::size_t>(slots) * static_cast<std::size_t>(samples) *
                                     (beams.size() * 6 + 2));
    for (int slot = 0; slot < slots; ++slot) {
        for (int i = 0; i < samples; ++i) {
            for (const WellBeam& beam : beams) {
                bytes += std::to_string(page.samples(beam.channel, slot)[i]);
                bytes += ' ';
            }
            bytes += "\r\n";
        }
    }
    return bytes;
}

}  // namespace zorvex
