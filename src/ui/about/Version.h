#pragma once

#include <string>

namespace zorvex {

/// The version line shown by the splash and the about window.
inline const std::string VersionText = "<<V2.5[API] Rev.A 08/13>>";

}  // namespace zorvex
