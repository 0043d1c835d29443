#include "host/dialogs/DialogKeys.h"

#include "far3/FarKeysW.h"
#include "host/dialogs/EditLine.h"
#include "host/dialogs/HostDialog.h"
#include "host/text/HostText.h"
#include "host/text/LetterCase.h"

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;

} // namespace

void DialogKeys::Key(const KeyPress& key, bool notify)
{
    DialogItemModel& items = Dialog.Model;
    if (Dialog.CloseAccepted || items.Empty())
        return;
    const Far3::INPUT_RECORD record = KeyRecord(key);
    // The keyboard move of the dialog comes before DN_CONTROLINPUT.
    if (InputNotifyTook(record) || Dialog.KeyboardMove.Key(key) ||
        (notify && ControlInputTook(Dialog.Focus.Index(), record)))
        return;
    if (IgnoresKeys() || Dialog.Histories.CompletionKey(key) || Dialog.CloseAccepted)
        return;
    const size_t focus = Dialog.Focus.Index();
    const DialogItem& focused = items[focus];
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
                EditKey(focus, key);
            return;
        }
        if (key.Ctrl()) {
            // The first default button closes the dialog as it is, with no
            // DN_BTNCLICK; when it is disabled the key does nothing.
            const std::optional<size_t> button = items.DefaultButton();
            if (button && items[*button].IsEnabled())
                Dialog.Close(static_cast<intptr_t>(*button));
        } else if (focused.IsButton()) {
            Dialog.PressButton(focus);
        } else {
            Dialog.EnterOutsideButton();
        }
        return;
    case Vk::Escape:
    case Vk::F10:
        Dialog.Close(-1);
        return;
    case Vk::Cancel:
        Dialog.Close(-2);
        return;
    case Vk::Tab:
        // Tab and Shift+Tab; Ctrl+Tab and Alt+Tab do nothing.
        if (!key.Ctrl() && !key.Alt())
            Dialog.Focus.Neighbour(key.Shift() ? -1 : 1, false);
        return;
    case Vk::F1: {
        // The procedure answers with the topic to show; null or empty: none.
        const intptr_t topic = Dialog.Call(Far3::DN_HELP, static_cast<intptr_t>(focus),
                                           const_cast<char16_t*>(Dialog.Setup.HelpTopic.c_str()));
        const std::u16string shown(PluginText(reinterpret_cast<const char16_t*>(topic)));
        if (!shown.empty() && Dialog.Setup.ShowHelp)
            Dialog.Setup.ShowHelp(shown);
        return;
    }
    default:
        break;
    }
    if (inEdit) {
        EditKey(focus, key);
        return;
    }
    switch (plain ? key.VirtualKey : 0) {
    case Vk::Space:
        if (focused.IsButton())
            Dialog.PressButton(focus);
        else if (focused.IsCheckLike())
            Dialog.ToggleCheck(focus);
        return;
    case Vk::Add:
    case Vk::Subtract:
    case Vk::Multiply:
        if (focused.Type == Far3::DI_CHECKBOX) {
            const intptr_t state = key.VirtualKey == Vk::Add ? 1 : key.VirtualKey == Vk::Subtract ? 0 : 2;
            if (state != 2 || focused.Has(Far3::DIF_3STATE))
                Dialog.OfferCheckState(focus, state);
            return;
        }
        break;
    case Vk::Left:
    case Vk::Right:
        Dialog.Focus.Sideways(key.VirtualKey == Vk::Left ? -1 : 1);
        return;
    case Vk::Up:
        Dialog.Focus.Neighbour(-1, true);
        return;
    case Vk::Down:
        Dialog.Focus.Neighbour(1, true);
        return;
    case Vk::Home:
        Dialog.Focus.Home();
        return;
    case Vk::End:
    case Vk::Next:
        Dialog.Focus.DefaultButton();
        return;
    default:
        break;
    }
    // A bare letter outside an edit is a hotkey (Shift gives its capital).
    if (key.Char >= u' ' && key.VirtualKey != Vk::Space && !key.Ctrl() && !key.Alt())
        Hotkey(UnicodeUpper(key.Char), record);
}

void DialogKeys::EditKey(size_t index, const KeyPress& key)
{
    DialogItemModel& items = Dialog.Model;
    const bool plain = !key.Ctrl() && !key.Alt() && !key.Shift();
    const bool ctrlOnly = key.Ctrl() && !key.Alt() && !key.Shift();
    switch (key.VirtualKey) {
    case Vk::Up:
    case Vk::Down:
        if (plain) {
            Dialog.Focus.Neighbour(key.VirtualKey == Vk::Up ? -1 : 1, true);
        } else if (ctrlOnly) {
            // Ctrl+Up and Ctrl+Down open the history; never that of a read-only edit.
            const DialogItem& item = items[index];
            if (item.ShowsHistoryArrow() && !item.Has(Far3::DIF_READONLY))
                Dialog.Histories.Open(index);
        }
        return;
    case Vk::Next:
        if (plain)
            Dialog.Focus.DefaultButton();
        return;
    case Vk::Space:
    case Vk::End:
        // Ctrl+Space, and Ctrl+End at the end of the text, complete from the history by hand.
        if (ctrlOnly && (key.VirtualKey == Vk::Space || items[index].Cursor >= items[index].Data.size())) {
            Dialog.Histories.OfferCompletion(index, true);
            return;
        }
        break;
    default:
        break;
    }
    const std::u16string before = items[index].Data;
    const EditKeyResult result = EditLine(items[index], Dialog.Setup.Edits).Key(key);
    if (result.Report)
        Dialog.EditChanged(index);
    if (!Dialog.CloseAccepted && index < items.Size() && items[index].Data != before)
        Dialog.Histories.OfferCompletion(index, false);
}

