#include "host/dialogs/DialogItem.h"

#include "host/HostText.h"

#include <algorithm>

namespace Host {

DialogItem DialogItem::FromRecord(const Far3::FarDialogItem& record)
{
    DialogItem item;
    item.Type = record.Type;
    item.X1 = record.X1;
    item.Y1 = record.Y1;
    // A right or bottom edge before the left or top one collapses onto it.
    item.X2 = std::max(record.X1, record.X2);
    item.Y2 = std::max(record.Y1, record.Y2);
    item.Selected = record.Selected;
    item.Flags = record.Flags;
    item.MaxLength = record.MaxLength;
    item.UserData = record.UserData;
    item.Data = PluginText(record.Data);
    if (item.MaxLength != 0 && item.Data.size() > item.MaxLength)
        item.Data.resize(item.MaxLength);
    item.History = PluginText(record.History);
    item.Mask = PluginText(record.Mask);
    if (item.Type == Far3::DI_PSWEDIT)
        item.Flags &= ~Far3::DIF_HISTORY;
    item.Cursor = item.Data.size();
    return item;
}

bool DialogItem::IsEdit() const
{
    return Type == Far3::DI_EDIT || Type == Far3::DI_FIXEDIT || Type == Far3::DI_PSWEDIT ||
           Type == Far3::DI_COMBOBOX;
}

bool DialogItem::StartsUnchanged() const
{
    return IsEdit() && !(Type == Far3::DI_EDIT && Has(Far3::DIF_EDITOR));
}

bool DialogItem::IsSeparator() const
{
    return IsText() && (Has(Far3::DIF_SEPARATOR) || Has(Far3::DIF_SEPARATOR2));
}

bool DialogItem::CanFocus() const
{
    switch (Type) {
    case Far3::DI_EDIT:
    case Far3::DI_FIXEDIT:
    case Far3::DI_PSWEDIT:
    case Far3::DI_COMBOBOX:
    case Far3::DI_BUTTON:
    case Far3::DI_CHECKBOX:
    case Far3::DI_RADIOBUTTON:
    case Far3::DI_LISTBOX:
    case Far3::DI_USERCONTROL:
        return !Has(Far3::DIF_NOFOCUS | Far3::DIF_DISABLE | Far3::DIF_HIDDEN);
    default:
        return false;
    }
}

bool DialogItem::HasHotkeyText() const
{
    return (IsText() || IsBox() || IsButton() || IsCheckLike()) && !Has(Far3::DIF_SHOWAMPERSAND);
}

bool DialogItem::ShowsHistoryArrow() const
{
    return (Type == Far3::DI_EDIT || Type == Far3::DI_FIXEDIT) && Has(Far3::DIF_HISTORY) && !History.empty();
}

void DialogItem::SetEditText(std::u16string text)
{
    if (MaxLength != 0 && text.size() > MaxLength)
        text.resize(MaxLength);
    Data = std::move(text);
    Cursor = Data.size();
    DropBlock();
}

std::u16string DialogItem::PlainText() const
{
    if (!IsButton() || Has(Far3::DIF_NOBRACKETS) || Data.size() < 4)
        return Data;
    const std::u16string_view text = Data;
    if ((text.starts_with(u"[ ") && text.ends_with(u" ]")) || (text.starts_with(u"{ ") && text.ends_with(u" }")))
        return std::u16string(text.substr(2, text.size() - 4));
    return Data;
}

void DialogItem::AddBrackets()
{
    if (!IsButton() || Has(Far3::DIF_NOBRACKETS))
        return;
    const bool isDefault = Has(Far3::DIF_DEFAULTBUTTON);
    if (Data.starts_with(isDefault ? u"{ " : u"[ "))
        return;
    Data = (isDefault ? u"{ " : u"[ ") + Data + (isDefault ? u" }" : u" ]");
}

std::u16string WithoutHotkeyMark(std::u16string_view text, size_t* hotkey)
{
    std::u16string shown;
    size_t found = std::u16string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            if (text[i + 1] == u'&') {
                shown += u'&';
                ++i;
                continue;
            }
            // Only the first mark makes a hotkey; a later one is shown as it is.
            if (found == std::u16string::npos) {
                found = shown.size();
                continue;
            }
        }
        shown += text[i];
    }
    if (hotkey)
        *hotkey = found;
    return shown;
}

} // namespace Host
