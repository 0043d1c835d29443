#include "host/dialogs/DialogKeyboardMove.h"

#include "far3/FarKeysW.h"
#include "host/dialogs/HostDialog.h"

#include <algorithm>

namespace Host {

void DialogKeyboardMove::MoveBy(int columns, int rows, ScreenSize screen)
{
    const int lastColumn = screen.Width - 1;
    const int lastRow = screen.Height - 1;
    DialogPlace& place = Dialog.Place;
    place.CenterX = place.CenterY = false;
    for (; columns < 0 && place.Left + place.Width - 1 > 0; ++columns)
        --place.Left;
    for (; columns > 0 && place.Left < lastColumn; --columns)
        ++place.Left;
    for (; rows < 0 && place.Top + place.Height - 1 > 0; ++rows)
        --place.Top;
    for (; rows > 0 && place.Top < lastRow; --rows)
        ++place.Top;
}

bool DialogKeyboardMove::Key(const KeyPress& key)
{
    namespace Vk = Far3::VirtualKey;
    const bool ctrlOnly = key.Ctrl() && !key.Alt() && !key.Shift();
    const bool plain = !key.Ctrl() && !key.Alt() && !key.Shift();
    const bool ctrlF5 = ctrlOnly && key.VirtualKey == Vk::F1 + 4;
    if (!Start) {
        if (!ctrlF5)
            return false;
        if (Dialog.Call(Far3::DN_DRAGGED, 0, nullptr) != 0 && !Dialog.CloseAccepted)
            Start = Dialog.Place;
        return true;
    }
    const ScreenSize screen = Dialog.Screen();
    const DialogPlace& place = Dialog.Place;
    if (plain || ctrlOnly) {
        switch (key.VirtualKey) {
        case Vk::Left: MoveBy(ctrlOnly ? -10 : -1, 0, screen); return true;
        case Vk::Right: MoveBy(ctrlOnly ? 10 : 1, 0, screen); return true;
        case Vk::Up: MoveBy(0, ctrlOnly ? -5 : -1, screen); return true;
        case Vk::Down: MoveBy(0, ctrlOnly ? 5 : 1, screen); return true;
        case Vk::Home: MoveBy(-place.Left, 0, screen); return true;
        case Vk::End: MoveBy(std::max(0, screen.Width - 1 - (place.Left + place.Width - 1)), 0, screen); return true;
        case Vk::Prior: MoveBy(0, -place.Top, screen); return true;
        case Vk::Next: MoveBy(0, std::max(0, screen.Height - 1 - (place.Top + place.Height - 1)), screen); return true;
        default: break;
        }
    }
    if ((plain && (key.VirtualKey == Vk::Return || key.VirtualKey == Vk::Escape)) || ctrlF5) {
        const bool putBack = key.VirtualKey == Vk::Escape;
        if (putBack) {
            // Only where the dialog was: a size DM_RESIZEDIALOG set meanwhile stays.
            Dialog.Place.Left = Start->Left;
            Dialog.Place.Top = Start->Top;
            Dialog.Place.CenterX = Start->CenterX;
            Dialog.Place.CenterY = Start->CenterY;
        }
        Start.reset();
        Dialog.Call(Far3::DN_DRAGGED, 1, reinterpret_cast<void*>(static_cast<intptr_t>(putBack)));
    }
    return true;
}

} // namespace Host
