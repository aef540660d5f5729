#pragma once
// Fonts the whole program shares. Some desktop themes give menus a larger
// font than the menu bar and size them with one while drawing with the
// other, which cuts entries to "CO...ts"; one font for both avoids it.

namespace zorvex {

/// Menus take the menu bar's font; call once the application exists.
void useMenuBarFontInMenus();

}  // namespace zorvex
