#include "host/dialogs/HostDialog.h"

#include "host/HostText.h"
#include "host/dialogs/DialogColors.h"

#include <algorithm>

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
    std::vector<std::u16string> newest;
    for (DialogItem& item : DialogItems) {
        if (!(item.IsButton() || item.IsCheckLike() || item.IsText()))
            item.Flags &= ~Far3::DIF_CENTERGROUP;
        item.AddBrackets();
        if (item.StartsUnchanged()) {
            if (item.Type == Far3::DI_EDIT && item.Has(Far3::DIF_USELASTHISTORY) && item.Data.empty() &&
                item.Has(Far3::DIF_HISTORY) && !item.History.empty()) {
                newest = Histories.Entries(item.History);
                if (!newest.empty())
                    item.SetEditText(newest.front());
            }
            item.Unchanged = true;
        }
        item.Cursor = item.Data.size();
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
    if (input.What == DialogInput::Kind::Resize) {
        Far3::COORD size{static_cast<int16_t>(input.Size.Width), static_cast<int16_t>(input.Size.Height)};
        Call(Far3::DN_RESIZECONSOLE, 0, &size);
        Recenter();
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
    if (exitCode >= 0)
        SaveHistories();
    return true;
}

void HostDialog::SaveHistories()
{
    for (const DialogItem& item : DialogItems) {
        if (!item.IsEdit() || item.Type == Far3::DI_PSWEDIT || !item.Has(Far3::DIF_HISTORY) || item.History.empty())
            continue;
        if (item.Has(Far3::DIF_MANUALADDHISTORY) || (!item.IsVisible() && !item.Modified))
            continue;
        Histories.Add(item.History, item.Data);
    }
}

void HostDialog::Draw()
{
    if (!Initialised || CloseAccepted || RedrawCounter < 0)
        return;
    Painted = Call(Far3::DN_DRAWDIALOG, 0, nullptr) != 0;
    if (!Painted)
        return;
    Far3::FarColor background = DefaultDialogColor(Setup.Flags);
    Call(Far3::DN_CTLCOLORDIALOG, 0, &background);
    for (size_t i = 0; i < DialogItems.size(); ++i) {
        ItemDrawn[i] = false;
        if (!DialogItems[i].IsVisible())
            continue;
        RecordCopy copy;
        FillRecord(i, copy);
        if (Call(Far3::DN_DRAWDLGITEM, static_cast<intptr_t>(i), &copy.Record) == 0)
            continue;
        std::vector<Far3::FarColor> colors = DefaultItemColors(DialogItems[i], i == Focus, Setup.Flags);
        Far3::FarDialogItemColors request{sizeof(Far3::FarDialogItemColors), 0, colors.size(), colors.data()};
        Call(Far3::DN_CTLCOLORDLGITEM, static_cast<intptr_t>(i), &request);
        ItemColors[i] = std::move(colors);
        ItemDrawn[i] = true;
        Call(Far3::DN_DRAWDLGITEMDONE, static_cast<intptr_t>(i), &copy.Record);
    }
    Call(Far3::DN_DRAWDIALOGDONE, 0, nullptr);
}

// ------------------------------------------------------------------ focus

size_t HostDialog::FirstFocusable() const
{
    for (size_t i = 0; i < DialogItems.size(); ++i)
        if (DialogItems[i].CanFocus())
            return i;
    return 0;
}

void HostDialog::SetFocusIndex(size_t index)
{
    for (DialogItem& item : DialogItems)
        item.Flags &= ~Far3::DIF_FOCUS;
    Focus = index;
    if (Focus < DialogItems.size())
        DialogItems[Focus].Flags |= Far3::DIF_FOCUS;
}

void HostDialog::ChangeFocus(size_t target)
{
    if (target == Focus || target >= DialogItems.size())
        return;
    if (Initialised && !CloseAccepted) {
        // The item losing the focus may send it somewhere else instead.
        const intptr_t answer = Call(Far3::DN_KILLFOCUS, static_cast<intptr_t>(Focus), nullptr);
        if (answer >= 0 && static_cast<size_t>(answer) < DialogItems.size())
            target = static_cast<size_t>(answer);
        if (target == Focus)
            return;
    }
    SetFocusIndex(target);
    if (Initialised && !CloseAccepted)
        Call(Far3::DN_GOTFOCUS, static_cast<intptr_t>(Focus), nullptr);
}

void HostDialog::FocusNeighbour(int direction, bool everyRadio)
{
    const size_t count = DialogItems.size();
    for (size_t step = 1; step < count; ++step) {
        const size_t i = direction > 0 ? (Focus + step) % count : (Focus + count - step) % count;
        const DialogItem& item = DialogItems[i];
        // Tab stops at a radio button only when it is the selected one.
        if (!item.CanFocus() || (item.Type == Far3::DI_RADIOBUTTON && !everyRadio && !item.Selected))
            continue;
        ChangeFocus(i);
        return;
    }
}

void HostDialog::FocusDefaultButton()
{
    for (size_t i = 0; i < DialogItems.size(); ++i)
        if (DialogItems[i].Has(Far3::DIF_DEFAULTBUTTON)) {
            if (DialogItems[i].CanFocus())
                ChangeFocus(i);
            return;
        }
}

// ------------------------------------------------------------------ clicks and edits

void HostDialog::PressButton(size_t index)
{
    if (Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), nullptr) != 0 || CloseAccepted)
        return;
    if (!DialogItems[index].Has(Far3::DIF_BTNNOCLOSE))
        Close(static_cast<intptr_t>(index));
}

