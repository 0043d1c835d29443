// Far Manager's default colours for what the host draws around dialogs:
// panels (bright cyan frame on blue, folders white, selected names yellow,
// the cursor black on cyan), menus (white on cyan, the chosen line on
// black), the key bar, the command line and the editor.
#pragma once

#include "host/dialogs/DialogColors.h"

namespace Host::Palette {

enum : uint8_t {
    Black = 0, Blue = 1, Cyan = 3, LightGray = 7, DarkGray = 8,
    BrightCyan = 11, Yellow = 14, White = 15,
};

inline Far3::FarColor PanelText() { return ConsoleColor(BrightCyan, Blue); }
inline Far3::FarColor PanelFolder() { return ConsoleColor(White, Blue); }
inline Far3::FarColor PanelSelected() { return ConsoleColor(Yellow, Blue); }
inline Far3::FarColor PanelCursor() { return ConsoleColor(Black, Cyan); }
inline Far3::FarColor PanelSelectedCursor() { return ConsoleColor(Yellow, Cyan); }
inline Far3::FarColor PanelHeader() { return ConsoleColor(Yellow, Blue); }
inline Far3::FarColor PanelActiveTitle() { return ConsoleColor(Black, Cyan); }
inline Far3::FarColor PanelSelectionInfo() { return ConsoleColor(Yellow, Cyan); }

inline Far3::FarColor MenuText() { return ConsoleColor(White, Cyan); }
inline Far3::FarColor MenuHotkey() { return ConsoleColor(Yellow, Cyan); }
inline Far3::FarColor MenuChosen() { return ConsoleColor(White, Black); }
inline Far3::FarColor MenuChosenHotkey() { return ConsoleColor(Yellow, Black); }

inline Far3::FarColor Console() { return ConsoleColor(LightGray, Black); }
inline Far3::FarColor KeyBarLabel() { return ConsoleColor(Black, Cyan); }
inline Far3::FarColor Shadow() { return ConsoleColor(DarkGray, Black); }

inline Far3::FarColor EditorText() { return ConsoleColor(BrightCyan, Blue); }
inline Far3::FarColor EditorStatus() { return ConsoleColor(Black, Cyan); }

} // namespace Host::Palette
