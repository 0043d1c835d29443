// Keys as the console reports them, and a short notation for writing them
// down: plain characters type themselves, named keys go in angle brackets.
//
//     "file%#.%e<Tab>12<Enter>"   "<Alt+F><Esc>"   "<Shift+Tab><Ctrl+Down>"
//
// Names (case-insensitive): Enter, Esc, Tab, Space, BS, Del, Ins, Left,
// Right, Up, Down, Home, End, PgUp, PgDn, F1..F12, Break, Num+, Num-, Num*,
// lt (a literal '<'); modifiers Shift+, Ctrl+, Alt+ (or S-, C-, A-) in front
// of a name or a single character.
#pragma once

#include "far3/Plugin3.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

struct KeyPress {
    uint16_t VirtualKey = 0;
    char16_t Char = 0;
    uint32_t ControlState = 0;

    bool Alt() const;
    bool Ctrl() const;
    bool Shift() const;
    bool operator==(const KeyPress&) const = default;
};

// The key pressed, as the console's input record reports it to a dialog
// procedure (DN_CONTROLINPUT) or to a plugin reading the console.
Far3::INPUT_RECORD KeyRecord(const KeyPress& key);

// Throws HostError on an unknown name or an unclosed bracket.
std::vector<KeyPress> ParseKeyScript(std::string_view script);
// The key of one typed character (letters and digits carry their key code).
KeyPress CharKey(char16_t c);
// Whether a key keeps its character when Ctrl or Alt is held: Enter and
// Tab, and a letter outside ASCII (no key code names it, so Alt+о is known
// by its character alone, as a hotkey must be). Other keys with Ctrl or Alt
// type nothing and are known by their key code.
bool KeepsCharacterWithModifier(const KeyPress& key);
// The hotkey character an Alt+key combination names, in upper case: its
// Latin letter or digit by key code, else the letter it carries (a letter of
// another script has no key code of its own). Dialogs and menus alike.
char16_t AltHotkeyCharacter(const KeyPress& key);
// The notation of one key, e.g. "<Alt+F>" or "a".
std::string KeyName(const KeyPress& key);

} // namespace Host
