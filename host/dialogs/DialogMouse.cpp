// What the mouse does in a running dialog, in Far's order. Every mouse
// event first goes to DN_INPUT (when asked for); a press then goes to
// DN_CONTROLINPUT with the item under it (-1 outside the dialog), and
// unless the procedure took it the host acts:
// - outside the dialog, the left button is Esc and the right one Enter;
// - inside, only the left button acts, on the first enabled, visible item
//   in array order that lies under it: a button is focused and, when the
//   mouse button goes up over it, pressed by the Enter path (DN_CONTROLINPUT
//   with Enter, then DN_BTNCLICK); a check box or radio button is focused
//   and clicked by the Space path; an edit is focused, gets the cursor
//   at the cell clicked and is no longer unchanged; an edit's history
//   arrow focuses the edit and drops its history down (never for a
//   read-only edit);
// - anywhere else inside (frame, texts, disabled items) the press takes
//   the dialog: DN_DRAGGED(0) may refuse, the dialog then follows the mouse
//   while the button is held, staying on the screen, and DN_DRAGGED(1)
//   ends the move when the button goes up.
// Items that cannot take the focus (DIF_NOFOCUS) are still pressed and
// clicked, without the focus moving; such an edit takes no cursor.
#include "host/dialogs/HostDialog.h"

#include "framework/FarKeysW.h"

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

void HostDialog::ProcessMouse(const Far3::MOUSE_EVENT_RECORD& mouse)
{
    if (CloseAccepted)
        return;
    const bool leftHeld = (mouse.dwButtonState & Far3::MouseButton::Left) != 0;
    // A held button or drag takes what follows until the left button goes
    // up, as Far's own loops do: the procedure hears none of it.
    if (Held != MouseHold::None) {
        if (!leftHeld)
            FinishMouseHold(mouse);
        else if (Held == MouseHold::Drag && (mouse.dwEventFlags & Far3::MouseFlag::Moved))
            DragTo(mouse.dwMousePosition.X, mouse.dwMousePosition.Y);
        return;
    }
    Far3::INPUT_RECORD record{};
    record.EventType = Far3::InputEvent::Mouse;
    record.Event.MouseEvent = mouse;
    if (InputNotify && Call(Far3::DN_INPUT, 0, &record) == 0)
        return;
    // From here only presses count: a release or move with nothing held,
    // and the wheel, do nothing.
    const uint32_t buttons = mouse.dwButtonState & (Far3::MouseButton::Left | Far3::MouseButton::Right);
    if (CloseAccepted || buttons == 0 || (mouse.dwEventFlags & ~Far3::MouseFlag::DoubleClick) != 0)
        return;
    Completion = {};
    const int x = mouse.dwMousePosition.X - Left;
    const int y = mouse.dwMousePosition.Y - Top;
    if (x < 0 || y < 0 || x >= Width || y >= Height) {
        if (Call(Far3::DN_CONTROLINPUT, -1, &record) != 0 || CloseAccepted)
            return;
        // The key goes through the whole key path, DN_CONTROLINPUT first.
        if (leftHeld)
            ProcessKey(KeyPress{Far3::VirtualKey::Escape, 0, 0}, true);
        else
            ProcessKey(KeyPress{Far3::VirtualKey::Return, u'\r', 0}, true);
        return;
    }
    MousePressInside(record, x, y);
}

