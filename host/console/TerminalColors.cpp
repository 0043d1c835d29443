#include "host/console/TerminalColors.h"

#include <array>
#include <climits>

namespace Host {

namespace {

// Console index (bit 0 blue, bit 1 green, bit 2 red) to ANSI colour number
// (bit 0 red, bit 1 green, bit 2 blue).
constexpr std::array<int, 8> AnsiOf{0, 4, 2, 6, 1, 5, 3, 7};

// The sixteen console colours as RGB, for colours given as values.
constexpr std::array<uint32_t, 16> ConsoleRgb{
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

int Nearest(uint32_t value)
{
    // FarColor values are 0xAABBGGRR, as Windows' COLORREF.
    const int red = static_cast<int>(value & 0xFF);
    const int green = static_cast<int>((value >> 8) & 0xFF);
    const int blue = static_cast<int>((value >> 16) & 0xFF);
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < 16; ++i) {
        const int r = static_cast<int>((ConsoleRgb[i] >> 16) & 0xFF) - red;
        const int g = static_cast<int>((ConsoleRgb[i] >> 8) & 0xFF) - green;
        const int b = static_cast<int>(ConsoleRgb[i] & 0xFF) - blue;
        const int distance = r * r + g * g + b * b;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

} // namespace

int ConsoleIndex(const Far3::FarColor& color, bool foreground)
{
    const bool indexed = color.Flags & (foreground ? Far3::FCF_FG_INDEX : Far3::FCF_BG_INDEX);
    const uint32_t value = foreground ? color.ForegroundColor : color.BackgroundColor;
    return indexed ? static_cast<int>(value & 0xF) : Nearest(value);
}

TerminalStyle StyleFor(const Far3::FarColor& color, ColorDepth depth)
{
    const int foreground = ConsoleIndex(color, true);
    const int background = ConsoleIndex(color, false);
    TerminalStyle style;
    switch (depth) {
    case ColorDepth::Sixteen:
        style.Foreground = AnsiOf[foreground & 7] + (foreground & 8);
        style.Background = AnsiOf[background & 7] + (background & 8);
        break;
    case ColorDepth::Eight:
        style.Foreground = AnsiOf[foreground & 7];
        style.Background = AnsiOf[background & 7];
        style.Bold = (foreground & 8) != 0;
        break;
    case ColorDepth::None:
        // Dark backgrounds (the panels, the key bar's numbers) stay normal;
        // light gray and white ones (dialogs) are reversed; every other
        // colour (the cursor, edit lines, focused buttons on cyan, warnings
        // on red) is reversed and bold, so it differs from both. Yellow
        // (selected names, hotkeys) is bold.
        style.Reverse = background != 0 && background != 1 && background != 8;
        style.Bold = foreground == 14 || (style.Reverse && background != 7 && background != 15);
        break;
    }
    return style;
}

ColorDepth ChooseColorDepth(int colors, bool noColorSet)
{
    if (noColorSet || colors < 8)
        return ColorDepth::None;
    return colors >= 16 ? ColorDepth::Sixteen : ColorDepth::Eight;
}

} // namespace Host
