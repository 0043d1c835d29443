#include "host/dialogs/DialogItem.h"

#include "host/text/HostText.h"

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

bool DialogItem::TypeTakesFocus() const
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
        return true;
    default:
        return false;
    }
}

bool DialogItem::CanFocus() const
{
    return TypeTakesFocus() && !Has(Far3::DIF_NOFOCUS | Far3::DIF_DISABLE | Far3::DIF_HIDDEN);
}

void DialogItem::SelectAll()
{
    DropBlock();
    if (IsEdit() && !Data.empty()) {
        BlockStart = 0;
        BlockEnd = Data.size();
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
    if (!IsButton() || Has(Far3::DIF_NOBRACKETS) || Data.empty() || Data.front() == u'[' || Data.front() == u'{')
        return;
    const bool isDefault = Has(Far3::DIF_DEFAULTBUTTON);
    Data = (isDefault ? u"{ " : u"[ ") + Data + (isDefault ? u" }" : u" ]");
}

// A run of '&' before the hotkey: an even run shows half as many '&'; an
// odd one is a mark, and the character after it is the hotkey, a '&' too
// when the run goes on ("&&&x" shows "&x" with '&' the hotkey). After the
// hotkey a single '&' is dropped and "&&" shows one '&'. A lone '&' at the
// end marks nothing and is not shown.
std::u16string WithoutHotkeyMark(std::u16string_view text, size_t* hotkey)
{
    std::u16string shown;
    size_t found = std::u16string::npos;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != u'&') {
            shown += text[i++];
            continue;
        }
        size_t run = 0;
        while (i + run < text.size() && text[i + run] == u'&')
            ++run;
        const bool atEnd = i + run == text.size();
        if (found == std::u16string::npos && run % 2 == 1 && !(atEnd && run == 1)) {
            // The mark, then its hotkey: the next '&' of the run or the
            // character after it; the rest of the run is past the hotkey.
            found = shown.size();
            if (run == 1) {
                shown += text[i + 1];
                i += 2;
                continue;
            }
            shown += u'&';
            shown.append((run - 2) / 2, u'&');
        } else {
            shown.append(run / 2, u'&');
        }
        i += run;
    }
    if (hotkey)
        *hotkey = found;
    return shown;
}

} // namespace Host
