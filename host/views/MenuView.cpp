#include "host/views/MenuView.h"

#include "far3/FarKeysW.h"
#include "host/text/LetterCase.h"
#include "host/views/Palette.h"

#include <algorithm>

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;

// The cyan margin around the frame: columns left and right, rows above and below.
constexpr int MenuMargin = 2;
constexpr int MenuVerticalMargin = 1;

} // namespace

MenuRect MenuLayout(const MenuBox& menu, int screenWidth, int screenHeight)
{
    int inner = DisplayWidth(menu.Title) + 4;
    for (const std::u16string& item : menu.Items)
        inner = std::max(inner, DisplayWidth(item) + 4);
    MenuRect rect;
    rect.Width = std::min(inner + 2 + 2 * MenuMargin, std::max(1, screenWidth));
    const int maxRows = std::max(1, screenHeight - 2 - 2 * MenuVerticalMargin - 4);
    rect.Rows = std::min(static_cast<int>(std::max<size_t>(1, menu.Items.size())), maxRows);
    rect.Height = rect.Rows + 2 + 2 * MenuVerticalMargin;
    rect.Left = (screenWidth - rect.Width) / 2;
    rect.Top = (screenHeight - rect.Height) / 2;
    return rect;
}

MenuAnswer MenuKey(MenuBox& menu, const KeyPress& key, int rows)
{
    const size_t count = menu.Items.size();
    if (key.VirtualKey == Vk::Escape || key.VirtualKey == Vk::F10)
        return MenuAnswer::Cancel;
    if (count == 0)
        return MenuAnswer::Stay;
    if (key.VirtualKey == Vk::Return)
        return MenuAnswer::Choose;
    const size_t page = static_cast<size_t>(std::max(1, rows - 1));
    switch (key.VirtualKey) {
    case Vk::Up: menu.Selected = menu.Selected == 0 ? count - 1 : menu.Selected - 1; return MenuAnswer::Stay;
    case Vk::Down: menu.Selected = menu.Selected + 1 >= count ? 0 : menu.Selected + 1; return MenuAnswer::Stay;
    case Vk::Home: menu.Selected = 0; return MenuAnswer::Stay;
    case Vk::End: menu.Selected = count - 1; return MenuAnswer::Stay;
    case Vk::Prior: menu.Selected = menu.Selected > page ? menu.Selected - page : 0; return MenuAnswer::Stay;
    case Vk::Next: menu.Selected = std::min(count - 1, menu.Selected + page); return MenuAnswer::Stay;
    default: break;
    }
    // A hotkey: a plain character, or a letter with Alt (a Latin letter or
    // digit by its key code, a letter of another script by the character
    // it carries), matched in upper case in any script as dialogs match.
    const char16_t typed = key.Alt() ? AltHotkeyCharacter(key) : key.Char;
    if (!typed || key.Ctrl())
        return MenuAnswer::Stay;
    for (size_t i = 0; i < count; ++i)
        if (!menu.Items[i].empty() && UnicodeUpper(menu.Items[i].front()) == UnicodeUpper(typed)) {
            menu.Selected = i;
            return MenuAnswer::Choose;
        }
    return MenuAnswer::Stay;
}

void PaintMenu(ScreenBuffer& screen, MenuBox& menu)
{
    const MenuRect rect = MenuLayout(menu, screen.Width(), screen.Height());
    const size_t rows = static_cast<size_t>(rect.Rows);
    if (menu.Selected < menu.Top)
        menu.Top = menu.Selected;
    else if (menu.Selected >= menu.Top + rows)
        menu.Top = menu.Selected - rows + 1;

    const int right = rect.Left + rect.Width - 1;
    const int bottom = rect.Top + rect.Height - 1;
    // The shadow: two columns right and one row below.
    screen.Recolor(rect.Left + 2, bottom + 1, right + 2, bottom + 1, Palette::Shadow());
    screen.Recolor(right + 1, rect.Top + 1, right + 2, bottom, Palette::Shadow());
    const Far3::FarColor text = Palette::MenuText();
    screen.Fill(rect.Left, rect.Top, right, bottom, u' ', text);

    const int frameLeft = rect.Left + MenuMargin;
    const int frameRight = right - MenuMargin;
    const int frameTop = rect.Top + MenuVerticalMargin;
    const int frameBottom = bottom - MenuVerticalMargin;
    screen.Fill(frameLeft + 1, frameTop, frameRight - 1, frameTop, u'═', text);
    screen.Fill(frameLeft + 1, frameBottom, frameRight - 1, frameBottom, u'═', text);
    screen.Fill(frameLeft, frameTop + 1, frameLeft, frameBottom - 1, u'║', text);
    screen.Fill(frameRight, frameTop + 1, frameRight, frameBottom - 1, u'║', text);
    screen.Write(frameLeft, frameTop, u"╔", text);
    screen.Write(frameRight, frameTop, u"╗", text);
    screen.Write(frameLeft, frameBottom, u"╚", text);
    screen.Write(frameRight, frameBottom, u"╝", text);
    if (!menu.Title.empty()) {
        const std::u16string title = FitWidth(u" " + menu.Title + u" ", frameRight - frameLeft - 1);
        screen.Write(frameLeft + (frameRight - frameLeft + 1 - DisplayWidth(title)) / 2, frameTop, title, text);
    }
    for (size_t row = 0; row < rows; ++row) {
        const size_t index = menu.Top + row;
        if (index >= menu.Items.size())
            break;
        const bool chosen = index == menu.Selected;
        const int y = frameTop + 1 + static_cast<int>(row);
        const int width = frameRight - frameLeft - 1;
        screen.Write(frameLeft + 1, y, PadWidth(u"  " + menu.Items[index], width, false, u'}'),
                     chosen ? Palette::MenuChosen() : text, frameRight);
        if (!menu.Items[index].empty())
            screen.Recolor(frameLeft + 3, y, frameLeft + 3, y, chosen ? Palette::MenuChosenHotkey() : Palette::MenuHotkey());
    }
}

} // namespace Host
