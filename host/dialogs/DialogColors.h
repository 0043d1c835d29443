// Far's default dialog colours (console colour indices): black on light
// gray with yellow hotkeys, edits on cyan (the unchanged text light gray),
// the focused button on cyan, disabled items dark gray; warning dialogs
// white on red. The dialog procedure may change them while drawing.
#pragma once

#include "host/dialogs/DialogItem.h"

#include <vector>

namespace Host {

// Index of each colour in an item's colour array.
enum DialogItemColor : size_t {
    ItemText = 0,
    ItemHotkey = 1,
    ItemFrame = 2,
    // Edits: the unchanged text; buttons and check boxes: focused.
    ItemSecond = 3,
    ItemColorCount = 4,
};

Far3::FarColor ConsoleColor(uint8_t foreground, uint8_t background);
Far3::FarColor DefaultDialogColor(Far3::FARDIALOGFLAGS flags);
std::vector<Far3::FarColor> DefaultItemColors(const DialogItem& item, bool focused, Far3::FARDIALOGFLAGS flags);

} // namespace Host
