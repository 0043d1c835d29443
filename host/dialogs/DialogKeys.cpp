// What a key does in a running dialog, in Far's order: DN_INPUT (when
// asked for), DN_CONTROLINPUT to the procedure, then the host's own action.
#include "host/text/HostText.h"
#include "host/text/LetterCase.h"
#include "host/dialogs/EditLine.h"
#include "host/dialogs/HostDialog.h"

#include "framework/FarKeysW.h"

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;

Far3::INPUT_RECORD KeyRecord(const KeyPress& key)
{
    Far3::INPUT_RECORD record{};
    record.EventType = Far3::InputEvent::Key;
    record.Event.KeyEvent.bKeyDown = 1;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = key.VirtualKey;
    record.Event.KeyEvent.UnicodeChar = key.Char;
    record.Event.KeyEvent.dwControlKeyState = key.ControlState;
    return record;
}

// Left and Right on a button or check box: the nearest edit or radio button
// on the focused item's row in that direction, by column; `items.size()`
// when there is none.
size_t NearestOnRowTowards(const std::vector<DialogItem>& items, const std::vector<ItemPlacement>& places,
                           size_t focus, int direction)
{
    size_t nearest = items.size();
    int distance = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i == focus || !(items[i].IsEdit() || items[i].Type == Far3::DI_RADIOBUTTON) ||
            items[i].Y1 != items[focus].Y1)
            continue;
        const int offset = (places[i].Cells.Left - places[focus].Cells.Left) * direction;
        if (offset > 0 && (nearest == items.size() || offset < distance)) {
            nearest = i;
            distance = offset;
        }
    }
    return nearest;
}

// The item a label's hotkey hands the focus to: the edit it follows on the
// same row when the label ends that row (none when the edit cannot take
// the focus); else the next item round the dialog that can take it,
// passing radio buttons that are not selected. `items.size()`: none.
size_t LabelTarget(const std::vector<DialogItem>& items, size_t label)
{
    const DialogItem& item = items[label];
    const bool endsRow = label + 1 >= items.size() || items[label + 1].Y1 != item.Y1;
    if (item.Type == Far3::DI_TEXT && label > 0 && items[label - 1].IsEdit() && items[label - 1].Y1 == item.Y1 &&
        endsRow)
        return items[label - 1].CanFocus() ? label - 1 : items.size();
    for (size_t step = 1; step <= items.size(); ++step) {
        const size_t i = (label + step) % items.size();
        if (items[i].CanFocus() && !(items[i].Type == Far3::DI_RADIOBUTTON && !items[i].Selected))
            return i;
    }
    return items.size();
}

} // namespace

