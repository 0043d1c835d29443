#include "host/dialogs/HostDialog.h"

#include "host/dialogs/DialogColors.h"

#include <algorithm>

namespace Host {

HostDialog::HostDialog(DialogSetup setup, std::vector<DialogItem> items, FrontEnd& user, HistoryStore& history)
    : Setup(std::move(setup)), Model(std::move(items)), User(user),
      Place(DialogPlace::FromInit(Setup.X1, Setup.Y1, Setup.X2, Setup.Y2)), Histories(*this, history),
      Drawing(*this, Model.Size())
{
    Place.Recenter(Screen());
}

intptr_t HostDialog::Call(intptr_t msg, intptr_t param1, void* param2)
{
    // After an accepted close Far never calls the procedure again.
    if (CloseAccepted || !Setup.Proc)
        return DefaultProc(msg, param1, param2);
    return Setup.Proc(Handle(), msg, param1, param2);
}

intptr_t HostDialog::Send(intptr_t msg, intptr_t param1, void* param2)
{
    return Messages.Send(msg, param1, param2);
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
        if (Model.Holds(param1) && Model[static_cast<size_t>(param1)].IsButton())
            return Model[static_cast<size_t>(param1)].Has(Far3::DIF_BTNNOCLOSE) ? 1 : 0;
        return 1;
    default:
        return 0;
    }
}

// ------------------------------------------------------------------ the run

void HostDialog::StartItems()
{
    Model.Start([this](DialogItem& item) { Histories.StartFromLast(item); });
    Focus.Start();
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
    Mouse.Reset();
    KeyboardMove.Reset();
    Place.Recenter(Screen());
    StartItems();

    State = Phase::Initialising;
    // A non-zero answer asks for the items to be set up again from what
    // the procedure left in them.
    if (Call(Far3::DN_INITDIALOG, static_cast<intptr_t>(Focus.Index()), Setup.Param) != 0 && !CloseAccepted)
        StartItems();
    State = Phase::Running;
    // The dialog counts as initialised from its first DN_GOTFOCUS on, so
    // what that handler does is reported and moves the focus with events.
    if (!CloseAccepted) {
        Initialised = true;
        Call(Far3::DN_GOTFOCUS, static_cast<intptr_t>(Focus.Index()), nullptr);
    }
    OnScreen = true;
    User.DialogOpened(View());
    try {
        while (!CloseAccepted) {
            Drawing.Draw();
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
        Mouse.Event(input.Mouse);
        return;
    }
    Mouse.DropHold();
    if (input.What == DialogInput::Kind::Resize) {
        Far3::COORD size{static_cast<int16_t>(input.Size.Width), static_cast<int16_t>(input.Size.Height)};
        Call(Far3::DN_RESIZECONSOLE, 0, &size);
        // A centred dialog is centred again; one placed by its corner comes
        // back when its corner now lies beyond the screen.
        const ScreenSize screen = Screen();
        Place.Recenter(screen);
        Place.KeepOnScreen(screen);
        return;
    }
    if (input.What == DialogInput::Kind::Paste) {
        Keys.Paste(input.Text);
        return;
    }
    Keys.Key(input.Key, true);
}

bool HostDialog::Close(intptr_t exitCode)
{
    if (CloseAccepted)
        return true;
    if (Call(Far3::DN_CLOSE, exitCode, nullptr) == 0)
        return false;
    CloseAccepted = true;
    ExitCode = exitCode;
    Histories.CloseCompletion();
    if (exitCode >= 0)
        Histories.Save();
    return true;
}

ScreenSize HostDialog::Screen() const
{
    return User.Screen().value_or(ScreenSize{});
}

std::vector<ItemPlacement> HostDialog::Layout() const
{
    return LayOutItems(Model.All(), Place.Width, Place.Height, (Setup.Flags & Far3::FDLG_SMALLDIALOG) != 0);
}

// ------------------------------------------------------------------ the items' actions

void HostDialog::PressButton(size_t index)
{
    if (Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), nullptr) != 0 || CloseAccepted)
        return;
    if (!Model[index].Has(Far3::DIF_BTNNOCLOSE))
        Close(static_cast<intptr_t>(index));
}

// Closes with the first default button that closes (nothing when that one
// is disabled), else with the focused item.
void HostDialog::EnterOutsideButton()
{
    for (size_t i = 0; i < Model.Size(); ++i) {
        const DialogItem& item = Model[i];
        if (item.Has(Far3::DIF_DEFAULTBUTTON) && !item.Has(Far3::DIF_BTNNOCLOSE)) {
            if (item.IsEnabled())
                Close(static_cast<intptr_t>(i));
            return;
        }
    }
    Close(static_cast<intptr_t>(Focus.Index()));
}

void HostDialog::ToggleCheck(size_t index)
{
    DialogItem& item = Model[index];
    if (item.Type == Far3::DI_RADIOBUTTON) {
        SelectRadio(index, true);
        return;
    }
    const intptr_t old = item.Selected;
    item.Selected = item.Has(Far3::DIF_3STATE) ? (old + 1) % 3 : (old ? 0 : 1);
    // The handler sees the new state already; answering 0 restores the old one.
    if (Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), reinterpret_cast<void*>(item.Selected)) == 0)
        Model[index].Selected = old;
}

