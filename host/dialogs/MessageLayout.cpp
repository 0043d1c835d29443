#include "host/dialogs/MessageLayout.h"

#include "host/HostText.h"
#include "host/dialogs/DialogColors.h"
#include "host/dialogs/DialogHistory.h"
#include "host/dialogs/HostDialog.h"

#include <algorithm>

namespace Host {

namespace {

int Length(std::u16string_view text)
{
    return static_cast<int>(text.size());
}

DialogItem Item(Far3::FARDIALOGITEMTYPES type, int x1, int y1, int x2, int y2, uint64_t flags, std::u16string data)
{
    DialogItem item;
    item.Type = type;
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Y2 = y2;
    item.Flags = flags;
    item.Data = std::move(data);
    item.Cursor = item.Data.size();
    return item;
}

bool IsSeparatorLine(std::u16string_view line)
{
    return !line.empty() && (line.front() == u'\x01' || line.front() == u'\x02');
}

// The box's own dialog procedure: a line too long for the box, an edit,
// starts showing its first character, is not "unchanged" and is coloured
// like the plain lines around it. The box's flags come as the dialog data.
intptr_t MessageBoxProc(Far3::HANDLE handle, intptr_t msg, intptr_t param1, void* param2)
{
    HostDialog& dialog = *static_cast<HostDialog*>(handle);
    const std::vector<DialogItem>& items = dialog.Items();
    if (msg == Far3::DN_INITDIALOG) {
        for (size_t i = 0; i < items.size(); ++i) {
            Far3::COORD start{0, 0};
            if (items[i].IsEdit())
                dialog.Send(Far3::DM_SETCURSORPOS, static_cast<intptr_t>(i), &start);
        }
    } else if (msg == Far3::DN_CTLCOLORDLGITEM && param1 >= 0 && static_cast<size_t>(param1) < items.size() &&
               items[static_cast<size_t>(param1)].IsEdit() && param2) {
        auto* colors = static_cast<Far3::FarDialogItemColors*>(param2);
        const auto flags = static_cast<Far3::FARDIALOGFLAGS>(dialog.Send(Far3::DM_GETDLGDATA, 0, nullptr));
        ColorEditAsText(colors->Colors, colors->ColorsCount, flags);
    }
    return dialog.DefaultProc(msg, param1, param2);
}

DialogSetup SetupFor(const MessageLayout& layout)
{
    DialogSetup setup;
    setup.X1 = -1;
    setup.Y1 = -1;
    setup.X2 = layout.Width;
    setup.Y2 = layout.Height;
    setup.Flags = layout.Flags;
    setup.Proc = MessageBoxProc;
    setup.Param = reinterpret_cast<void*>(static_cast<uintptr_t>(layout.Flags));
    return setup;
}

} // namespace

MessageLayout LayOutMessage(const MessageBox& box, int consoleWidth)
{
    std::vector<std::u16string> lines;
    for (const std::string& line : box.Lines)
        lines.push_back(Utf8ToUtf16(line));
    std::vector<std::u16string> buttons;
    for (const std::string& button : box.Buttons)
        buttons.push_back(Utf8ToUtf16(button));
    const std::u16string title = Utf8ToUtf16(box.Title);

    int buttonRow = buttons.empty() ? 0 : -1;
    for (const std::u16string& button : buttons)
        buttonRow += Length(WithoutHotkeyMark(button)) + 4 + 1;
    int longest = std::max(Length(title) + 2, buttonRow);
    for (const std::u16string& line : lines)
        longest = std::max(longest, Length(line));
    longest = std::min(longest, std::max(consoleWidth - 11, buttonRow));

    MessageLayout layout;
    layout.Width = longest + 10;
    const int lineCount = static_cast<int>(lines.size());
    layout.Height = lineCount + 4 + (buttons.empty() ? 0 : 2);
    layout.Flags = (box.Flags & Far3::FMSG_WARNING) ? Far3::FDLG_WARNING : 0;
    const int width = layout.Width;
    const int height = layout.Height;

    layout.Items.push_back(Item(Far3::DI_DOUBLEBOX, 3, 1, width - 4, height - 2, 0, title));
    for (int i = 0; i < lineCount; ++i) {
        const std::u16string& line = lines[static_cast<size_t>(i)];
        if (IsSeparatorLine(line)) {
            const uint64_t kind = line.front() == u'\x01' ? Far3::DIF_SEPARATOR : Far3::DIF_SEPARATOR2;
            layout.Items.push_back(Item(Far3::DI_TEXT, -1, i + 2, 0, i + 2, kind | Far3::DIF_SHOWAMPERSAND,
                                        line.substr(1)));
        } else if (Length(line) > longest) {
            DialogItem edit = Item(Far3::DI_EDIT, 5, i + 2, width - 6, i + 2,
                                   Far3::DIF_READONLY | Far3::DIF_BTNNOCLOSE | Far3::DIF_SELECTONENTRY, line);
            edit.Cursor = 0;
            layout.Items.push_back(std::move(edit));
        } else {
            const bool left = (box.Flags & Far3::FMSG_LEFTALIGN) != 0;
            layout.Items.push_back(Item(Far3::DI_TEXT, left ? 5 : -1, i + 2, 0, i + 2, Far3::DIF_SHOWAMPERSAND, line));
        }
    }
    layout.FirstButton = layout.Items.size();
    if (buttons.empty())
        return layout;
    if (lines.empty() || !IsSeparatorLine(lines.back()))
        layout.Items.push_back(Item(Far3::DI_TEXT, -1, lineCount + 2, 0, lineCount + 2, Far3::DIF_SEPARATOR, u""));
    layout.FirstButton = layout.Items.size();
    for (size_t i = 0; i < buttons.size(); ++i) {
        uint64_t flags = Far3::DIF_CENTERGROUP;
        if (i == 0)
            flags |= Far3::DIF_DEFAULTBUTTON | Far3::DIF_FOCUS;
        layout.Items.push_back(Item(Far3::DI_BUTTON, 0, height - 3, 0, height - 3, flags, buttons[i]));
    }
    return layout;
}

intptr_t RunMessageBox(const MessageBox& box, FrontEnd& user)
{
    const MessageLayout layout = LayOutMessage(box, user.Screen().value_or(ScreenSize{}).Width);
    MemoryDialogHistory noHistory;
    HostDialog dialog(SetupFor(layout), layout.Items, user, noHistory);
    const intptr_t exitCode = dialog.Run();
    if (exitCode < 0 || static_cast<size_t>(exitCode) < layout.FirstButton ||
        static_cast<size_t>(exitCode) >= layout.Items.size())
        return -1;
    return exitCode - static_cast<intptr_t>(layout.FirstButton);
}

DialogView MessageBoxView(const MessageBox& box, FrontEnd& user)
{
    MessageLayout layout = LayOutMessage(box, user.Screen().value_or(ScreenSize{}).Width);
    // The buttons as a run shows them.
    for (DialogItem& item : layout.Items)
        item.AddBrackets();
    MemoryDialogHistory noHistory;
    HostDialog dialog(SetupFor(layout), layout.Items, user, noHistory);
    DialogView view = dialog.View();
    // Not run, so not drawn: the long lines take their colours here.
    for (DialogItemView& item : view.Items)
        if (layout.Items[item.Index].IsEdit())
            ColorEditAsText(item.Colors.data(), item.Colors.size(), layout.Flags);
    return view;
}

} // namespace Host
