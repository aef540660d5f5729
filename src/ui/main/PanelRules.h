#pragma once
// The main window's organism box and bin-size list: their entries, and the
// organism text start-up shows for a stored type. The SNR factor's rules
// belong to the zero procedures (analysis/Zero.h).

#include <array>
#include <optional>
#include <string>

namespace zorvex {

/// The entries of `Cmb_organism`, in order (index = `Organism`).
inline constexpr std::array<const char*, 3> OrganismEntries = {"C elegans(>L4)", "Zebrafish(Larvae)", "Customized"};

/// The entries of `combo_minutes`; the second one ("30") is selected at start-up.
inline constexpr std::array<const char*, 10> BinSizeEntries = {"15",  "30",  "60",  "120", "180",
                                                               "240", "360", "480", "720", "1440"};

/// The text `Cmb_organism` shows for a stored organism type at start-up;
/// nothing for a type that leaves the text as it is.
std::optional<std::string> organismText(int organism);

}  // namespace zorvex