// Numpad +, - and *: a new state is offered first and set only when accepted.
void HostDialog::OfferCheckState(size_t index, intptr_t state)
{
    if (Model[index].Selected == state)
        return;
    if (Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), reinterpret_cast<void*>(state)) != 0)
        Model[index].Selected = state;
}

// The group's previous choice hears DN_BTNCLICK first, then the new one;
// either may refuse, and the group then goes back as it was.
intptr_t HostDialog::SelectRadio(size_t index, bool notify)
{
    const auto [first, last] = Model.RadioGroup(index);
    size_t previous = index;
    for (size_t i = first; i <= last; ++i)
        if (Model[i].Selected)
            previous = i;
    std::vector<intptr_t> before;
    for (size_t i = first; i <= last; ++i) {
        before.push_back(Model[i].Selected);
        Model[i].Selected = i == index ? 1 : 0;
    }
    if (notify && previous != index) {
        const bool accepted = Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(previous), nullptr) != 0 &&
                              Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), reinterpret_cast<void*>(1)) != 0;
        if (!accepted) {
            for (size_t i = first; i <= last; ++i)
                Model[i].Selected = before[i - first];
            return static_cast<intptr_t>(previous);
        }
    }
    return static_cast<intptr_t>(index);
}

void HostDialog::EditChanged(size_t index)
{
    // A handler that changes its own item does not hear about it again.
    if (!Notifies() ||
        std::find(EditChangesInProgress.begin(), EditChangesInProgress.end(), index) != EditChangesInProgress.end())
        return;
    EditChangesInProgress.push_back(index);
    struct Done {
        std::vector<size_t>& List;
        ~Done() { List.pop_back(); }
    } done{EditChangesInProgress};
    ItemRecord copy;
    Model.FillRecord(index, copy);
    Call(Far3::DN_EDITCHANGE, static_cast<intptr_t>(index), &copy.Record);
}

void HostDialog::SetItemText(size_t index, std::u16string text)
{
    DialogItem& item = Model[index];
    if (item.IsEdit()) {
        item.SetEditText(std::move(text));
        // Once the dialog is initialised a new text leaves the edit changed
        // and is reported; before, it only replaces the starting text.
        if (Initialised) {
            item.Unchanged = false;
            EditChanged(index);
        }
        return;
    }
    item.Data = std::move(text);
    if (State != Phase::Created)
        item.AddBrackets();
}

// ------------------------------------------------------------------ the view

DialogView HostDialog::View() const
{
    DialogView view;
    view.Id = Setup.Id;
    view.Left = Place.Left;
    view.Top = Place.Top;
    view.Width = Place.Width;
    view.Height = Place.Height;
    view.Warning = (Setup.Flags & Far3::FDLG_WARNING) != 0;
    view.SmallDialog = (Setup.Flags & Far3::FDLG_SMALLDIALOG) != 0;
    view.NoShadow = (Setup.Flags & Far3::FDLG_NODRAWSHADOW) != 0;
    view.Visible = Shown && Drawing.Painted();
    view.Focus = static_cast<intptr_t>(Focus.Index());
    view.Background = Drawing.Background();
    const std::vector<ItemPlacement> places = Layout();
    for (size_t i = 0; i < Model.Size(); ++i) {
        const DialogItem& item = Model[i];
        const CellRect& cells = places[i].Cells;
        const bool focused = i == Focus.Index();
        DialogItemView shown;
        shown.Index = i;
        shown.Type = item.Type;
        shown.Flags = item.Flags;
        shown.Left = Place.Left + cells.Left;
        shown.Top = Place.Top + cells.Top;
        shown.Right = Place.Left + cells.Right;
        shown.Bottom = Place.Top + cells.Bottom;
        shown.Text = item.PlainText();
        shown.Shown = places[i].Shown;
        shown.Hotkey = places[i].Hotkey;
        shown.CaptionOffset = places[i].CaptionOffset;
        shown.Checked = item.Selected;
        shown.History = item.Has(Far3::DIF_HISTORY) ? item.History : std::u16string();
        shown.Cursor = item.Cursor;
        if (item.IsEdit()) {
            shown.BlockStart = item.BlockStart;
            shown.BlockEnd = item.BlockEnd;
            shown.Overtype = item.Overtype;
            shown.FirstShown = EditLine::FirstShown(item, static_cast<size_t>(std::max(1, cells.Right - cells.Left + 1)));
        }
        shown.Focused = focused;
        shown.Enabled = item.IsEnabled();
        shown.Visible = item.IsVisible();
        shown.Unchanged = item.IsEdit() && item.Unchanged;
        shown.Drawn = Drawing.Drawn(i) && item.IsVisible();
        shown.Colors = Drawing.Colors(i).empty() ? DefaultItemColors(item, focused, Setup.Flags) : Drawing.Colors(i);
        view.Items.push_back(std::move(shown));
    }
    view.Completion = Histories.CompletionView();
    view.HistoryList = Histories.OpenListView();
    return view;
}

} // namespace Host
