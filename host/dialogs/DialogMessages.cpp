#include "host/dialogs/DialogMessages.h"

#include "host/dialogs/HostDialog.h"
#include "host/text/HostText.h"

#include <algorithm>
#include <cstring>

namespace Host {

namespace {

// What DM_SETTEXT answers: the length of the new text, a button's with its brackets.
intptr_t SetTextLength(const DialogItem& item)
{
    return static_cast<intptr_t>(item.IsButton() ? item.Data.size() : item.PlainText().size());
}

bool IsItemMessage(intptr_t msg)
{
    switch (msg) {
    case Far3::DM_ENABLE:
    case Far3::DM_GETDLGITEM:
    case Far3::DM_GETTEXT:
    case Far3::DM_SETDLGITEM:
    case Far3::DM_SETFOCUS:
    case Far3::DM_SETTEXT:
    case Far3::DM_SETMAXTEXTLENGTH:
    case Far3::DM_GETCURSORPOS:
    case Far3::DM_SETCURSORPOS:
    case Far3::DM_SETTEXTPTR:
    case Far3::DM_SHOWITEM:
    case Far3::DM_ADDHISTORY:
    case Far3::DM_GETCHECK:
    case Far3::DM_SETCHECK:
    case Far3::DM_SET3STATE:
    case Far3::DM_SETITEMPOSITION:
    case Far3::DM_SETHISTORY:
    case Far3::DM_GETITEMPOSITION:
    case Far3::DM_EDITUNCHANGEDFLAG:
    case Far3::DM_GETITEMDATA:
    case Far3::DM_SETITEMDATA:
    case Far3::DM_GETCONSTTEXTPTR:
    case Far3::DM_GETDLGITEMSHORT:
    case Far3::DM_SETDLGITEMSHORT:
        return true;
    default:
        return false;
    }
}

size_t TextBytes(const std::u16string& text)
{
    return (text.size() + 1) * sizeof(char16_t);
}

// Copies a text after the record in a DM_GETDLGITEM buffer; returns where it went.
const char16_t* Place(const std::u16string& text, char*& cursor)
{
    auto* target = reinterpret_cast<char16_t*>(cursor);
    std::memcpy(target, text.c_str(), TextBytes(text));
    cursor += TextBytes(text);
    return target;
}

} // namespace

intptr_t DialogMessages::Send(intptr_t msg, intptr_t param1, void* param2)
{
    if (IsItemMessage(msg)) {
        if (!Dialog.Model.Holds(param1))
            return 0;
        return ItemMessage(msg, static_cast<size_t>(param1), param2);
    }
    DialogPlace& place = Dialog.Place;
    switch (msg) {
    case Far3::DM_CLOSE:
        if (!Dialog.Running())
            return 0;
        return Dialog.Close(param1 == -1 ? static_cast<intptr_t>(Dialog.Focus.Index()) : param1) ? 1 : 0;
    case Far3::DM_ENABLEREDRAW:
        return Dialog.Drawing.EnableRedraw(param1);
    case Far3::DM_GETDLGDATA:
        return reinterpret_cast<intptr_t>(Dialog.Setup.Param);
    case Far3::DM_SETDLGDATA: {
        void* old = Dialog.Setup.Param;
        Dialog.Setup.Param = param2;
        return reinterpret_cast<intptr_t>(old);
    }
    case Far3::DM_GETDLGRECT: {
        if (!param2)
            return 0;
        *static_cast<Far3::SMALL_RECT*>(param2) = {static_cast<int16_t>(place.Left), static_cast<int16_t>(place.Top),
                                                    static_cast<int16_t>(place.Left + place.Width - 1),
                                                    static_cast<int16_t>(place.Top + place.Height - 1)};
        return 1;
    }
    case Far3::DM_KEY: {
        auto* records = static_cast<const Far3::INPUT_RECORD*>(param2);
        for (intptr_t i = 0; records && i < param1; ++i) {
            const Far3::INPUT_RECORD& record = records[i];
            if (record.EventType == Far3::InputEvent::Key && record.Event.KeyEvent.bKeyDown)
                Dialog.Keys.Key(KeyPress{record.Event.KeyEvent.wVirtualKeyCode, record.Event.KeyEvent.UnicodeChar,
                                    record.Event.KeyEvent.dwControlKeyState},
                           false);
        }
        return 0;
    }
    case Far3::DM_MOVEDIALOG: {
        auto* coord = static_cast<Far3::COORD*>(param2);
        if (!coord)
            return 0;
        if (param1 != 0) {
            place.CenterX = coord->X == -1;
            place.CenterY = coord->Y == -1;
            if (!place.CenterX)
                place.Left = coord->X;
            if (!place.CenterY)
                place.Top = coord->Y;
        } else {
            place.CenterX = place.CenterY = false;
            place.Left += coord->X;
            place.Top += coord->Y;
        }
        const ScreenSize screen = Dialog.Screen();
        place.Recenter(screen);
        place.KeepOnScreen(screen);
        coord->X = static_cast<int16_t>(place.Left);
        coord->Y = static_cast<int16_t>(place.Top);
        return reinterpret_cast<intptr_t>(param2);
    }
    case Far3::DM_RESIZEDIALOG: {
        auto* coord = static_cast<Far3::COORD*>(param2);
        if (!coord)
            return 0;
        // The top-left corner stays where it is; centring is forgotten.
        place.Width = std::max<int>(1, coord->X);
        place.Height = std::max<int>(1, coord->Y);
        place.CenterX = place.CenterY = false;
        coord->X = static_cast<int16_t>(place.Width);
        coord->Y = static_cast<int16_t>(place.Height);
        return reinterpret_cast<intptr_t>(param2);
    }
    case Far3::DM_REDRAW:
        Dialog.Drawing.Redraw();
        return 0;
    case Far3::DM_SHOWDIALOG:
        Dialog.Shown = param1 != 0;
        return 0;
    case Far3::DM_GETFOCUS:
        return static_cast<intptr_t>(Dialog.Focus.Index());
    case Far3::DM_SETINPUTNOTIFY:
        return Dialog.Keys.SetInputNotify(param1);
    case Far3::DM_GETDIALOGINFO: {
        auto* info = static_cast<Far3::DialogInfo*>(param2);
        if (!info || info->StructSize < sizeof(Far3::DialogInfo))
            return 0;
        info->Id = Dialog.Setup.Id;
        info->Owner = Dialog.Setup.PluginId;
        return 1;
    }
    default:
        // Messages the host does not know go to the dialog procedure, as in Far.
        return Dialog.CloseAccepted ? 0 : Dialog.Call(msg, param1, param2);
    }
}

intptr_t DialogMessages::ItemMessage(intptr_t msg, size_t index, void* param2)
{
    DialogItem& item = Dialog.Model[index];
    const intptr_t value = reinterpret_cast<intptr_t>(param2);
    switch (msg) {
    case Far3::DM_ENABLE: {
        const intptr_t previous = item.IsEnabled() ? 1 : 0;
        if (value == 0)
            item.Flags |= Far3::DIF_DISABLE;
        else if (value == 1)
            item.Flags &= ~Far3::DIF_DISABLE;
        return previous;
    }
    case Far3::DM_SHOWITEM:
        return ShowItem(index, value);
    case Far3::DM_GETTEXT: {
        const std::u16string text = item.PlainText();
        auto* data = static_cast<Far3::FarDialogItemData*>(param2);
        if (!data || !data->PtrData)
            return static_cast<intptr_t>(text.size());
        const size_t length = data->PtrLength == 0 ? text.size() : std::min(text.size(), data->PtrLength);
        std::memcpy(data->PtrData, text.data(), length * sizeof(char16_t));
        data->PtrData[length] = 0;
        return static_cast<intptr_t>(length);
    }
    case Far3::DM_SETTEXT: {
        auto* data = static_cast<const Far3::FarDialogItemData*>(param2);
        std::u16string text;
        if (data && data->PtrData)
            text.assign(data->PtrData, data->PtrLength);
        Dialog.SetItemText(index, std::move(text));
        return SetTextLength(Dialog.Model[index]);
    }
    case Far3::DM_SETTEXTPTR:
        Dialog.SetItemText(index, std::u16string(PluginText(static_cast<const char16_t*>(param2))));
        return SetTextLength(Dialog.Model[index]);
    case Far3::DM_GETCONSTTEXTPTR:
        return reinterpret_cast<intptr_t>(item.Data.c_str());
    case Far3::DM_SETMAXTEXTLENGTH: {
        if (!item.IsEdit())
            return 0;
        const size_t old = item.MaxLength;
        item.MaxLength = static_cast<size_t>(std::max<intptr_t>(0, value));
        if (item.MaxLength != 0 && item.Data.size() > item.MaxLength)
            item.SetEditText(item.Data);
        return static_cast<intptr_t>(old);
    }
    case Far3::DM_GETCHECK:
        return item.IsCheckLike() ? item.Selected : 0;
    case Far3::DM_SETCHECK:
        return SetCheck(index, value);
    case Far3::DM_SET3STATE: {
        const intptr_t old = item.Has(Far3::DIF_3STATE) ? 1 : 0;
        if (item.Type == Far3::DI_CHECKBOX)
            item.Flags = value ? item.Flags | Far3::DIF_3STATE : item.Flags & ~Far3::DIF_3STATE;
        return old;
    }
    case Far3::DM_SETFOCUS:
        if (!item.CanFocus())
            return 0;
        Dialog.Focus.Change(index);
        return Dialog.Focus.Index() == index ? 1 : 0;
    case Far3::DM_GETDLGITEM:
        return GetDialogItem(index, param2);
    case Far3::DM_SETDLGITEM:
        return SetDialogItem(index, static_cast<const Far3::FarDialogItem*>(param2), true);
    case Far3::DM_GETDLGITEMSHORT: {
        auto* record = static_cast<Far3::FarDialogItem*>(param2);
        if (!record)
            return 0;
        ItemRecord copy;
        Dialog.Model.FillRecord(index, copy);
        *record = copy.Record;
        record->Data = record->History = record->Mask = nullptr;
        return 1;
    }
    case Far3::DM_SETDLGITEMSHORT:
        return SetDialogItem(index, static_cast<const Far3::FarDialogItem*>(param2), false);
    case Far3::DM_GETITEMPOSITION: {
        if (!param2)
            return 0;
        *static_cast<Far3::SMALL_RECT*>(param2) = Dialog.Layout()[index].Reported;
        return 1;
    }
    case Far3::DM_SETITEMPOSITION: {
        auto* rect = static_cast<const Far3::SMALL_RECT*>(param2);
        if (!rect || rect->Left > rect->Right || rect->Top > rect->Bottom)
            return 0;
        item.X1 = rect->Left;
        item.Y1 = rect->Top;
        item.X2 = rect->Right;
        // A one-line edit stays one row high.
        const bool multiRow = item.IsBox() || item.Type == Far3::DI_LISTBOX ||
                              (item.Type == Far3::DI_EDIT && item.Has(Far3::DIF_EDITOR)) ||
                              item.Has(Far3::DIF_WORDWRAP);
        item.Y2 = multiRow ? rect->Bottom : rect->Top;
        return 1;
    }
    case Far3::DM_GETCURSORPOS: {
        auto* coord = static_cast<Far3::COORD*>(param2);
        if (!coord || !item.IsEdit())
            return 0;
        *coord = {static_cast<int16_t>(item.Cursor), 0};
        return 1;
    }
    case Far3::DM_SETCURSORPOS: {
        auto* coord = static_cast<const Far3::COORD*>(param2);
        if (!coord || !item.IsEdit())
            return 0;
        item.Cursor = std::min<size_t>(static_cast<size_t>(std::max<int16_t>(0, coord->X)), item.Data.size());
        item.Unchanged = false;
        return 1;
    }
    case Far3::DM_EDITUNCHANGEDFLAG: {
        if (!item.IsEdit())
            return Dialog.CloseAccepted ? 0 : Dialog.Call(msg, static_cast<intptr_t>(index), param2);
        const intptr_t previous = item.Unchanged ? 1 : 0;
        if (value == 0 || value == 1)
            item.Unchanged = value == 1;
        return previous;
    }
    case Far3::DM_SETHISTORY: {
        if (!item.IsEdit())
            return 0;
        item.History = PluginText(static_cast<const char16_t*>(param2));
        item.Flags = item.History.empty() ? item.Flags & ~Far3::DIF_HISTORY : item.Flags | Far3::DIF_HISTORY;
        // An empty DIF_USELASTHISTORY edit takes the newest entry of its new
        // list as DM_SETTEXT would set it (reported once initialised).
        if (item.Type == Far3::DI_EDIT && item.Has(Far3::DIF_USELASTHISTORY) && item.Data.empty() &&
            !item.History.empty()) {
            std::vector<std::u16string> newest = Dialog.Histories.Lists().Entries(item.History);
            if (!newest.empty())
                Dialog.SetItemText(index, std::move(newest.front()));
        }
        return 1;
    }
    case Far3::DM_ADDHISTORY:
        if (!item.IsEdit() || item.History.empty() || !param2)
            return 0;
        Dialog.Histories.Lists().Add(item.History, PluginText(static_cast<const char16_t*>(param2)));
        return 1;
    case Far3::DM_GETITEMDATA:
        return item.UserData;
    case Far3::DM_SETITEMDATA: {
        const intptr_t old = item.UserData;
        item.UserData = value;
        return old;
    }
    default:
        return 0;
    }
}

intptr_t DialogMessages::ShowItem(size_t index, intptr_t show)
{
    DialogItem& item = Dialog.Model[index];
    const intptr_t previous = item.IsVisible() ? 1 : 0;
    if (show == 1) {
        item.Flags &= ~Far3::DIF_HIDDEN;
    } else if (show == 0) {
        item.Flags |= Far3::DIF_HIDDEN;
        // Hiding the focused item moves the focus on once the dialog is on
        // the screen; before (DN_INITDIALOG, the first DN_GOTFOCUS) or while
        // DM_SHOWDIALOG hides it, the focus stays and keys do nothing.
        if (index == Dialog.Focus.Index() && Dialog.OnScreen && Dialog.Shown)
            Dialog.Focus.Neighbour(1, false);
    }
    return previous;
}

intptr_t DialogMessages::SetCheck(size_t index, intptr_t state)
{
    DialogItemModel& items = Dialog.Model;
    DialogItem& item = items[index];
    if (item.Type == Far3::DI_RADIOBUTTON) {
        // Any state selects the radio button, except 3STATE, which clears its group.
        if (state == Far3::BSTATE_3STATE) {
            const auto [first, last] = items.RadioGroup(index);
            for (size_t i = first; i <= last; ++i)
                items[i].Selected = 0;
            return static_cast<intptr_t>(index);
        }
        return Dialog.SelectRadio(index, Dialog.Initialised);
    }
    if (item.Type != Far3::DI_CHECKBOX)
        return 0;
    const intptr_t previous = item.Selected;
    if (state == Far3::BSTATE_TOGGLE)
        item.Selected = item.Has(Far3::DIF_3STATE) ? (previous + 1) % 3 : (previous ? 0 : 1);
    else
        item.Selected = state;
    return previous;
}

intptr_t DialogMessages::GetDialogItem(size_t index, void* param2) const
{
    ItemRecord copy;
    Dialog.Model.FillRecord(index, copy);
    const size_t needed =
        sizeof(Far3::FarDialogItem) + TextBytes(copy.Data) + TextBytes(copy.History) + TextBytes(copy.Mask);
    auto* request = static_cast<Far3::FarGetDialogItem*>(param2);
    if (!request || !request->Item || request->Size < needed)
        return static_cast<intptr_t>(needed);
    // The record, then Data, History and Mask as zero-terminated texts
    // (empty ones too: the pointers are never null).
    auto* buffer = reinterpret_cast<char*>(request->Item);
    char* cursor = buffer + sizeof(Far3::FarDialogItem);
    Far3::FarDialogItem record = copy.Record;
    record.ListItems = nullptr;
    record.Selected = copy.Record.Selected;
    record.Data = Place(copy.Data, cursor);
    record.History = Place(copy.History, cursor);
    record.Mask = Place(copy.Mask, cursor);
    std::memcpy(buffer, &record, sizeof record);
    return static_cast<intptr_t>(needed);
}

intptr_t DialogMessages::SetDialogItem(size_t index, const Far3::FarDialogItem* record, bool withTexts)
{
    DialogItem& item = Dialog.Model[index];
    const bool created = Dialog.State == HostDialog::Phase::Created;
    if (!record || record->Type != item.Type)
        return 0;
    const bool hadFocus = item.Has(Far3::DIF_FOCUS);
    item.X1 = record->X1;
    item.Y1 = record->Y1;
    item.X2 = std::max(record->X1, record->X2);
    item.Y2 = std::max(record->Y1, record->Y2);
    item.Selected = record->Selected;
    item.Flags = (record->Flags & ~Far3::DIF_FOCUS) | (hadFocus ? Far3::DIF_FOCUS : 0);
    item.MaxLength = record->MaxLength;
    item.UserData = record->UserData;
    if (withTexts) {
        item.History = PluginText(record->History);
        item.Mask = PluginText(record->Mask);
        // The item is set up again: an edit keeps the new text as changed
        // without a change report; a button gets its brackets back.
        if (item.IsEdit()) {
            item.SetEditText(std::u16string(PluginText(record->Data)));
            if (!created)
                item.Unchanged = false;
        } else {
            item.Data = PluginText(record->Data);
            if (item.MaxLength != 0 && item.Data.size() > item.MaxLength)
                item.Data.resize(item.MaxLength);
            if (!created)
                item.AddBrackets();
        }
    }
    return 1;
}

} // namespace Host
