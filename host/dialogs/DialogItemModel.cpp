#include "host/dialogs/DialogItemModel.h"

#include "host/dialogs/EditLine.h"

namespace Host {

void DialogItemModel::Start(const std::function<void(DialogItem&)>& startText)
{
    for (DialogItem& item : Items) {
        if (!(item.IsButton() || item.IsCheckLike() || item.IsText()))
            item.Flags &= ~Far3::DIF_CENTERGROUP;
        item.AddBrackets();
        if (item.StartsUnchanged()) {
            startText(item);
            item.Unchanged = true;
        }
        // A fixed-width edit starts at its first cell, in overtype.
        item.Overtype = item.Type == Far3::DI_FIXEDIT;
        item.Cursor = item.Type == Far3::DI_FIXEDIT ? 0 : item.Data.size();
        item.DropBlock();
        item.LeftPos = EditLine::FirstShown(item, EditLine::Width(item));
    }
}

size_t DialogItemModel::FirstFocusable() const
{
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i].CanFocus())
            return i;
    return 0;
}

std::optional<size_t> DialogItemModel::DefaultButton() const
{
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i].Has(Far3::DIF_DEFAULTBUTTON))
            return i;
    return std::nullopt;
}

std::pair<size_t, size_t> DialogItemModel::RadioGroup(size_t index) const
{
    size_t first = index;
    while (first > 0 && !Items[first].Has(Far3::DIF_GROUP) && Items[first - 1].Type == Far3::DI_RADIOBUTTON)
        --first;
    size_t last = index;
    while (last + 1 < Items.size() && Items[last + 1].Type == Far3::DI_RADIOBUTTON &&
           !Items[last + 1].Has(Far3::DIF_GROUP))
        ++last;
    return {first, last};
}

void DialogItemModel::MarkFocus(size_t index)
{
    for (DialogItem& item : Items)
        item.Flags &= ~Far3::DIF_FOCUS;
    if (index < Items.size())
        Items[index].Flags |= Far3::DIF_FOCUS;
}

void DialogItemModel::FillRecord(size_t index, ItemRecord& copy) const
{
    const DialogItem& item = Items[index];
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

} // namespace Host
