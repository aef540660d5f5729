#pragma once
// datafile.txt: the raw samples of the selected well's beams on the current
// page as a text table, one line per sample and one column per beam.

#include <string>
#include <vector>

#include "views/ChannelSignal.h"
#include "views/PageBuffer.h"

namespace zorvex {

/// File name of the ASCII export in the program folder.
inline constexpr const char* AsciiExportName = "datafile.txt";

/// What the head of datafile.txt names.
struct AsciiExportHead {
    std::string projectName;  ///< Name of the stored setup
    std::string folder;       ///< the acquisition folder as shown
    std::string rowLetter;    ///< the row selector's text
    std::string columnText;   ///< the column selector's text
    std::string pageText;     ///< the page box's text ("1/3")
    int page = 1;
};

/// The bytes of datafile.txt (code page 1252, CR LF): the project name and
/// folder in quotes, the well and page line, one head per beam
/// ("A1.0 "), then for every loaded slot and each of its measured samples
/// one line of the beams' values, each followed by a space.
std::string asciiExportBytes(const AsciiExportHead& head, const std::vector<WellBeam>& beams, const PageBuffer& page);

}  // namespace zorvex
