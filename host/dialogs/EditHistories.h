// What a dialog does with its edits' histories (the lists themselves are
// HistoryStore.h): the newest entry as the starting text
// (DIF_USELASTHISTORY), the drop-down list (Ctrl+Down or the arrow:
// HistoryDropDown.h; Shift+Del, Del, Ins and Ctrl+C act on the store and
// the clipboard), the completion list offered while typing, and the texts
// saved when the dialog closes with an item. Part of HostDialog (one
// thread); it keeps the open completion list and the open drop-down list
// for the view. The store is not owned and outlives the dialog.
#pragma once

#include "host/dialogs/DialogItem.h"
#include "host/dialogs/DialogView.h"
#include "host/dialogs/HistoryStore.h"
#include "host/text/KeyScript.h"

#include <cstddef>

namespace Host {

class HostDialog;

class EditHistories {
public:
    EditHistories(HostDialog& dialog, HistoryStore& store) : Dialog(dialog), Store(store) {}

    HistoryStore& Lists() { return Store; }

    // An empty DIF_USELASTHISTORY edit takes the newest entry of its list.
    void StartFromLast(DialogItem& item);
    // The texts of the edits that keep theirs, into their lists.
    void Save();
    // The drop-down list of edit `index` until the user chooses an entry,
    // which goes into the edit, or closes it.
    void Open(size_t index);

    // Auto-completion: the list of history entries that start with the
    // edit's text, dropped down after each change the user makes
    // (`byHand`: Ctrl+Space or Ctrl+End, also for DIF_NOAUTOCOMPLETE).
    void OfferCompletion(size_t index, bool byHand);
    void CloseCompletion() { Completion = {}; }
    // A key while the completion list is open; true when the list took it.
    bool CompletionKey(const KeyPress& key);

    const DialogView::CompletionList& CompletionView() const { return Completion; }
    const DialogView::HistoryListView& OpenListView() const { return OpenList; }

private:
    // Del in the list: the user's warning box; true when the user agreed.
    bool ConfirmClear();

    HostDialog& Dialog;
    HistoryStore& Store;
    DialogView::CompletionList Completion;
    DialogView::HistoryListView OpenList;
};

} // namespace Host
