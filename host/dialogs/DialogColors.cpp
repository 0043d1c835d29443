#include "host/dialogs/DialogColors.h"

namespace Host {

namespace {

enum : uint8_t {
    Black = 0,
    Cyan = 3,
    Red = 4,
    LightGray = 7,
    DarkGray = 8,
    Yellow = 14,
    White = 15,
};

} // namespace

Far3::FarColor ConsoleColor(uint8_t foreground, uint8_t background)
{
    return Far3::FarColor{Far3::FCF_FG_INDEX | Far3::FCF_BG_INDEX, foreground, background, nullptr};
}

Far3::FarColor DefaultDialogColor(Far3::FARDIALOGFLAGS flags)
{
    return (flags & Far3::FDLG_WARNING) ? ConsoleColor(White, Red) : ConsoleColor(Black, LightGray);
}

std::vector<Far3::FarColor> DefaultItemColors(const DialogItem& item, bool focused, Far3::FARDIALOGFLAGS flags)
{
    const bool warning = (flags & Far3::FDLG_WARNING) != 0;
    const uint8_t back = warning ? Red : LightGray;
    const uint8_t text = item.IsEnabled() ? (warning ? White : Black) : DarkGray;
    std::vector<Far3::FarColor> colors(ItemColorCount, ConsoleColor(text, back));
    colors[ItemHotkey] = ConsoleColor(item.IsEnabled() ? Yellow : DarkGray, back);
    if (item.IsEdit()) {
        colors[EditText] = ConsoleColor(item.IsEnabled() ? Black : DarkGray, Cyan);
        colors[EditBlock] = ConsoleColor(White, Black);
        colors[EditUnchanged] = ConsoleColor(LightGray, Cyan);
        colors[EditArrow] = ConsoleColor(text, back);
    } else if (item.IsButton() || item.IsCheckLike()) {
        colors[ItemSecond] = warning ? ConsoleColor(Black, LightGray) : ConsoleColor(Black, Cyan);
        if (focused && item.IsButton() && item.IsEnabled()) {
            // The focused button's hotkey stays yellow, on the focus colour.
            colors[ItemText] = colors[ItemSecond];
            colors[ItemHotkey] = ConsoleColor(Yellow, warning ? LightGray : Cyan);
        }
    }
    return colors;
}

void ColorEditAsText(Far3::FarColor* colors, size_t count, Far3::FARDIALOGFLAGS flags)
{
    for (size_t which : {size_t{EditText}, size_t{EditUnchanged}})
        if (colors && which < count)
            colors[which] = DefaultDialogColor(flags);
}

} // namespace Host
