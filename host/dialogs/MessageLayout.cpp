#include "host/dialogs/MessageLayout.h"

#include "host/text/HostText.h"
#include "host/dialogs/Clipboard.h"
#include "host/dialogs/DialogColors.h"
#include "host/dialogs/HistoryStore.h"
#include "host/dialogs/HostDialog.h"

#include "far3/FarKeysW.h"

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

// What the running box's procedure needs to know, handed as the dialog data.
struct MessageBoxData {
    Far3::FARDIALOGFLAGS Flags = 0;
    size_t FirstButton = 0;
    Clipboard* Copies = nullptr;
    // Title, lines and buttons, one per line, as Ctrl+C copies them.
    std::u16string Text;
};

// The box's texts as the clipboard gets them: the title, each line (a
// separator line as its caption) and each button as shown, one per line.
std::u16string CopiedText(const MessageBox& box)
{
    std::u16string text = Utf8ToUtf16(box.Title);
    for (const std::string& line : box.Lines) {
        std::u16string shown = Utf8ToUtf16(line);
        if (IsSeparatorLine(shown))
            shown.erase(0, 1);
        text += u'\n' + shown;
    }
    for (const std::string& button : box.Buttons)
        text += u'\n' + WithoutHotkeyMark(Utf8ToUtf16(button));
    return text;
}

// A key the box takes before the dialog does: Tab and Right on the last
// button go round to the first, Shift+Tab and Left on the first to the last
// (past a long line's edit); Ctrl+C and Ctrl+Ins copy the box's texts.
bool MessageBoxKey(HostDialog& dialog, const MessageBoxData& data, size_t focus, const Far3::INPUT_RECORD& record)
{
    if (record.EventType != Far3::InputEvent::Key)
        return false;
    const Far3::KEY_EVENT_RECORD& event = record.Event.KeyEvent;
    const KeyPress key{event.wVirtualKeyCode, event.UnicodeChar, event.dwControlKeyState};
    const bool plain = !key.Ctrl() && !key.Alt() && !key.Shift();
    const bool ctrlOnly = key.Ctrl() && !key.Alt() && !key.Shift();
    const size_t count = dialog.Items().size();
    namespace Vk = Far3::VirtualKey;
    if (data.FirstButton >= count)
        return false;
    const bool forward = (key.VirtualKey == Vk::Tab || key.VirtualKey == Vk::Right) && plain;
    const bool backward = (key.VirtualKey == Vk::Tab && key.Shift() && !key.Ctrl() && !key.Alt()) ||
                          (key.VirtualKey == Vk::Left && plain);
    if (forward && focus == count - 1) {
        dialog.Send(Far3::DM_SETFOCUS, static_cast<intptr_t>(data.FirstButton), nullptr);
        return true;
    }
    if (backward && focus == data.FirstButton) {
        dialog.Send(Far3::DM_SETFOCUS, static_cast<intptr_t>(count - 1), nullptr);
        return true;
    }
    if (ctrlOnly && (key.VirtualKey == 'C' || key.VirtualKey == Vk::Insert)) {
        if (data.Copies)
            data.Copies->Set(data.Text);
        return true;
    }
    return false;
}

// The box's own dialog procedure: a line too long for the box, an edit,
// starts showing its first character, is not "unchanged" and is coloured
// like the plain lines around it; the box's keys come first.
intptr_t MessageBoxProc(Far3::HANDLE handle, intptr_t msg, intptr_t param1, void* param2)
{
    HostDialog& dialog = *static_cast<HostDialog*>(handle);
    const std::vector<DialogItem>& items = dialog.Items();
    const auto* data = reinterpret_cast<const MessageBoxData*>(dialog.Send(Far3::DM_GETDLGDATA, 0, nullptr));
    if (msg == Far3::DN_INITDIALOG) {
        for (size_t i = 0; i < items.size(); ++i) {
            Far3::COORD start{0, 0};
            if (items[i].IsEdit())
                dialog.Send(Far3::DM_SETCURSORPOS, static_cast<intptr_t>(i), &start);
        }
    } else if (msg == Far3::DN_CTLCOLORDLGITEM && param1 >= 0 && static_cast<size_t>(param1) < items.size() &&
               items[static_cast<size_t>(param1)].IsEdit() && param2) {
        auto* colors = static_cast<Far3::FarDialogItemColors*>(param2);
        ColorEditAsText(colors->Colors, colors->ColorsCount, data ? data->Flags : 0);
    } else if (msg == Far3::DN_CONTROLINPUT && data && param1 >= 0 && param2 &&
               MessageBoxKey(dialog, *data, static_cast<size_t>(param1), *static_cast<Far3::INPUT_RECORD*>(param2))) {
        return 1;
    }
    return dialog.DefaultProc(msg, param1, param2);
}