// Enter anywhere but on a button closes with the first default button
// (nothing when that one is disabled), else with the focused item.
void HostDialog::EnterOutsideButton()
{
    for (size_t i = 0; i < DialogItems.size(); ++i) {
        const DialogItem& item = DialogItems[i];
        if (item.Has(Far3::DIF_DEFAULTBUTTON) && !item.Has(Far3::DIF_BTNNOCLOSE)) {
            if (item.IsEnabled())
                Close(static_cast<intptr_t>(i));
            return;
        }
    }
    Close(static_cast<intptr_t>(Focus));
}

void HostDialog::ToggleCheck(size_t index)
{
    DialogItem& item = DialogItems[index];
    if (item.Type == Far3::DI_RADIOBUTTON) {
        SelectRadio(index, true);
        return;
    }
    const intptr_t old = item.Selected;
    item.Selected = item.Has(Far3::DIF_3STATE) ? (old + 1) % 3 : (old ? 0 : 1);
    // The handler sees the new state already; answering 0 restores the old one.
    if (Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), reinterpret_cast<void*>(item.Selected)) == 0)
        DialogItems[index].Selected = old;
}

// Numpad +, - and *: the state is offered first and set only when accepted.
void HostDialog::OfferCheckState(size_t index, intptr_t state)
{
    if (Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), reinterpret_cast<void*>(state)) != 0)
        DialogItems[index].Selected = state;
}

// A radio group: consecutive radio buttons, the first one marked DIF_GROUP.
intptr_t HostDialog::SelectRadio(size_t index, bool notify)
{
    size_t first = index;
    while (first > 0 && !DialogItems[first].Has(Far3::DIF_GROUP) &&
           DialogItems[first - 1].Type == Far3::DI_RADIOBUTTON)
        --first;
    size_t last = index;
    while (last + 1 < DialogItems.size() && DialogItems[last + 1].Type == Far3::DI_RADIOBUTTON &&
           !DialogItems[last + 1].Has(Far3::DIF_GROUP))
        ++last;
    size_t previous = index;
    for (size_t i = first; i <= last; ++i)
        if (DialogItems[i].Selected)
            previous = i;
    std::vector<intptr_t> before;
    for (size_t i = first; i <= last; ++i) {
        before.push_back(DialogItems[i].Selected);
        DialogItems[i].Selected = i == index ? 1 : 0;
    }
    if (notify && previous != index) {
        const bool accepted = Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(previous), nullptr) != 0 &&
                              Call(Far3::DN_BTNCLICK, static_cast<intptr_t>(index), reinterpret_cast<void*>(1)) != 0;
        if (!accepted) {
            for (size_t i = first; i <= last; ++i)
                DialogItems[i].Selected = before[i - first];
            return static_cast<intptr_t>(previous);
        }
    }
    return static_cast<intptr_t>(index);
}

