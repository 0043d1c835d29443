// The bytes a terminal sends for keys, turned into the key presses Far's
// dialogs and panels expect. Terminals send plain characters as UTF-8,
// Ctrl+letter as control bytes, Alt+key as Esc before the key, and other
// keys as escape sequences in the xterm style: "\x1b[B" Down,
// "\x1b[1;5B" Ctrl+Down, "\x1b[20;4~" Alt+Shift+F9, "\x1bOk" the keypad's
// gray '+' (while the keypad is in application mode). The mouse comes as
// SGR reports, "\x1b[<B;X;YM" for a press or a move with a button held and
// "\x1b[<B;X;Ym" for a release (columns and rows counted from 1; B names
// the button, +4 Shift, +8 Alt, +16 Ctrl, +32 a move).
// Terminals with extended key reporting also send keys they cannot send
// otherwise: xterm's modifyOtherKeys as "\x1b[27;5;13~" (Ctrl+Enter), the
// kitty keyboard protocol as "\x1b[13;5u" and the gray keys as
// "\x1b[57413u" (gray '+'). Pasted text comes between "\x1b[200~" and
// "\x1b[201~" (bracketed paste).

#pragma once

#include "host/text/KeyScript.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

// What the mouse did, in screen cells from 0: the left or right button
// went down or up, or the mouse moved while the left button was held.
// ControlState holds the Far3::ControlKey bits of Shift, Alt and Ctrl.
struct MouseReport {
    enum class Action { Press, Release, Move };
    enum class Button { Left, Right };
    Action What = Action::Press;
    Button Which = Button::Left;
    int X = 0;
    int Y = 0;
    uint32_t ControlState = 0;

    bool operator==(const MouseReport&) const = default;
};

struct DecodedKeys {
    // The key presses of the first complete sequence: none when it is not a
    // key (an unknown sequence is skipped), two for a character beyond
    // U+FFFF (a surrogate pair).
    std::vector<KeyPress> Keys;
    // Bytes used; 0 when `bytes` ends inside a sequence and more may come.
    size_t Length = 0;
    std::optional<MouseReport> Mouse;
    // A bracketed paste: the pasted text (UTF-8).
    std::optional<std::string> Paste;
};

// Decodes the first key of `bytes`. With `final` set no more bytes are
// coming (the terminal went quiet): a lone Esc is the Esc key and an
// unfinished sequence is read as Alt and the characters after the Esc.
DecodedKeys DecodeKey(std::string_view bytes, bool final);

} // namespace Host
