// Far's vertical menus: "Plugin commands" (F11) and "Plugins configuration"
// (Alt+Shift+F9). A centred menu has a cyan margin of two columns and one
// row around its double frame, the title in the top frame and each line's
// first character as its hotkey. (An edit line's drop-down list is the
// dialog's own: DialogPainter.h.)
#pragma once

#include "host/text/KeyScript.h"
#include "host/console/ScreenBuffer.h"

#include <string>
#include <vector>

namespace Host {

struct MenuBox {
    std::u16string Title;
    std::vector<std::u16string> Items;
    size_t Selected = 0;
    size_t Top = 0;
};

// Screen cells of the menu, margin included, and the rows of items shown.
struct MenuRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int Rows = 0;
};

MenuRect MenuLayout(const MenuBox& menu, int screenWidth, int screenHeight);

enum class MenuAnswer { Stay, Choose, Cancel };

// Up/Down/Home/End/PgUp/PgDn move, Enter chooses, Esc/F10 cancel, a
// line's hotkey chooses it.
MenuAnswer MenuKey(MenuBox& menu, const KeyPress& key, int rows);

// Scrolls so that the selected line shows, then paints (shadow included).
void PaintMenu(ScreenBuffer& screen, MenuBox& menu);

} // namespace Host
