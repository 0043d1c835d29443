// A message box as Far builds it from Message(): a dialog of its own items,
// run by the dialog manager like any other, so it is drawn, focused and
// answered as Far does.
//
//   Width  W = L + 10, L = the longest of the lines, the title + 2 (an
//          empty title: nothing) and the button row (each label + 4, one
//          space between), capped at max(console width - 11, button row).
//   Height H = lines + 4, + 2 with buttons (+ 1 when the last line is a
//          separator: the buttons sit right under it).
//   A double box (3,1)-(W-4,H-2) with the title; line i a centred text on
//   row i + 2 (FMSG_LEFTALIGN: from column 5), '&' shown as it is; a line
//   starting with \x01 / \x02 a single / double separator with the rest as
//   its caption; a separator on row lines + 2 before the buttons (unless
//   the last line is one); the buttons a centred group on row H - 3, the
//   first the default and focused. A line too long for the box becomes a
//   read-only edit line (columns 5 .. W-6) the user can scroll; it shows its
//   start, is not "unchanged" and has the colour of the plain lines.
//
//   Running, Tab and Right on the last button go to the first, Shift+Tab
//   and Left on the first to the last; Ctrl+C and Ctrl+Ins copy the title,
//   the lines and the buttons, one per line, to the box's clipboard.
//   A box without buttons is only drawn: its title shows '&' as it is, and
//   it is centred in the rows above the screen's last one.
#pragma once

#include "host/frontends/FrontEnd.h"
#include "host/dialogs/DialogItem.h"

#include <vector>

namespace Host {

struct MessageLayout {
    int Width = 0;
    int Height = 0;
    Far3::FARDIALOGFLAGS Flags = 0;
    std::vector<DialogItem> Items;
    // Index of the first button among Items; Items.size() when there is none.
    size_t FirstButton = 0;
};

MessageLayout LayOutMessage(const MessageBox& box, int consoleWidth);

// Runs the box as a dialog with `user`: the chosen button, -1 for Esc.
intptr_t RunMessageBox(const MessageBox& box, FrontEnd& user);

// The box as drawn, centred on `user`'s screen: a box without buttons
// (drawn and left on the screen, no input read), or one the line mode
// prints before it asks for the button.
DialogView MessageBoxView(const MessageBox& box, FrontEnd& user);

} // namespace Host
