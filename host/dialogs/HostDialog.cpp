// A dialog's life: construction from the copied items, the dialog
// procedure and DefDlgProc's answers, the run (DN_INITDIALOG, the first
// DN_GOTFOCUS, then input until a close is accepted), the close sequence,
// and where the dialog sits on the screen.
#include "host/dialogs/HostDialog.h"

#include "framework/FarKeysW.h"

#include <algorithm>

namespace Host {

HostDialog::HostDialog(DialogSetup setup, std::vector<DialogItem> items, FrontEnd& user, HistoryStore& history)
    : Setup(std::move(setup)), DialogItems(std::move(items)), User(user), Histories(history)
{
    // X1 = -1 centres the dialog and makes X2 its width; likewise for Y.
    CenterX = Setup.X1 < 0;
    CenterY = Setup.Y1 < 0;
    Width = static_cast<int>(CenterX ? Setup.X2 : Setup.X2 - Setup.X1 + 1);
    Height = static_cast<int>(CenterY ? Setup.Y2 : Setup.Y2 - Setup.Y1 + 1);
    Left = CenterX ? 0 : static_cast<int>(Setup.X1);
    Top = CenterY ? 0 : static_cast<int>(Setup.Y1);
    Recenter();
    ItemDrawn.assign(DialogItems.size(), true);
    ItemColors.resize(DialogItems.size());
}

intptr_t HostDialog::Call(intptr_t msg, intptr_t param1, void* param2)
{
    // After an accepted close Far never calls the procedure again.
    if (CloseAccepted || !Setup.Proc)
        return DefaultProc(msg, param1, param2);
    return Setup.Proc(Handle(), msg, param1, param2);
}

intptr_t HostDialog::DefaultProc(intptr_t msg, intptr_t param1, void* param2)
{
    switch (msg) {
    case Far3::DN_CLOSE:
    case Far3::DN_DRAGGED:
    case Far3::DN_DRAWDIALOG:
    case Far3::DN_DRAWDLGITEM:
    case Far3::DN_DRAWDLGITEMDONE:
    case Far3::DN_DRAWDIALOGDONE:
    case Far3::DN_INPUT:
    case Far3::DN_HOTKEY:
    case Far3::DN_EDITCHANGE:
    case Far3::DN_LISTCHANGE:
        return 1;
    case Far3::DN_KILLFOCUS:
        return -1;
    case Far3::DN_HELP:
        return reinterpret_cast<intptr_t>(param2);
    case Far3::DN_BTNCLICK:
        if (param1 >= 0 && static_cast<size_t>(param1) < DialogItems.size() && DialogItems[param1].IsButton())
            return DialogItems[param1].Has(Far3::DIF_BTNNOCLOSE) ? 1 : 0;
        return 1;
    default:
        return 0;
    }
}

// ------------------------------------------------------------------ the run

void HostDialog::StartItems()
{
    for (DialogItem& item : DialogItems) {
        if (!(item.IsButton() || item.IsCheckLike() || item.IsText()))
            item.Flags &= ~Far3::DIF_CENTERGROUP;
        item.AddBrackets();
        if (item.StartsUnchanged()) {
            StartFromLastHistory(item);
            item.Unchanged = true;
        }
        // A fixed-width edit starts at its first cell, in overtype.
        item.Overtype = item.Type == Far3::DI_FIXEDIT;
        item.Cursor = item.Type == Far3::DI_FIXEDIT ? 0 : item.Data.size();
        item.DropBlock();
        item.LeftPos = EditLine::FirstShown(item, EditLine::Width(item));
    }
    // The first item that asks for the focus and can take it; else the
    // first that can take it; else item 0. When the items are set up
    // again, DIF_FOCUS marks the focused item, so the focus stays where
    // the procedure left it as long as that item can still take it.
    size_t focus = DialogItems.size();
    for (size_t i = 0; i < DialogItems.size() && focus == DialogItems.size(); ++i)
        if (DialogItems[i].Has(Far3::DIF_FOCUS) && DialogItems[i].CanFocus())
            focus = i;
    if (focus == DialogItems.size())
        focus = FirstFocusable();
    SetFocusIndex(focus);
    if (focus < DialogItems.size() && DialogItems[focus].Has(Far3::DIF_SELECTONENTRY))
        DialogItems[focus].SelectAll();
}

intptr_t HostDialog::Run()
{
    if (Running())
        return -1;
    struct Finish {
        HostDialog& Dialog;
        ~Finish() { Dialog.State = Phase::Finished; }
    } finish{*this};

    CloseAccepted = false;
    Initialised = false;
    OnScreen = false;
    ExitCode = -1;
    Held = MouseHold::None;
    KeyMove.reset();
    Recenter();
    StartItems();

    State = Phase::Initialising;
    // A non-zero answer asks for the items to be set up again from what
    // the procedure left in them.
    if (Call(Far3::DN_INITDIALOG, static_cast<intptr_t>(Focus), Setup.Param) != 0 && !CloseAccepted)
        StartItems();
    State = Phase::Running;
    // The dialog counts as initialised from its first DN_GOTFOCUS on, so
    // what that handler does is reported and moves the focus with events.
    if (!CloseAccepted) {
        Initialised = true;
        Call(Far3::DN_GOTFOCUS, static_cast<intptr_t>(Focus), nullptr);
    }
    OnScreen = true;
    User.DialogOpened(View());
    try {
        while (!CloseAccepted) {
            Draw();
            Process(User.ReadDialogInput(View()));
        }
    } catch (...) {
        User.DialogClosed(View(), -1);
        throw;
    }
    User.DialogClosed(View(), ExitCode);
    return ExitCode;
}

void HostDialog::Process(const DialogInput& input)
{
    if (input.What == DialogInput::Kind::Mouse) {
        ProcessMouse(input.Mouse);
        return;
    }
    DropMouseHold();
    if (input.What == DialogInput::Kind::Resize) {
        Far3::COORD size{static_cast<int16_t>(input.Size.Width), static_cast<int16_t>(input.Size.Height)};
        Call(Far3::DN_RESIZECONSOLE, 0, &size);
        // A centred dialog is centred again; one placed by its corner comes
        // back when its corner now lies beyond the screen.
        Recenter();
        KeepOnScreen();
        return;
    }
    if (input.What == DialogInput::Kind::Paste) {
        ProcessPaste(input.Text);
        return;
    }
    ProcessKey(input.Key, true);
}

bool HostDialog::Close(intptr_t exitCode)
{
    if (CloseAccepted)
        return true;
    if (Call(Far3::DN_CLOSE, exitCode, nullptr) == 0)
        return false;
    CloseAccepted = true;
    ExitCode = exitCode;
    Completion = {};
    if (exitCode >= 0)
        SaveHistories();
    return true;
}

// ------------------------------------------------------------------ geometry

ScreenSize HostDialog::Screen() const
{
    return User.Screen().value_or(ScreenSize{});
}

// Ctrl+F5 starts the move (unless DN_DRAGGED(0) refuses); then the arrows
// move the dialog by one cell, Ctrl+Left/Right by ten columns, Ctrl+Up/Down
// by five rows, Home/End/PgUp/PgDn to the screen's edges, always keeping
// part of it on the screen. Enter or Ctrl+F5 ends the move, Esc puts the
// dialog back; DN_DRAGGED(1) tells which (Param2 non-zero: put back).
// Every key of the move is the move's: the procedure never sees it.
bool HostDialog::MoveByKey(const KeyPress& key)
{
    namespace Vk = Far3::VirtualKey;
    const bool ctrlOnly = key.Ctrl() && !key.Alt() && !key.Shift();
    const bool plain = !key.Ctrl() && !key.Alt() && !key.Shift();
    const bool ctrlF5 = ctrlOnly && key.VirtualKey == Vk::F1 + 4;
    if (!KeyMove) {
        if (!ctrlF5)
            return false;
        if (Call(Far3::DN_DRAGGED, 0, nullptr) != 0 && !CloseAccepted)
            KeyMove = KeyMoveStart{Left, Top, CenterX, CenterY};
        return true;
    }
    const ScreenSize screen = Screen();
    const int lastColumn = screen.Width - 1;
    const int lastRow = screen.Height - 1;
    auto moveBy = [&](int columns, int rows) {
        CenterX = CenterY = false;
        for (; columns < 0 && Left + Width - 1 > 0; ++columns)
            --Left;
        for (; columns > 0 && Left < lastColumn; --columns)
            ++Left;
        for (; rows < 0 && Top + Height - 1 > 0; ++rows)
            --Top;
        for (; rows > 0 && Top < lastRow; --rows)
            ++Top;
    };
    if (plain || ctrlOnly) {
        switch (key.VirtualKey) {
        case Vk::Left: moveBy(ctrlOnly ? -10 : -1, 0); return true;
        case Vk::Right: moveBy(ctrlOnly ? 10 : 1, 0); return true;
        case Vk::Up: moveBy(0, ctrlOnly ? -5 : -1); return true;
        case Vk::Down: moveBy(0, ctrlOnly ? 5 : 1); return true;
        case Vk::Home: moveBy(-Left, 0); return true;
        case Vk::End: moveBy(std::max(0, lastColumn - (Left + Width - 1)), 0); return true;
        case Vk::Prior: moveBy(0, -Top); return true;
        case Vk::Next: moveBy(0, std::max(0, lastRow - (Top + Height - 1))); return true;
        default: break;
        }
    }
    if ((plain && (key.VirtualKey == Vk::Return || key.VirtualKey == Vk::Escape)) || ctrlF5) {
        const bool putBack = key.VirtualKey == Vk::Escape;
        if (putBack) {
            Left = KeyMove->Left;
            Top = KeyMove->Top;
            CenterX = KeyMove->CenterX;
            CenterY = KeyMove->CenterY;
        }
        KeyMove.reset();
        Call(Far3::DN_DRAGGED, 1, reinterpret_cast<void*>(static_cast<intptr_t>(putBack)));
    }
    return true;
}

void HostDialog::KeepOnScreen()
{
    // Far keeps at least a corner of the dialog on the screen.
    const ScreenSize screen = Screen();
    Left = std::clamp(Left, 1 - Width, std::max(0, screen.Width - 1));
    Top = std::clamp(Top, 1 - Height, std::max(0, screen.Height - 1));
}

void HostDialog::Recenter()
{
    const ScreenSize screen = Screen();
    if (CenterX)
        Left = (screen.Width - Width) / 2;
    if (CenterY)
        Top = (screen.Height - Height) / 2;
}

} // namespace Host
