#include "ui/common/AppFonts.h"

#include <QApplication>
#include <QFont>

namespace zorvex {

void useMenuBarFontInMenus() { QApplication::setFont(QApplication::font("QMenuBar"), "QMenu"); }

}  // namespace zorvex