void DialogKeys::Paste(const std::u16string& text)
{
    DialogItemModel& items = Dialog.Model;
    if (Dialog.CloseAccepted || items.Empty())
        return;
    // The procedure sees the paste as the Shift+Ins that makes it in Far.
    const Far3::INPUT_RECORD record = KeyRecord(KeyPress{Vk::Insert, 0, Far3::ControlKey::Shift});
    if (ProcedureTookKey(Dialog.Focus.Index(), record) || IgnoresKeys() || !items[Dialog.Focus.Index()].IsEdit())
        return;
    Dialog.Histories.CloseCompletion();
    const size_t edit = Dialog.Focus.Index();
    const EditKeyResult result = EditLine(items[edit], Dialog.Setup.Edits).Paste(text);
    if (result.Report) {
        Dialog.EditChanged(edit);
        if (!Dialog.CloseAccepted)
            Dialog.Histories.OfferCompletion(edit, false);
    }
}

bool DialogKeys::InputNotifyTook(const Far3::INPUT_RECORD& record)
{
    return (InputNotify && Dialog.Call(Far3::DN_INPUT, 0, const_cast<Far3::INPUT_RECORD*>(&record)) == 0) ||
           Dialog.CloseAccepted;
}

intptr_t DialogKeys::SetInputNotify(intptr_t value)
{
    const intptr_t previous = InputNotify ? 1 : 0;
    if (value == 0 || value == 1)
        InputNotify = value == 1;
    return previous;
}

bool DialogKeys::ControlInputTook(size_t index, const Far3::INPUT_RECORD& record)
{
    auto* param = const_cast<Far3::INPUT_RECORD*>(&record);
    return Dialog.Call(Far3::DN_CONTROLINPUT, static_cast<intptr_t>(index), param) != 0 || Dialog.CloseAccepted;
}

bool DialogKeys::ProcedureTookKey(size_t index, const Far3::INPUT_RECORD& record)
{
    return InputNotifyTook(record) || ControlInputTook(index, record);
}

bool DialogKeys::IgnoresKeys() const
{
    return !Dialog.Shown || !Dialog.Model[Dialog.Focus.Index()].IsVisible();
}

void DialogKeys::PressThroughEnter(size_t button)
{
    if (!ProcedureTookKey(button, KeyRecord(KeyPress{Vk::Return, u'\r', 0})))
        Dialog.PressButton(button);
}

void DialogKeys::ToggleThroughSpace(size_t check)
{
    if (!ProcedureTookKey(check, KeyRecord(KeyPress{Vk::Space, u' ', 0})))
        Dialog.ToggleCheck(check);
}

// The items' marked letters are folded to upper case as `key` is, so a
// hotkey of any case and script matches.
bool DialogKeys::Hotkey(char16_t key, const Far3::INPUT_RECORD& record)
{
    const DialogItemModel& items = Dialog.Model;
    const std::vector<ItemPlacement> places = Dialog.Layout();
    auto* param = const_cast<Far3::INPUT_RECORD*>(&record);
    for (size_t i = 0; i < items.Size(); ++i) {
        const DialogItem& item = items[i];
        if (!item.HasHotkeyText() || !item.IsVisible() || !item.IsEnabled() ||
            places[i].Hotkey >= places[i].Shown.size() || UnicodeUpper(places[i].Shown[places[i].Hotkey]) != key)
            continue;
        if (Dialog.Call(Far3::DN_HOTKEY, static_cast<intptr_t>(i), param) == 0)
            return true;
        if (item.IsButton()) {
            Dialog.Focus.Change(i);
            PressThroughEnter(i);
        } else if (item.IsCheckLike()) {
            Dialog.Focus.Change(i);
            Dialog.ToggleCheck(i);
        } else {
            // A label hands the focus on; a button it reaches is pressed too.
            const size_t target = Dialog.Focus.LabelTarget(i);
            if (target == items.Size())
                return true;
            if (Dialog.Call(Far3::DN_HOTKEY, static_cast<intptr_t>(target), param) == 0)
                return true;
            Dialog.Focus.Change(target);
            if (items[target].IsButton() && !Dialog.CloseAccepted)
                Dialog.Keys.PressThroughEnter(target);
        }
        return true;
    }
    return false;
}

} // namespace Host
