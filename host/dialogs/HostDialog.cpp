// A dialog's life: construction from the copied items, the dialog
// procedure and DefDlgProc's answers, the run (DN_INITDIALOG, the first
// DN_GOTFOCUS, then input until a close is accepted), the close sequence,
// and where the dialog sits on the screen.
#include "host/dialogs/HostDialog.h"

namespace Host {

HostDialog::HostDialog(DialogSetup setup, std::vector<DialogItem> items, FrontEnd& user, DialogHistory& history)
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
        item.Modified = false;
    }
    // The first item that asks for the focus and can take it; else the
    // first that can take it; else item 0.
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
    ExitCode = -1;
    Held = MouseHold::None;
    Recenter();
    StartItems();

    State = Phase::Initialising;
    Call(Far3::DN_INITDIALOG, static_cast<intptr_t>(Focus), Setup.Param);
    State = Phase::Running;
    if (!CloseAccepted) {
        Call(Far3::DN_GOTFOCUS, static_cast<intptr_t>(Focus), nullptr);
        Initialised = true;
    }
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
        Recenter();
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

void HostDialog::Recenter()
{
    const ScreenSize screen = Screen();
    if (CenterX)
        Left = (screen.Width - Width) / 2;
    if (CenterY)
        Top = (screen.Height - Height) / 2;
}

} // namespace Host