void HostDialog::ProcessKey(const KeyPress& key, bool notify)
{
    if (CloseAccepted || DialogItems.empty())
        return;
    const Far3::INPUT_RECORD record = KeyRecord(key);
    // The keyboard move of the dialog comes before DN_CONTROLINPUT; a key
    // DM_KEY hands in skips DN_CONTROLINPUT but not DN_INPUT.
    if (InputNotifyTook(record) || MoveByKey(key) || (notify && ControlInputTook(Focus, record)))
        return;
    if (IgnoresKeys() || CompletionKey(key) || CloseAccepted)
        return;
    const DialogItem& focused = DialogItems[Focus];
    const bool inEdit = focused.IsEdit();
    // The dialog's own keys act only without modifiers, as Far's do.
    const bool plain = !key.Ctrl() && !key.Alt() && !key.Shift();

    if (key.Alt() && !key.Ctrl() && !key.Shift() && AltHotkeyCharacter(key) != 0) {
        Hotkey(AltHotkeyCharacter(key), record);
        return;
    }
    switch (key.VirtualKey) {
    case Vk::Return:
        if (key.Shift() || key.Alt()) {
            // Not the dialog's keys: an edit inserts a panel name for them.
            if (inEdit)
                ProcessEditKey(Focus, key);
            return;
        }
        if (key.Ctrl()) {
            // The first default button closes the dialog as it is, with no
            // DN_BTNCLICK; when it is disabled the key does nothing.
            for (size_t i = 0; i < DialogItems.size(); ++i)
                if (DialogItems[i].Has(Far3::DIF_DEFAULTBUTTON)) {
                    if (DialogItems[i].IsEnabled())
                        Close(static_cast<intptr_t>(i));
                    break;
                }
        } else if (focused.IsButton()) {
            PressButton(Focus);
        } else {
            EnterOutsideButton();
        }
        return;
    case Vk::Escape:
    case Vk::F10:
        Close(-1);
        return;
    case Vk::Cancel:
        Close(-2);
        return;
    case Vk::Tab:
        // Tab and Shift+Tab; Ctrl+Tab and Alt+Tab do nothing.
        if (!key.Ctrl() && !key.Alt())
            FocusNeighbour(key.Shift() ? -1 : 1, false);
        return;
    case Vk::F1: {
        // The procedure answers with the topic to show; null or empty: none.
        const intptr_t topic =
            Call(Far3::DN_HELP, static_cast<intptr_t>(Focus), const_cast<char16_t*>(Setup.HelpTopic.c_str()));
        const std::u16string shown(PluginText(reinterpret_cast<const char16_t*>(topic)));
        if (!shown.empty() && Setup.ShowHelp)
            Setup.ShowHelp(shown);
        return;
    }
    default:
        break;
    }
    if (inEdit) {
        ProcessEditKey(Focus, key);
        return;
    }
    switch (plain ? key.VirtualKey : 0) {
    case Vk::Space:
        if (focused.IsButton())
            PressButton(Focus);
        else if (focused.IsCheckLike())
            ToggleCheck(Focus);
        return;
    case Vk::Add:
    case Vk::Subtract:
    case Vk::Multiply:
        if (focused.Type == Far3::DI_CHECKBOX) {
            const intptr_t state = key.VirtualKey == Vk::Add ? 1 : key.VirtualKey == Vk::Subtract ? 0 : 2;
            if (state != 2 || focused.Has(Far3::DIF_3STATE))
                OfferCheckState(Focus, state);
            return;
        }
        break;
    case Vk::Left:
    case Vk::Right: {
        const int direction = key.VirtualKey == Vk::Left ? -1 : 1;
        const size_t target = NearestOnRowTowards(DialogItems, Layout(), Focus, direction);
        if (target < DialogItems.size())
            ChangeFocus(target);
        else
            FocusNeighbour(direction, true);
        return;
    }
    case Vk::Up:
        FocusNeighbour(-1, true);
        return;
    case Vk::Down:
        FocusNeighbour(1, true);
        return;
    case Vk::Home:
        for (size_t i = 0; i < DialogItems.size(); ++i)
            if (DialogItems[i].Has(Far3::DIF_HOMEITEM) && DialogItems[i].CanFocus()) {
                ChangeFocus(i);
                return;
            }
        ChangeFocus(FirstFocusable());
        return;
    case Vk::End:
    case Vk::Next:
        FocusDefaultButton();
        return;
    default:
        break;
    }
    // A bare letter outside an edit is a hotkey (Shift gives its capital).
    if (key.Char >= u' ' && key.VirtualKey != Vk::Space && !key.Ctrl() && !key.Alt())
        Hotkey(UnicodeUpper(key.Char), record);
}

void HostDialog::ProcessEditKey(size_t index, const KeyPress& key)
{
    const bool plain = !key.Ctrl() && !key.Alt() && !key.Shift();
    const bool ctrlOnly = key.Ctrl() && !key.Alt() && !key.Shift();
    switch (key.VirtualKey) {
    case Vk::Up:
    case Vk::Down:
        if (plain) {
            FocusNeighbour(key.VirtualKey == Vk::Up ? -1 : 1, true);
        } else if (ctrlOnly) {
            // Ctrl+Up and Ctrl+Down open the history; never that of a read-only edit.
            const DialogItem& item = DialogItems[index];
            if (item.ShowsHistoryArrow() && !item.Has(Far3::DIF_READONLY))
                OpenHistory(index);
        }
        return;
    case Vk::Next:
        if (plain)
            FocusDefaultButton();
        return;
    case Vk::Space:
    case Vk::End:
        // Ctrl+Space, and Ctrl+End at the end of the text, complete from the history by hand.
        if (ctrlOnly && (key.VirtualKey == Vk::Space || DialogItems[index].Cursor >= DialogItems[index].Data.size())) {
            OfferCompletion(index, true);
            return;
        }
        break;
    default:
        break;
    }
    const std::u16string before = DialogItems[index].Data;
    const EditKeyResult result = EditLine(DialogItems[index], Setup.Edits).Key(key);
    if (result.Report)
        EditChanged(index);
    if (!CloseAccepted && index < DialogItems.size() && DialogItems[index].Data != before)
        OfferCompletion(index, false);
}

