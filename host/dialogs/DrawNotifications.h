// Drawing a dialog as Far does, as far as the procedure takes part in it:
// DN_DRAWDIALOG, DN_CTLCOLORDIALOG, then for every visible item
// DN_DRAWDLGITEM, DN_CTLCOLORDLGITEM and DN_DRAWDLGITEMDONE, then
// DN_DRAWDIALOGDONE; and DM_ENABLEREDRAW's lock. The colours and the items
// the procedure let be drawn are kept for the view; the cells themselves
// are painted by the front end (DialogPainter.h). Part of HostDialog (one
// thread).
#pragma once

#include "far3/Plugin3.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace Host {

class HostDialog;

class DrawNotifications {
public:
    DrawNotifications(HostDialog& dialog, size_t items) : Dialog(dialog), ItemDrawn(items, true), ItemColors(items) {}

    // Draws unless the dialog is not yet initialised, closed or locked.
    void Draw();
    // DM_REDRAW: draws unless locked.
    void Redraw();
    // DM_ENABLEREDRAW: 0 locks once more, 1 takes one lock back (drawing
    // when the last one goes); returns the count before.
    intptr_t EnableRedraw(intptr_t param1);

    // The procedure let the last drawing happen (DN_DRAWDIALOG).
    bool Painted() const { return PaintedLast; }
    // DN_CTLCOLORDIALOG's answer at the last drawing.
    const std::optional<Far3::FarColor>& Background() const { return DialogBackground; }
    bool Drawn(size_t index) const { return ItemDrawn[index]; }
    // The colours of item `index` at its last drawing; empty: the defaults.
    const std::vector<Far3::FarColor>& Colors(size_t index) const { return ItemColors[index]; }

private:
    HostDialog& Dialog;
    int RedrawCounter = 0; // 0 draws; each lock makes it one lower
    bool PaintedLast = true;
    std::optional<Far3::FarColor> DialogBackground;
    std::vector<bool> ItemDrawn;
    std::vector<std::vector<Far3::FarColor>> ItemColors;
};

} // namespace Host
