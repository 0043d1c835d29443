// Focus and the items' own actions: which item holds the focus and how it
// moves (with DN_KILLFOCUS / DN_GOTFOCUS once the dialog is initialised),
// button presses, check box and radio button clicks (DN_BTNCLICK), and the
// reports of an edit's changed text (DN_EDITCHANGE). The items themselves
// are DialogItem.h; the keys that lead here are DialogKeys.cpp.
#include "host/dialogs/HostDialog.h"

#include <algorithm>

namespace Host {

size_t HostDialog::FirstFocusable() const
{
    for (size_t i = 0; i < DialogItems.size(); ++i)
        if (DialogItems[i].CanFocus())
            return i;
    return 0;
}

void HostDialog::SetFocusIndex(size_t index)
{
    for (DialogItem& item : DialogItems)
        item.Flags &= ~Far3::DIF_FOCUS;
    Focus = index;
    if (Focus < DialogItems.size())
        DialogItems[Focus].Flags |= Far3::DIF_FOCUS;
}

// Far's focus change: refused for an item that is disabled, hidden or
// DIF_NOFOCUS; otherwise DN_KILLFOCUS and DN_GOTFOCUS are sent even when the
// target is the focused item itself. The item losing the focus may name
// another target, taken when that item is of a kind that holds the focus.
void HostDialog::ChangeFocus(size_t target)
{
    if (target >= DialogItems.size() ||
        DialogItems[target].Has(Far3::DIF_NOFOCUS | Far3::DIF_DISABLE | Far3::DIF_HIDDEN))
        return;
    if (Initialised && !CloseAccepted) {
        const intptr_t answer = Call(Far3::DN_KILLFOCUS, static_cast<intptr_t>(Focus), nullptr);
        if (CloseAccepted)
            return;
        if (answer >= 0 && static_cast<size_t>(answer) < DialogItems.size() &&
            DialogItems[static_cast<size_t>(answer)].TypeTakesFocus())
            target = static_cast<size_t>(answer);
    }
    SetFocusIndex(target);
    if (DialogItems[Focus].Has(Far3::DIF_SELECTONENTRY))
        DialogItems[Focus].SelectAll();
    if (Initialised && !CloseAccepted)
        Call(Far3::DN_GOTFOCUS, static_cast<intptr_t>(Focus), nullptr);
}

// Tab, Up and Down: the next item that can take the focus, wrapping round
// to the focused item itself when no other can.
void HostDialog::FocusNeighbour(int direction, bool everyRadio)
{
    const size_t count = DialogItems.size();
    for (size_t step = 1; step <= count; ++step) {
        const size_t i = direction > 0 ? (Focus + step) % count : (Focus + count - step % count) % count;
        const DialogItem& item = DialogItems[i];
        // Tab stops at a radio button only when it is the selected one.
        if (!item.CanFocus() || (item.Type == Far3::DI_RADIOBUTTON && !everyRadio && !item.Selected))
            continue;
        ChangeFocus(i);
        return;
    }
}

void HostDialog::FocusDefaultButton()
{
    for (size_t i = 0; i < DialogItems.size(); ++i)
        if (DialogItems[i].Has(Far3::DIF_DEFAULTBUTTON)) {
            if (DialogItems[i].CanFocus())
                ChangeFocus(i);
            return;
        }
}

// ------------------------------------------------------------------ clicks and edit reports

void HostDialog::PressButton(size_t index)
{
    if (Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), nullptr) != 0 || CloseAccepted)
        return;
    if (!DialogItems[index].Has(Far3::DIF_BTNNOCLOSE))
        Close(static_cast<intptr_t>(index));
}

// Enter anywhere but on a button closes with the first default button
// (nothing when that one is disabled), else with the focused item.
void HostDialog::EnterOutsideButton()
{
    for (size_t i = 0; i < DialogItems.size(); ++i) {
        const DialogItem& item = DialogItems[i];
        if (item.Has(Far3::DIF_DEFAULTBUTTON) && !item.Has(Far3::DIF_BTNNOCLOSE)) {
            if (item.IsEnabled())
                Close(static_cast<intptr_t>(i));
            return;
        }
    }
    Close(static_cast<intptr_t>(Focus));
}

void HostDialog::ToggleCheck(size_t index)
{
    DialogItem& item = DialogItems[index];
    if (item.Type == Far3::DI_RADIOBUTTON) {
        SelectRadio(index, true);
        return;
    }
    const intptr_t old = item.Selected;
    item.Selected = item.Has(Far3::DIF_3STATE) ? (old + 1) % 3 : (old ? 0 : 1);
    // The handler sees the new state already; answering 0 restores the old one.
    if (Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), reinterpret_cast<void*>(item.Selected)) == 0)
        DialogItems[index].Selected = old;
}

// Numpad +, - and *: a new state is offered first and set only when accepted.
void HostDialog::OfferCheckState(size_t index, intptr_t state)
{
    if (DialogItems[index].Selected == state)
        return;
    if (Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), reinterpret_cast<void*>(state)) != 0)
        DialogItems[index].Selected = state;
}

// A radio group: consecutive radio buttons, the first one marked DIF_GROUP.
intptr_t HostDialog::SelectRadio(size_t index, bool notify)
{
    size_t first = index;
    while (first > 0 && !DialogItems[first].Has(Far3::DIF_GROUP) &&
           DialogItems[first - 1].Type == Far3::DI_RADIOBUTTON)
        --first;
    size_t last = index;
    while (last + 1 < DialogItems.size() && DialogItems[last + 1].Type == Far3::DI_RADIOBUTTON &&
           !DialogItems[last + 1].Has(Far3::DIF_GROUP))
        ++last;
    size_t previous = index;
    for (size_t i = first; i <= last; ++i)
        if (DialogItems[i].Selected)
            previous = i;
    std::vector<intptr_t> before;
    for (size_t i = first; i <= last; ++i) {
        before.push_back(DialogItems[i].Selected);
        DialogItems[i].Selected = i == index ? 1 : 0;
    }
    if (notify && previous != index) {
        const bool accepted = Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(previous), nullptr) != 0 &&
                              Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), reinterpret_cast<void*>(1)) != 0;
        if (!accepted) {
            for (size_t i = first; i <= last; ++i)
                DialogItems[i].Selected = before[i - first];
            return static_cast<intptr_t>(previous);
        }
    }
    return static_cast<intptr_t>(index);
}

void HostDialog::EditChanged(size_t index)
{
    // A handler that changes its own item does not hear about it again.
    if (!Initialised || CloseAccepted ||
        std::find(EditChangesInProgress.begin(), EditChangesInProgress.end(), index) != EditChangesInProgress.end())
        return;
    EditChangesInProgress.push_back(index);
    struct Done {
        std::vector<size_t>& List;
        ~Done() { List.pop_back(); }
    } done{EditChangesInProgress};
    RecordCopy copy;
    FillRecord(index, copy);
    Call(Far3::DN_EDITCHANGE, static_cast<intptr_t>(index), &copy.Record);
}

void HostDialog::SetItemText(size_t index, std::u16string text)
{
    DialogItem& item = DialogItems[index];
    if (item.IsEdit()) {
        item.SetEditText(std::move(text));
        // Once the dialog is initialised a new text leaves the edit changed
        // and is reported; before, it only replaces the starting text.
        if (Initialised) {
            item.Unchanged = false;
            EditChanged(index);
        }
        return;
    }
    item.Data = std::move(text);
    if (State != Phase::Created)
        item.AddBrackets();
}

} // namespace Host