void HostDialog::ProcessPaste(const std::u16string& text)
{
    if (CloseAccepted || DialogItems.empty())
        return;
    // The procedure sees the paste as the Shift+Ins that makes it in Far.
    const Far3::INPUT_RECORD record = KeyRecord(KeyPress{Vk::Insert, 0, Far3::ControlKey::Shift});
    if (ProcedureTookKey(Focus, record) || IgnoresKeys() || !DialogItems[Focus].IsEdit())
        return;
    Completion = {};
    const size_t index = Focus;
    const EditKeyResult result = EditLine(DialogItems[index], Setup.Edits).Paste(text);
    if (result.Report) {
        EditChanged(index);
        if (!CloseAccepted)
            OfferCompletion(index, false);
    }
}

bool HostDialog::InputNotifyTook(const Far3::INPUT_RECORD& record)
{
    return (InputNotify && Call(Far3::DN_INPUT, 0, const_cast<Far3::INPUT_RECORD*>(&record)) == 0) || CloseAccepted;
}

bool HostDialog::ControlInputTook(size_t index, const Far3::INPUT_RECORD& record)
{
    auto* param = const_cast<Far3::INPUT_RECORD*>(&record);
    return Call(Far3::DN_CONTROLINPUT, static_cast<intptr_t>(index), param) != 0 || CloseAccepted;
}

bool HostDialog::ProcedureTookKey(size_t index, const Far3::INPUT_RECORD& record)
{
    return InputNotifyTook(record) || ControlInputTook(index, record);
}

// While DM_SHOWDIALOG hides the dialog, or the focused item is hidden,
// keys reach the procedure but the dialog does nothing with them.
bool HostDialog::IgnoresKeys() const
{
    return !Shown || !DialogItems[Focus].IsVisible();
}

void HostDialog::PressThroughEnter(size_t button)
{
    if (!ProcedureTookKey(button, KeyRecord(KeyPress{Vk::Return, u'\r', 0})))
        PressButton(button);
}

void HostDialog::ToggleThroughSpace(size_t check)
{
    if (!ProcedureTookKey(check, KeyRecord(KeyPress{Vk::Space, u' ', 0})))
        ToggleCheck(check);
}

// `key` is the hotkey character in upper case; the items' marked letters are
// folded the same way, so a hotkey of any case and script matches.
bool HostDialog::Hotkey(char16_t key, const Far3::INPUT_RECORD& record)
{
    const std::vector<ItemPlacement> places = Layout();
    for (size_t i = 0; i < DialogItems.size(); ++i) {
        const DialogItem& item = DialogItems[i];
        if (!item.HasHotkeyText() || !item.IsVisible() || !item.IsEnabled() ||
            places[i].Hotkey >= places[i].Shown.size() || UnicodeUpper(places[i].Shown[places[i].Hotkey]) != key)
            continue;
        if (Call(Far3::DN_HOTKEY, static_cast<intptr_t>(i), const_cast<Far3::INPUT_RECORD*>(&record)) == 0)
            return true;
        if (item.IsButton()) {
            ChangeFocus(i);
            PressThroughEnter(i);
        } else if (item.IsCheckLike()) {
            ChangeFocus(i);
            ToggleCheck(i);
        } else {
            // A label hands the focus on; a button it reaches is pressed too.
            const size_t target = LabelTarget(DialogItems, i);
            if (target == DialogItems.size())
                return true;
            if (Call(Far3::DN_HOTKEY, static_cast<intptr_t>(target), const_cast<Far3::INPUT_RECORD*>(&record)) == 0)
                return true;
            ChangeFocus(target);
            if (DialogItems[target].IsButton() && !CloseAccepted)
                PressThroughEnter(target);
        }
        return true;
    }
    return false;
}

} // namespace Host
