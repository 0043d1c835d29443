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
// Part of HostDialog (one thread); it keeps what a press still holds.
#pragma once

#include "far3/Plugin3.h"
#include "host/dialogs/DialogLayout.h"

#include <cstddef>

namespace Host {

class HostDialog;

class DialogMouse {
public:
    explicit DialogMouse(HostDialog& dialog) : Dialog(dialog) {}

    void Event(const Far3::MOUSE_EVENT_RECORD& mouse);
    // Keys and resizes end a hold without pressing anything (a drag ends
    // with DN_DRAGGED(1)).
    void DropHold();
    // A new run starts with nothing held.
    void Reset() { Held = Hold::None; }

private:
    void PressInside(const Far3::INPUT_RECORD& record, int x, int y);
    void PressInEdit(size_t index, const CellRect& cells, int x);
    // The mouse button went up: a held button is pressed when the mouse is
    // still over it; a drag ends.
    void FinishHold(const Far3::MOUSE_EVENT_RECORD& mouse);
    void DragTo(int mouseX, int mouseY);

    HostDialog& Dialog;
    // What a press still holds: nothing, a button (pressed when the mouse
    // button goes up over it) or a drag of the dialog.
    enum class Hold { None, Button, Drag };
    Hold Held = Hold::None;
    size_t HeldButton = 0;
    int DragX = 0, DragY = 0; // where the dialog was taken, from its corner
};

} // namespace Host
