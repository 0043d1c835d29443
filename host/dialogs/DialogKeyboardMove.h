// Moving a dialog with the keyboard, as Far does: Ctrl+F5 starts the move
// (unless DN_DRAGGED(0) refuses); then the arrows move the dialog by one
// cell, Ctrl+Left/Right by ten columns, Ctrl+Up/Down by five rows,
// Home/End/PgUp/PgDn to the screen's edges, always keeping part of it on
// the screen. Enter or Ctrl+F5 ends the move, Esc puts the dialog back;
// DN_DRAGGED(1) tells which (Param2 non-zero: put back). Every key of the
// move is the move's: the procedure never sees it. Part of HostDialog (one
// thread).
#pragma once

#include "host/dialogs/DialogPlace.h"
#include "host/text/KeyScript.h"

#include <optional>

namespace Host {

class HostDialog;

class DialogKeyboardMove {
public:
    explicit DialogKeyboardMove(HostDialog& dialog) : Dialog(dialog) {}

    // True when the key was the move's (Ctrl+F5, or any key while a move goes on).
    bool Key(const KeyPress& key);
    // A new run starts with no move going on.
    void Reset() { Start.reset(); }

private:
    void MoveBy(int columns, int rows, ScreenSize screen);

    HostDialog& Dialog;
    // Where the move started, while one is going on (Esc goes back there).
    std::optional<DialogPlace> Start;
};

} // namespace Host
