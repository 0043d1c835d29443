// What a dialog does with its edits' histories: the newest entry as the
// starting text (DIF_USELASTHISTORY), the drop-down list (Ctrl+Down), and
// the texts saved when the dialog closes with a button. The store of the
// lists is DialogHistory.h.
#include "host/dialogs/HostDialog.h"

#include "host/HostText.h"
#include "framework/FarKeysW.h"

#include <algorithm>

namespace Host {

namespace {
namespace Vk = Far3::VirtualKey;
} // namespace

void HostDialog::StartFromLastHistory(DialogItem& item)
{
    if (item.Type != Far3::DI_EDIT || !item.Has(Far3::DIF_USELASTHISTORY) || !item.Data.empty() ||
        !item.Has(Far3::DIF_HISTORY) || item.History.empty())
        return;
    const std::vector<std::u16string> newest = Histories.Entries(item.History);
    if (!newest.empty())
        item.SetEditText(newest.front());
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
    Completion = {};
    EditLine(DialogItems[index], Setup.Edits).Replace(entries[static_cast<size_t>(choice)]);
    EditChanged(index);
}

void HostDialog::OfferCompletion(size_t index, bool byHand)
{
    Completion = {};
    const DialogItem& item = DialogItems[index];
    if (item.Type != Far3::DI_EDIT || !item.Has(Far3::DIF_HISTORY) || item.History.empty() ||
        item.Has(Far3::DIF_READONLY) || (!byHand && item.Has(Far3::DIF_NOAUTOCOMPLETE)) || item.Data.empty())
        return;
    std::vector<std::u16string> matches;
    for (std::u16string& entry : Histories.Entries(item.History))
        if (entry.size() > item.Data.size() && SameHistoryText(std::u16string_view(entry).substr(0, item.Data.size()), item.Data))
            matches.push_back(std::move(entry));
    if (matches.empty())
        return;
    Completion.Item = static_cast<intptr_t>(index);
    Completion.Entries = std::move(matches);
}

bool HostDialog::CompletionKey(const KeyPress& key)
{
    if (Completion.Item < 0)
        return false;
    const size_t index = static_cast<size_t>(Completion.Item);
    if (index != Focus || index >= DialogItems.size()) {
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
        // Shift+Del deletes the chosen entry from the history.
        if (current >= 0) {
            Histories.Remove(DialogItems[index].History, Completion.Entries[static_cast<size_t>(current)]);
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
    EditLine(DialogItems[index], Setup.Edits).Replace(Completion.Entries[static_cast<size_t>(chosen)]);
    EditChanged(index);
    // The list stays open while its entries are copied into the edit.
    if (!CloseAccepted)
        Completion = open;
    return true;
}

} // namespace Host
