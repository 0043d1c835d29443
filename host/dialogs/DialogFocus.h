// Which item of a dialog holds the focus, and Far's rules for moving it:
// DN_KILLFOCUS and DN_GOTFOCUS once the dialog is initialised, Tab and the
// arrows to the next item that can take it, Home, End and PgDn, a label's
// hotkey handing the focus on, and where the focus starts. Part of
// HostDialog (one thread); the item's DIF_FOCUS flag follows the focus.
#pragma once

#include <cstddef>

namespace Host {

class HostDialog;

class DialogFocus {
public:
    explicit DialogFocus(HostDialog& dialog) : Dialog(dialog) {}

    size_t Index() const { return Focused; }

    // Where the focus starts: the first item that asks for it and can take
    // it; else the first that can take it; else item 0. When the items are
    // set up again, DIF_FOCUS marks the focused item, so the focus stays
    // where the procedure left it as long as that item can still take it.
    void Start();
    // Moves the focus with the procedure's say (DN_KILLFOCUS may name
    // another target); refused for an item that cannot take the focus.
    void Change(size_t target);
    // Tab, Up and Down: the next item that can take the focus, wrapping
    // round to the focused item itself when no other can. Tab stops at a
    // radio button only when it is the selected one (`everyRadio` false).
    void Neighbour(int direction, bool everyRadio);
    // Left and Right on a button or check box: the nearest edit or radio
    // button on the row in that direction, else the neighbour.
    void Sideways(int direction);
    // Home: the DIF_HOMEITEM item, else the first that can take the focus.
    void Home();
    // End and PgDn: the default button, when it can take the focus.
    void DefaultButton();
    // The item a label's hotkey hands the focus to: the edit it follows on
    // the same row when the label ends that row (none when the edit cannot
    // take the focus); else the next item round the dialog that can take
    // it, passing radio buttons that are not selected. The item count: none.
    size_t LabelTarget(size_t label) const;

private:
    void Set(size_t index);

    HostDialog& Dialog;
    size_t Focused = 0;
};

} // namespace Host