void HostDialog::MousePressInside(const Far3::INPUT_RECORD& record, int x, int y)
{
    const std::vector<ItemPlacement> places = Layout();
    auto* param = const_cast<Far3::INPUT_RECORD*>(&record);
    // The procedure hears of the press with the topmost item under it.
    for (size_t i = DialogItems.size(); i-- > 0;) {
        const DialogItem& item = DialogItems[i];
        if (!item.IsVisible() || !item.IsEnabled())
            continue;
        if (UnderMouse(item, places[i].Cells, x, y) || OnHistoryArrow(item, places[i].Cells, x, y)) {
            if (Call(Far3::DN_CONTROLINPUT, static_cast<intptr_t>(i), param) != 0 || CloseAccepted)
                return;
            break;
        }
    }
    if (record.Event.MouseEvent.dwButtonState != Far3::MouseButton::Left)
        return;
    for (size_t i = 0; i < DialogItems.size(); ++i) {
        const DialogItem& item = DialogItems[i];
        const CellRect& cells = places[i].Cells;
        if (!item.IsVisible() || !item.IsEnabled())
            continue;
        if (item.IsEdit() && OnHistoryArrow(item, cells, x, y)) {
            if (item.CanFocus())
                ChangeFocus(i);
            if (CloseAccepted || DialogItems[i].Has(Far3::DIF_READONLY))
                return;
            // The list drops down under the edit as it is now shown.
            Draw();
            User.DialogChanged(View());
            OpenHistory(i);
            return;
        }
        if (!UnderMouse(item, cells, x, y))
            continue;
        if (item.IsEdit()) {
            MouseInEdit(i, cells, x);
            return;
        }
        if (item.IsButton()) {
            if (item.CanFocus())
                ChangeFocus(i);
            if (!CloseAccepted) {
                Held = MouseHold::Button;
                HeldButton = i;
            }
            return;
        }
        if (item.IsCheckLike()) {
            if (item.CanFocus())
                ChangeFocus(i);
            if (!CloseAccepted)
                ToggleThroughSpace(i);
            return;
        }
    }
    // Nothing to press: the dialog is taken to be moved, unless the
    // procedure refuses.
    if (Call(Far3::DN_DRAGGED, 0, nullptr) == 0 || CloseAccepted)
        return;
    Held = MouseHold::Drag;
    DragX = x;
    DragY = y;
}

void HostDialog::MouseInEdit(size_t index, const CellRect& cells, int x)
{
    if (!DialogItems[index].CanFocus())
        return;
    ChangeFocus(index);
    if (CloseAccepted || Focus != index)
        return;
    // The cursor goes to the character shown in the cell clicked, or to
    // the end of the text; the shown part of the text stays where it is.
    DialogItem& item = DialogItems[index];
    const size_t width = static_cast<size_t>(std::max(1, cells.Right - cells.Left + 1));
    const size_t first = EditLine::FirstShown(item, width);
    item.LeftPos = first;
    item.Cursor = std::min(item.Data.size(), first + static_cast<size_t>(x - cells.Left));
    item.DropBlock();
    item.Unchanged = false;
}

void HostDialog::FinishMouseHold(const Far3::MOUSE_EVENT_RECORD& mouse)
{
    const MouseHold held = Held;
    Held = MouseHold::None;
    if (held == MouseHold::Drag) {
        Call(Far3::DN_DRAGGED, 1, nullptr);
        return;
    }
    // A button is pressed only when the mouse button goes up over it.
    const size_t index = HeldButton;
    if (index >= DialogItems.size() || !DialogItems[index].IsVisible() || !DialogItems[index].IsEnabled())
        return;
    const CellRect cells = Layout()[index].Cells;
    if (!CellsHold(cells, mouse.dwMousePosition.X - Left, mouse.dwMousePosition.Y - Top))
        return;
    PressThroughEnter(index);
}

void HostDialog::DropMouseHold()
{
    const MouseHold held = Held;
    Held = MouseHold::None;
    if (held == MouseHold::Drag && !CloseAccepted)
        Call(Far3::DN_DRAGGED, 1, nullptr);
}

void HostDialog::DragTo(int mouseX, int mouseY)
{
    // The whole dialog stays on the screen; one larger than the screen
    // keeps its top left corner there.
    const ScreenSize screen = Screen();
    CenterX = CenterY = false;
    Left = std::clamp(mouseX - DragX, 0, std::max(0, screen.Width - Width));
    Top = std::clamp(mouseY - DragY, 0, std::max(0, screen.Height - Height));
}

} // namespace Host
