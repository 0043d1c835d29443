#include "host/dialogs/DialogFocus.h"

#include "host/dialogs/HostDialog.h"

namespace Host {

void DialogFocus::Set(size_t index)
{
    Focused = index;
    Dialog.Model.MarkFocus(index);
}

void DialogFocus::Start()
{
    const DialogItemModel& items = Dialog.Model;
    size_t focus = items.Size();
    for (size_t i = 0; i < items.Size() && focus == items.Size(); ++i)
        if (items[i].Has(Far3::DIF_FOCUS) && items[i].CanFocus())
            focus = i;
    if (focus == items.Size())
        focus = items.FirstFocusable();
    Set(focus);
    if (focus < items.Size() && items[focus].Has(Far3::DIF_SELECTONENTRY))
        Dialog.Model[focus].SelectAll();
}

// DN_KILLFOCUS and DN_GOTFOCUS are sent even when the target is the focused
// item itself. The item losing the focus may name another target, taken
// when that item is of a kind that holds the focus.
void DialogFocus::Change(size_t target)
{
    DialogItemModel& items = Dialog.Model;
    if (target >= items.Size() || items[target].Has(Far3::DIF_NOFOCUS | Far3::DIF_DISABLE | Far3::DIF_HIDDEN))
        return;
    if (Dialog.Notifies()) {
        const intptr_t answer = Dialog.Call(Far3::DN_KILLFOCUS, static_cast<intptr_t>(Focused), nullptr);
        if (Dialog.CloseAccepted)
            return;
        if (items.Holds(answer) && items[static_cast<size_t>(answer)].TypeTakesFocus())
            target = static_cast<size_t>(answer);
    }
    Set(target);
    if (items[Focused].Has(Far3::DIF_SELECTONENTRY))
        items[Focused].SelectAll();
    if (Dialog.Notifies())
        Dialog.Call(Far3::DN_GOTFOCUS, static_cast<intptr_t>(Focused), nullptr);
}

void DialogFocus::Neighbour(int direction, bool everyRadio)
{
    const DialogItemModel& items = Dialog.Model;
    const size_t count = items.Size();
    for (size_t step = 1; step <= count; ++step) {
        const size_t i = direction > 0 ? (Focused + step) % count : (Focused + count - step % count) % count;
        const DialogItem& item = items[i];
        if (!item.CanFocus() || (item.Type == Far3::DI_RADIOBUTTON && !everyRadio && !item.Selected))
            continue;
        Change(i);
        return;
    }
}

void DialogFocus::Sideways(int direction)
{
    const DialogItemModel& items = Dialog.Model;
    const std::vector<ItemPlacement> places = Dialog.Layout();
    size_t nearest = items.Size();
    int distance = 0;
    for (size_t i = 0; i < items.Size(); ++i) {
        if (i == Focused || !(items[i].IsEdit() || items[i].Type == Far3::DI_RADIOBUTTON) ||
            items[i].Y1 != items[Focused].Y1)
            continue;
        const int offset = (places[i].Cells.Left - places[Focused].Cells.Left) * direction;
        if (offset > 0 && (nearest == items.Size() || offset < distance)) {
            nearest = i;
            distance = offset;
        }
    }
    if (nearest < items.Size())
        Change(nearest);
    else
        Neighbour(direction, true);
}

void DialogFocus::Home()
{
    const DialogItemModel& items = Dialog.Model;
    for (size_t i = 0; i < items.Size(); ++i)
        if (items[i].Has(Far3::DIF_HOMEITEM) && items[i].CanFocus()) {
            Change(i);
            return;
        }
    Change(items.FirstFocusable());
}

void DialogFocus::DefaultButton()
{
    const std::optional<size_t> button = Dialog.Model.DefaultButton();
    if (button && Dialog.Model[*button].CanFocus())
        Change(*button);
}

size_t DialogFocus::LabelTarget(size_t label) const
{
    const DialogItemModel& items = Dialog.Model;
    const DialogItem& item = items[label];
    const bool endsRow = label + 1 >= items.Size() || items[label + 1].Y1 != item.Y1;
    if (item.Type == Far3::DI_TEXT && label > 0 && items[label - 1].IsEdit() && items[label - 1].Y1 == item.Y1 &&
        endsRow)
        return items[label - 1].CanFocus() ? label - 1 : items.Size();
    for (size_t step = 1; step <= items.Size(); ++step) {
        const size_t i = (label + step) % items.Size();
        if (items[i].CanFocus() && !(items[i].Type == Far3::DI_RADIOBUTTON && !items[i].Selected))
            return i;
    }
    return items.Size();
}

} // namespace Host
