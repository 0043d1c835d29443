#include "host/dialogs/DrawNotifications.h"

#include "host/dialogs/DialogColors.h"
#include "host/dialogs/HostDialog.h"

namespace Host {

void DrawNotifications::Draw()
{
    if (!Dialog.Notifies() || RedrawCounter < 0)
        return;
    PaintedLast = Dialog.Call(Far3::DN_DRAWDIALOG, 0, nullptr) != 0;
    if (!PaintedLast)
        return;
    const DialogItemModel& items = Dialog.Model;
    const Far3::FARDIALOGFLAGS flags = Dialog.Setup.Flags;
    Far3::FarColor background = DefaultDialogColor(flags);
    // Whatever colour the procedure leaves clears the dialog area.
    Dialog.Call(Far3::DN_CTLCOLORDIALOG, 0, &background);
    DialogBackground = background;
    for (size_t i = 0; i < items.Size(); ++i) {
        ItemDrawn[i] = false;
        if (!items[i].IsVisible())
            continue;
        ItemRecord copy;
        items.FillRecord(i, copy);
        if (Dialog.Call(Far3::DN_DRAWDLGITEM, static_cast<intptr_t>(i), &copy.Record) == 0)
            continue;
        std::vector<Far3::FarColor> colors = DefaultItemColors(items[i], i == Dialog.Focus.Index(), flags);
        Far3::FarDialogItemColors request{sizeof(Far3::FarDialogItemColors), 0, colors.size(), colors.data()};
        Dialog.Call(Far3::DN_CTLCOLORDLGITEM, static_cast<intptr_t>(i), &request);
        ItemColors[i] = std::move(colors);
        ItemDrawn[i] = true;
        Dialog.Call(Far3::DN_DRAWDLGITEMDONE, static_cast<intptr_t>(i), nullptr);
    }
    Dialog.Call(Far3::DN_DRAWDIALOGDONE, 0, nullptr);
}

void DrawNotifications::Redraw()
{
    if (RedrawCounter == 0)
        Draw();
}

intptr_t DrawNotifications::EnableRedraw(intptr_t param1)
{
    const intptr_t previous = RedrawCounter;
    if (param1 == 0) {
        --RedrawCounter;
    } else if (param1 == 1 && RedrawCounter < 0) {
        if (++RedrawCounter == 0)
            Draw();
    }
    return previous;
}

} // namespace Host
