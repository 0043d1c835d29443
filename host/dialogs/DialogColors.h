// Far's default dialog colours (console colour indices): black on light
// gray with yellow hotkeys, edits on cyan (the unchanged text light gray,
// a marked block white on black, the history arrow in the dialog's text
// colour), the focused button on cyan with a yellow hotkey, disabled items
// dark gray; warning dialogs white on red. The dialog procedure may change them while drawing.
#pragma once

#include "host/dialogs/DialogItem.h"

#include <vector>

namespace Host {

// Index of each colour in an item's colour array.
enum DialogItemColor : size_t {
    ItemText = 0,
    ItemHotkey = 1,
    ItemFrame = 2,
    // Buttons and check boxes: focused.
    ItemSecond = 3,
    ItemColorCount = 4,
};

// An edit's colours, as Far orders them.
enum EditItemColor : size_t {
    EditText = 0,
    EditBlock = 1,
    EditUnchanged = 2,
    EditArrow = 3,
};

Far3::FarColor ConsoleColor(uint8_t foreground, uint8_t background);
Far3::FarColor DefaultDialogColor(Far3::FARDIALOGFLAGS flags);
std::vector<Far3::FarColor> DefaultItemColors(const DialogItem& item, bool focused, Far3::FARDIALOGFLAGS flags);
// Makes an edit read as the dialog's plain text: its text and its unchanged
// text take the dialog's text colour (a message box's line too long for the
// box). `colors` holds `count` colours in the edit's order.
void ColorEditAsText(Far3::FarColor* colors, size_t count, Far3::FARDIALOGFLAGS flags);

} // namespace Host
