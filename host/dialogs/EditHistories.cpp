#include "host/dialogs/EditHistories.h"

#include "far3/FarKeysW.h"
#include "host/dialogs/HistoryDropDown.h"
#include "host/dialogs/HostDialog.h"
#include "host/text/HostText.h"

#include <algorithm>
#include <optional>

namespace Host {

namespace {
namespace Vk = Far3::VirtualKey;
using DropDownAction = HistoryDropDown::Action;
} // namespace

void EditHistories::StartFromLast(DialogItem& item)
{
    if (item.Type != Far3::DI_EDIT || !item.Has(Far3::DIF_USELASTHISTORY) || !item.Data.empty() ||
        !item.Has(Far3::DIF_HISTORY) || item.History.empty())
        return;
    const std::vector<std::u16string> newest = Store.Entries(item.History);
    if (!newest.empty())
        item.SetEditText(newest.front());
}

void EditHistories::Save()
{
    for (const DialogItem& item : Dialog.Model.All()) {
        if (!item.IsEdit() || item.Type == Far3::DI_PSWEDIT || !item.Has(Far3::DIF_HISTORY) || item.History.empty())
            continue;
        // A hidden edit keeps its text in the history only once it is no
        // longer "unchanged" (typing, DM_SETTEXT, DM_SETCURSORPOS or
        // DM_EDITUNCHANGEDFLAG ended that state).
        if (item.Has(Far3::DIF_MANUALADDHISTORY) || (!item.IsVisible() && item.Unchanged))
            continue;
        Store.Add(item.History, item.Data);
    }
}

void EditHistories::Open(size_t index)
{
    const std::u16string name = Dialog.Model[index].History;
    HistoryDropDown list(Store.Listed(name));
    Dialog.Call(Far3::DN_DROPDOWNOPENED, static_cast<intptr_t>(index), reinterpret_cast<void*>(1));
    std::optional<std::u16string> chosen;
    bool opening = true;
    while (!list.Empty() && !chosen && !Dialog.CloseAccepted) {
        OpenList = list.View(static_cast<intptr_t>(index));
        OpenList.JustOpened = opening;
        opening = false;
        const ListInput input = Dialog.User.ReadListInput(Dialog.View());
        if (input.Entry >= 0) {
            if (static_cast<size_t>(input.Entry) < list.Entries().size())
                chosen = list.Entries()[static_cast<size_t>(input.Entry)].Text;
            break;
        }
        const DropDownAction action = list.Key(input.Key);
        if (action == DropDownAction::Cancel)
            break;
        const HistoryEntry current = list.Current();
        switch (action) {
        case DropDownAction::Choose:
            chosen = current.Text;
            break;
        case DropDownAction::DeleteEntry:
            Store.Remove(name, current.Text);
            list.Reload(Store.Listed(name));
            break;
        case DropDownAction::ClearAll:
            if (ConfirmClear()) {
                Store.ClearUnlocked(name);
                list.Reload(Store.Listed(name));
            }
            break;
        case DropDownAction::ToggleLock:
            Store.SetLocked(name, current.Text, !current.Locked);
            list.Reload(Store.Listed(name));
            break;
        case DropDownAction::Copy:
            if (Dialog.Setup.Edits.Clip)
                Dialog.Setup.Edits.Clip->Set(current.Text);
            break;
        default:
            break;
        }
    }
    OpenList = {};
    Dialog.Call(Far3::DN_DROPDOWNOPENED, static_cast<intptr_t>(index), nullptr);
    if (!chosen || Dialog.CloseAccepted || index >= Dialog.Model.Size())
        return;
    Completion = {};
    EditLine(Dialog.Model[index], Dialog.Setup.Edits).Replace(*chosen);
    Dialog.EditChanged(index);
}

bool EditHistories::ConfirmClear()
{
    MessageBox box;
    box.Flags = Far3::FMSG_WARNING;
    box.Title = "History";
    box.Lines = {"Clear the history? Locked entries stay."};
    box.Buttons = {"Clear", "Cancel"};
    return Dialog.User.ShowMessage(box) == 0;
}

void EditHistories::OfferCompletion(size_t index, bool byHand)
{
    Completion = {};
    const DialogItem& item = Dialog.Model[index];
    if (item.Type != Far3::DI_EDIT || !item.Has(Far3::DIF_HISTORY) || item.History.empty() ||
        item.Has(Far3::DIF_READONLY) || (!byHand && item.Has(Far3::DIF_NOAUTOCOMPLETE)) || item.Data.empty())
        return;
    std::vector<std::u16string> matches;
    for (std::u16string& entry : Store.Entries(item.History))
        if (entry.size() > item.Data.size() &&
            SameHistoryText(std::u16string_view(entry).substr(0, item.Data.size()), item.Data))
            matches.push_back(std::move(entry));
    if (matches.empty())
        return;
    Completion.Item = static_cast<intptr_t>(index);
    Completion.Entries = std::move(matches);
}

bool EditHistories::CompletionKey(const KeyPress& key)
{
    if (Completion.Item < 0)
        return false;
    const size_t index = static_cast<size_t>(Completion.Item);
    if (index != Dialog.Focus.Index() || index >= Dialog.Model.Size()) {
        Completion = {};
        return false;
    }
    const bool plain = !key.Ctrl() && !key.Alt() && !key.Shift();
    const intptr_t last = static_cast<intptr_t>(Completion.Entries.size()) - 1;
    const intptr_t current = Completion.Selected;
    // The list's own page: as many rows as Far shows.
    constexpr intptr_t Page = 8;
    if (plain && key.VirtualKey == Vk::Escape) {
        // Esc closes only the list.
        Completion = {};
        return true;
    }
    if (key.VirtualKey == Vk::Delete && key.Shift() && !key.Ctrl() && !key.Alt()) {
        // Shift+Del deletes the chosen entry from the history, unless it is locked.
        if (current >= 0 &&
            Store.Remove(Dialog.Model[index].History, Completion.Entries[static_cast<size_t>(current)])) {
            Completion.Entries.erase(Completion.Entries.begin() + current);
            if (Completion.Entries.empty())
                Completion = {};
            else
                Completion.Selected = std::min(current, last - 1);
        }
        return true;
    }
    intptr_t chosen = 0;
    switch (plain ? key.VirtualKey : 0) {
    case Vk::Down:
        chosen = std::min(current + 1, last);
        break;
    case Vk::Up:
        chosen = current < 0 ? last : std::max<intptr_t>(current - 1, 0);
        break;
    case Vk::Next:
        chosen = std::min(std::max<intptr_t>(current, 0) + Page, last);
        break;
    case Vk::Prior:
        chosen = std::max<intptr_t>((current < 0 ? last : current) - Page, 0);
        break;
    default:
        // Any other key closes the list and is handled as usual (Enter too).
        Completion = {};
        return false;
    }
    if (chosen == current)
        return true; // at the end of the list: no wrap
    Completion.Selected = chosen;
    const DialogView::CompletionList open = Completion;
    EditLine(Dialog.Model[index], Dialog.Setup.Edits).Replace(Completion.Entries[static_cast<size_t>(chosen)]);
    Dialog.EditChanged(index);
    // The list stays open while its entries are copied into the edit.
    if (!Dialog.CloseAccepted)
        Completion = open;
    return true;
}

} // namespace Host
