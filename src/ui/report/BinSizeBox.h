#pragma once
// The bin-size box of the report window and the figure dialog: the usual
// sizes to pick from, and whatever is typed kept exactly as typed.

#include <QComboBox>

namespace zorvex {

/// An editable box of bin sizes in minutes, named `name`: no completion from
/// the list (2 stays 2, not 240), nothing added to the list, digits only.
QComboBox* binSizeBox(const char* name, QWidget* parent);

}  // namespace zorvex
