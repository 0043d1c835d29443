// Drawing a dialog as Far does: DN_DRAWDIALOG, then for every visible item
// DN_DRAWDLGITEM, DN_CTLCOLORDLGITEM and DN_DRAWDLGITEMDONE, then
// DN_DRAWDIALOGDONE; the colours the procedure leaves are kept for the
// view. The view (DialogView.h) is what the front end paints and tests
// read; the item records handed to the procedure are filled here too.
#include "host/dialogs/HostDialog.h"

#include "host/dialogs/DialogColors.h"

#include <algorithm>

namespace Host {

void HostDialog::Draw()
{
    if (!Initialised || CloseAccepted || RedrawCounter < 0)
        return;
    Painted = Call(Far3::DN_DRAWDIALOG, 0, nullptr) != 0;
    if (!Painted)
        return;
    Far3::FarColor background = DefaultDialogColor(Setup.Flags);
    // Whatever colour the procedure leaves clears the dialog area.
    Call(Far3::DN_CTLCOLORDIALOG, 0, &background);
    Background = background;
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
        Call(Far3::DN_DRAWDLGITEMDONE, static_cast<intptr_t>(i), nullptr);
    }
    Call(Far3::DN_DRAWDIALOGDONE, 0, nullptr);
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
    view.Background = Background;
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
        shown.CaptionOffset = places[i].CaptionOffset;
        shown.Checked = item.Selected;
        shown.History = item.Has(Far3::DIF_HISTORY) ? item.History : std::u16string();
        shown.Cursor = item.Cursor;
        if (item.IsEdit()) {
            shown.BlockStart = item.BlockStart;
            shown.BlockEnd = item.BlockEnd;
            shown.Overtype = item.Overtype;
            const int cells = places[i].Cells.Right - places[i].Cells.Left + 1;
            shown.FirstShown = EditLine::FirstShown(item, static_cast<size_t>(std::max(1, cells)));
        }
        shown.Focused = i == Focus;
        shown.Enabled = item.IsEnabled();
        shown.Visible = item.IsVisible();
        shown.Unchanged = item.IsEdit() && item.Unchanged;
        shown.Drawn = ItemDrawn[i] && item.IsVisible();
        shown.Colors = ItemColors[i].empty() ? DefaultItemColors(item, i == Focus, Setup.Flags) : ItemColors[i];
        view.Items.push_back(std::move(shown));
    }
    view.Completion = Completion;
    view.HistoryList = OpenList;
    return view;
}

} // namespace Host