DialogSetup SetupFor(const MessageLayout& layout, MessageBoxData* data)
{
    DialogSetup setup;
    setup.X1 = -1;
    setup.Y1 = -1;
    setup.X2 = layout.Width;
    setup.Y2 = layout.Height;
    setup.Flags = layout.Flags;
    setup.Proc = MessageBoxProc;
    setup.Param = data;
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
    // An empty title takes no room.
    int longest = std::max(title.empty() ? 0 : Length(title) + 2, buttonRow);
    for (const std::u16string& line : lines)
        longest = std::max(longest, Length(line));
    longest = std::min(longest, std::max(consoleWidth - 11, buttonRow));

    MessageLayout layout;
    layout.Width = longest + 10;
    const int lineCount = static_cast<int>(lines.size());
    // With buttons, a last line that is a separator is the one above them:
    // the box is a row shorter.
    const bool endsWithSeparator = !lines.empty() && IsSeparatorLine(lines.back());
    layout.Height = lineCount + 4 + (buttons.empty() ? 0 : endsWithSeparator ? 1 : 2);
    layout.Flags = (box.Flags & Far3::FMSG_WARNING) ? Far3::FDLG_WARNING : 0;
    const int width = layout.Width;
    const int height = layout.Height;

    // Without buttons the box is drawn, not run: its title marks no hotkey.
    layout.Items.push_back(
        Item(Far3::DI_DOUBLEBOX, 3, 1, width - 4, height - 2, buttons.empty() ? Far3::DIF_SHOWAMPERSAND : 0, title));
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
    if (!endsWithSeparator)
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
    MessageBoxData data{layout.Flags, layout.FirstButton, box.Copies, CopiedText(box)};
    MemoryHistoryStore noHistory;
    HostDialog dialog(SetupFor(layout, &data), layout.Items, user, noHistory);
    const intptr_t exitCode = dialog.Run();
    if (exitCode < 0 || static_cast<size_t>(exitCode) < layout.FirstButton ||
        static_cast<size_t>(exitCode) >= layout.Items.size())
        return -1;
    return exitCode - static_cast<intptr_t>(layout.FirstButton);
}

DialogView MessageBoxView(const MessageBox& box, FrontEnd& user)
{
    const ScreenSize screen = user.Screen().value_or(ScreenSize{});
    MessageLayout layout = LayOutMessage(box, screen.Width);
    // The buttons as a run shows them.
    for (DialogItem& item : layout.Items)
        item.AddBrackets();
    MessageBoxData data{layout.Flags, layout.FirstButton, box.Copies, {}};
    MemoryHistoryStore noHistory;
    HostDialog dialog(SetupFor(layout, &data), layout.Items, user, noHistory);
    DialogView view = dialog.View();
    if (box.Buttons.empty()) {
        // Drawn straight onto the screen, centred in the rows above the last
        // one: a row higher than a dialog when the two differ.
        const int top = std::max(0, (screen.Height - 1 - layout.Height) / 2);
        const int shift = top - view.Top;
        view.Top = top;
        for (DialogItemView& item : view.Items) {
            item.Top += shift;
            item.Bottom += shift;
        }
    }
    // Not run, so not drawn: the long lines take their colours here.
    for (DialogItemView& item : view.Items)
        if (layout.Items[item.Index].IsEdit())
            ColorEditAsText(item.Colors.data(), item.Colors.size(), layout.Flags);
    return view;
}

} // namespace Host