void HostDialog::EditChanged(size_t index)
{
    DialogItems[index].Modified = true;
    // A handler that changes its own item does not hear about it again.
    if (!Initialised || CloseAccepted ||
        std::find(EditChangesInProgress.begin(), EditChangesInProgress.end(), index) != EditChangesInProgress.end())
        return;
    EditChangesInProgress.push_back(index);
    struct Done {
        std::vector<size_t>& List;
        ~Done() { List.pop_back(); }
    } done{EditChangesInProgress};
    RecordCopy copy;
    FillRecord(index, copy);
    Call(Far3::DN_EDITCHANGE, static_cast<intptr_t>(index), &copy.Record);
}

void HostDialog::SetItemText(size_t index, std::u16string text)
{
    DialogItem& item = DialogItems[index];
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

void HostDialog::OpenHistory(size_t index)
{
    const std::vector<std::u16string> entries = Histories.Entries(DialogItems[index].History);
    std::vector<std::string> shown;
    for (const std::u16string& entry : entries)
        shown.push_back(Utf16ToUtf8(entry));
    Call(Far3::DN_DROPDOWNOPENED, static_cast<intptr_t>(index), reinterpret_cast<void*>(1));
    const intptr_t choice = User.ChooseFromList(shown);
    Call(Far3::DN_DROPDOWNOPENED, static_cast<intptr_t>(index), nullptr);
    if (choice < 0 || static_cast<size_t>(choice) >= entries.size() || CloseAccepted)
        return;
    DialogItem& item = DialogItems[index];
    item.SetEditText(entries[static_cast<size_t>(choice)]);
    item.Unchanged = false;
    EditChanged(index);
}

// ------------------------------------------------------------------ geometry and view

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

std::vector<ItemPlacement> HostDialog::Layout() const
{
    return LayOutItems(DialogItems, Width, Height, (Setup.Flags & Far3::FDLG_SMALLDIALOG) != 0);
}

void HostDialog::FillRecord(size_t index, RecordCopy& copy) const
{
    const DialogItem& item = DialogItems[index];
    copy.Data = item.Data;
    copy.History = item.History;
    copy.Mask = item.Mask;
    Far3::FarDialogItem& record = copy.Record;
    record = {};
    record.Type = item.Type;
    record.X1 = item.X1;
    record.Y1 = item.Y1;
    record.X2 = item.X2;
    record.Y2 = item.Y2;
    record.Selected = item.Selected;
    record.Flags = item.Flags;
    record.MaxLength = item.MaxLength;
    record.UserData = item.UserData;
    record.Data = copy.Data.c_str();
    record.History = copy.History.c_str();
    record.Mask = copy.Mask.c_str();
}

DialogView HostDialog::View() const
{
    DialogView view;
    view.Id = Setup.Id;
    view.Left = Left;
    view.Top = Top;
    view.Width = Width;
    view.Height = Height;
    view.Warning = (Setup.Flags & Far3::FDLG_WARNING) != 0;
    view.SmallDialog = (Setup.Flags & Far3::FDLG_SMALLDIALOG) != 0;
    view.NoShadow = (Setup.Flags & Far3::FDLG_NODRAWSHADOW) != 0;
    view.Visible = Shown && Painted;
    view.Focus = static_cast<intptr_t>(Focus);
    const std::vector<ItemPlacement> places = Layout();
    for (size_t i = 0; i < DialogItems.size(); ++i) {
        const DialogItem& item = DialogItems[i];
        DialogItemView shown;
        shown.Index = i;
        shown.Type = item.Type;
        shown.Flags = item.Flags;
        shown.Left = Left + places[i].Cells.Left;
        shown.Top = Top + places[i].Cells.Top;
        shown.Right = Left + places[i].Cells.Right;
        shown.Bottom = Top + places[i].Cells.Bottom;
        shown.Text = item.PlainText();
        shown.Shown = places[i].Shown;
        shown.Hotkey = places[i].Hotkey;
        shown.Checked = item.Selected;
        shown.History = item.Has(Far3::DIF_HISTORY) ? item.History : std::u16string();
        shown.Cursor = item.Cursor;
        shown.Focused = i == Focus;
        shown.Enabled = item.IsEnabled();
        shown.Visible = item.IsVisible();
        shown.Unchanged = item.IsEdit() && item.Unchanged;
        shown.Drawn = ItemDrawn[i] && item.IsVisible();
        shown.Colors = ItemColors[i].empty() ? DefaultItemColors(item, i == Focus, Setup.Flags) : ItemColors[i];
        view.Items.push_back(std::move(shown));
    }
    return view;
}

} // namespace Host
