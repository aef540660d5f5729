#include "ui/main/PanelRules.h"

namespace zorvex {

std::optional<std::string> organismText(int organism) {
    switch (organism) {
        case 0: return "C elegans(>L4)";
        case 1: return "Zebrafish(larvae)";  // lower-case l, unlike the list entry
        case 2: return "Customized";
        case 7: return "size <100um";
        case 8: return "size 0.1-1mm";
        case 9: return "size >1mm";
        default: return std::nullopt;
    }
}

}  // namespace zorvex
