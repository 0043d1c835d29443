#include "host/dialogs/DialogMouse.h"

#include "far3/FarKeysW.h"
#include "host/dialogs/HostDialog.h"

#include <algorithm>

namespace Host {

namespace {

bool CellsHold(const CellRect& cells, int x, int y)
{
    return x >= cells.Left && x <= cells.Right && y >= cells.Top && y <= cells.Bottom;
}

// Boxes are open inside: only their frame lines are under the mouse.
bool UnderMouse(const DialogItem& item, const CellRect& cells, int x, int y)
{
    if (!CellsHold(cells, x, y))
        return false;
    if (!item.IsBox())
        return true;
    return x == cells.Left || x == cells.Right || y == cells.Top || y == cells.Bottom;
}

bool OnHistoryArrow(const DialogItem& item, const CellRect& cells, int x, int y)
{
    return item.ShowsHistoryArrow() && x == cells.Right + 1 && y == cells.Top;
}

} // namespace

void DialogMouse::Event(const Far3::MOUSE_EVENT_RECORD& mouse)
{
    if (Dialog.CloseAccepted)
        return;
    const bool leftHeld = (mouse.dwButtonState & Far3::MouseButton::Left) != 0;
    // A held button or drag takes what follows until the left button goes
    // up, as Far's own loops do: the procedure hears none of it.
    if (Held != Hold::None) {
        if (!leftHeld)
            FinishHold(mouse);
        else if (Held == Hold::Drag && (mouse.dwEventFlags & Far3::MouseFlag::Moved))
            DragTo(mouse.dwMousePosition.X, mouse.dwMousePosition.Y);
        return;
    }
    Far3::INPUT_RECORD record{};
    record.EventType = Far3::InputEvent::Mouse;
    record.Event.MouseEvent = mouse;
    if (Dialog.Keys.InputNotifyTook(record))
        return;
    // From here only presses count: a release or move with nothing held,
    // and the wheel, do nothing.
    const uint32_t buttons = mouse.dwButtonState & (Far3::MouseButton::Left | Far3::MouseButton::Right);
    if (buttons == 0 || (mouse.dwEventFlags & ~Far3::MouseFlag::DoubleClick) != 0)
        return;
    Dialog.Histories.CloseCompletion();
    const DialogPlace& place = Dialog.Place;
    const int x = mouse.dwMousePosition.X - place.Left;
    const int y = mouse.dwMousePosition.Y - place.Top;
    if (x < 0 || y < 0 || x >= place.Width || y >= place.Height) {
        if (Dialog.Call(Far3::DN_CONTROLINPUT, -1, &record) != 0 || Dialog.CloseAccepted)
            return;
        // The key goes through the whole key path, DN_CONTROLINPUT first.
        if (leftHeld)
            Dialog.Keys.Key(KeyPress{Far3::VirtualKey::Escape, 0, 0}, true);
        else
            Dialog.Keys.Key(KeyPress{Far3::VirtualKey::Return, u'\r', 0}, true);
        return;
    }
    PressInside(record, x, y);
}

void DialogMouse::PressInside(const Far3::INPUT_RECORD& record, int x, int y)
{
    const DialogItemModel& items = Dialog.Model;
    const std::vector<ItemPlacement> places = Dialog.Layout();
    auto* param = const_cast<Far3::INPUT_RECORD*>(&record);
    // The procedure hears of the press with the topmost item under it.
    for (size_t i = items.Size(); i-- > 0;) {
        const DialogItem& item = items[i];
        if (!item.IsVisible() || !item.IsEnabled())
            continue;
        if (UnderMouse(item, places[i].Cells, x, y) || OnHistoryArrow(item, places[i].Cells, x, y)) {
            if (Dialog.Call(Far3::DN_CONTROLINPUT, static_cast<intptr_t>(i), param) != 0 || Dialog.CloseAccepted)
                return;
            break;
        }
    }
    if (record.Event.MouseEvent.dwButtonState != Far3::MouseButton::Left)
        return;
    for (size_t i = 0; i < items.Size(); ++i) {
        const DialogItem& item = items[i];
        const CellRect& cells = places[i].Cells;
        if (!item.IsVisible() || !item.IsEnabled())
            continue;
        if (item.IsEdit() && OnHistoryArrow(item, cells, x, y)) {
            if (item.CanFocus())
                Dialog.Focus.Change(i);
            if (Dialog.CloseAccepted || items[i].Has(Far3::DIF_READONLY))
                return;
            // The list drops down under the edit as it is now shown.
            Dialog.Drawing.Draw();
            Dialog.User.DialogChanged(Dialog.View());
            Dialog.Histories.Open(i);
            return;
        }
        if (!UnderMouse(item, cells, x, y))
            continue;
        if (item.IsEdit()) {
            PressInEdit(i, cells, x);
            return;
        }
        if (item.IsButton()) {
            if (item.CanFocus())
                Dialog.Focus.Change(i);
            if (!Dialog.CloseAccepted) {
                Held = Hold::Button;
                HeldButton = i;
            }
            return;
        }
        if (item.IsCheckLike()) {
            if (item.CanFocus())
                Dialog.Focus.Change(i);
            if (!Dialog.CloseAccepted)
                Dialog.Keys.ToggleThroughSpace(i);
            return;
        }
    }
    // Nothing to press: the dialog is taken to be moved, unless the
    // procedure refuses.
    if (Dialog.Call(Far3::DN_DRAGGED, 0, nullptr) == 0 || Dialog.CloseAccepted)
        return;
    Held = Hold::Drag;
    DragX = x;
    DragY = y;
}

void DialogMouse::PressInEdit(size_t index, const CellRect& cells, int x)
{
    if (!Dialog.Model[index].CanFocus())
        return;
    Dialog.Focus.Change(index);
    if (Dialog.CloseAccepted || Dialog.Focus.Index() != index)
        return;
    // The cursor goes to the character shown in the cell clicked, or to
    // the end of the text; the shown part of the text stays where it is.
    DialogItem& item = Dialog.Model[index];
    const size_t width = static_cast<size_t>(std::max(1, cells.Right - cells.Left + 1));
    const size_t first = EditLine::FirstShown(item, width);
    item.LeftPos = first;
    item.Cursor = std::min(item.Data.size(), first + static_cast<size_t>(x - cells.Left));
    item.DropBlock();
    item.Unchanged = false;
}

void DialogMouse::FinishHold(const Far3::MOUSE_EVENT_RECORD& mouse)
{
    const Hold held = Held;
    Held = Hold::None;
    if (held == Hold::Drag) {
        Dialog.Call(Far3::DN_DRAGGED, 1, nullptr);
        return;
    }
    // A button is pressed only when the mouse button goes up over it.
    const size_t index = HeldButton;
    const DialogItemModel& items = Dialog.Model;
    if (index >= items.Size() || !items[index].IsVisible() || !items[index].IsEnabled())
        return;
    const CellRect cells = Dialog.Layout()[index].Cells;
    if (!CellsHold(cells, mouse.dwMousePosition.X - Dialog.Place.Left, mouse.dwMousePosition.Y - Dialog.Place.Top))
        return;
    Dialog.Keys.PressThroughEnter(index);
}

void DialogMouse::DropHold()
{
    const Hold held = Held;
    Held = Hold::None;
    if (held == Hold::Drag && !Dialog.CloseAccepted)
        Dialog.Call(Far3::DN_DRAGGED, 1, nullptr);
}

void DialogMouse::DragTo(int mouseX, int mouseY)
{
    // The whole dialog stays on the screen; one larger than the screen
    // keeps its top left corner there.
    const ScreenSize screen = Dialog.Screen();
    DialogPlace& place = Dialog.Place;
    place.CenterX = place.CenterY = false;
    place.Left = std::clamp(mouseX - DragX, 0, std::max(0, screen.Width - place.Width));
    place.Top = std::clamp(mouseY - DragY, 0, std::max(0, screen.Height - place.Height));
}

} // namespace Host
