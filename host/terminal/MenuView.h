// Far's vertical menus: "Plugin commands" (F11), "Plugins configuration"
// (Alt+Shift+F9) and the drop-down history list of an edit line. A centred
// menu has a cyan margin of two columns and one row around its double
// frame, the title in the top frame and each line's first character as
// its hotkey; a drop-down list hangs below its edit line.
#pragma once

#include "host/KeyScript.h"
#include "host/terminal/ScreenBuffer.h"

#include <optional>
#include <string>
#include <vector>

namespace Host {

struct MenuBox {
    std::u16string Title;
    std::vector<std::u16string> Items;
    size_t Selected = 0;
    size_t Top = 0;
    // A drop-down list: its top-left corner and its least width.
    struct Anchor {
        int X = 0, Y = 0, Width = 0;
    };
    std::optional<Anchor> DropDown;
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
