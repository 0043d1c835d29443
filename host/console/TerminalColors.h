// Far's console colours on a real terminal. Far paints with the sixteen
// console colours (indices 0-15, blue = 1, red = 4, bright = +8); terminals
// number them differently (red = 1, blue = 4), some have only eight (bright
// foregrounds become bold) and some none at all, or the user asked for none
// (NO_COLOR): then coloured backgrounds become reverse video and yellow
// text bold, so that dialogs, the cursor and selected names still stand out.
#pragma once

#include "far3/Plugin3.h"

namespace Host {

enum class ColorDepth { None, Eight, Sixteen };

struct TerminalStyle {
    // Terminal colour numbers (ANSI order); -1 for none (monochrome).
    int Foreground = -1;
    int Background = -1;
    bool Bold = false;
    bool Reverse = false;
};

// A console index (0-15) of a colour, converting RGB values to the nearest.
int ConsoleIndex(const Far3::FarColor& color, bool foreground);
TerminalStyle StyleFor(const Far3::FarColor& color, ColorDepth depth);

// The colours the terminal offers: `colors` as the terminal reports them,
// none when NO_COLOR is set to a non-empty value.
ColorDepth ChooseColorDepth(int colors, bool noColorSet);

} // namespace Host
