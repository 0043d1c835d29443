// What a dialog does with its edits' histories: the newest entry as the
// starting text (DIF_USELASTHISTORY), the drop-down list (Ctrl+Down), and
// the texts saved when the dialog closes with a button. The store of the
// lists is DialogHistory.h.
#include "host/dialogs/HostDialog.h"

#include "host/HostText.h"

namespace Host {

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
    DialogItem& item = DialogItems[index];
    item.SetEditText(entries[static_cast<size_t>(choice)]);
    item.Unchanged = false;
    EditChanged(index);
}

} // namespace Host
