// The drop-down list of an edit's history (Ctrl+Down) as Far runs it: the
// entries locked first, then newest first, a date row before each day's
// entries, at most MaxRows rows shown and scrolled, the cursor kept on
// entries (never on a date row) and stopping at both ends. Keys say what
// the dialog is to do; the dialog does it to the store and gives the list
// the store's entries again (Reload). A value type; one thread.
#pragma once

#include "host/text/KeyScript.h"
#include "host/dialogs/HistoryStore.h"
#include "host/dialogs/DialogView.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Host {

class HistoryDropDown {
public:
    // Far's default height of a combo box's list.
    static constexpr size_t MaxRows = 8;

    enum class Action {
        Stay,        // moved, or a key the list does not use
        Choose,      // Enter, Tab: the entry under the cursor goes into the edit
        Cancel,      // Esc, F10
        DeleteEntry, // Shift+Del
        ClearAll,    // Del, once the user agreed
        ToggleLock,  // Ins
        Copy,        // Ctrl+C, Ctrl+Ins: the entry to the clipboard
    };

    explicit HistoryDropDown(std::vector<HistoryEntry> entries);

    Action Key(const KeyPress& key);
    // The store's entries anew: the cursor stays on the same text when it is
    // still there, else at the same place.
    void Reload(std::vector<HistoryEntry> entries);

    bool Empty() const { return Listed.empty(); }
    // The entry under the cursor; the list must not be empty.
    const HistoryEntry& Current() const { return Listed[Cursor]; }
    const std::vector<HistoryEntry>& Entries() const { return Listed; }

    // What is shown, for the edit at `item`.
    DialogView::HistoryListView View(intptr_t item) const;

    // The date row's caption for a stored time, in local time ("11/30/2026").
    static std::u16string DateCaption(int64_t time);

private:
    void MoveTo(size_t entry);
    // Row of each entry in the shown list (date rows counted).
    std::vector<size_t> EntryRows() const;
    size_t RowCount() const;

    std::vector<HistoryEntry> Listed;
    size_t Cursor = 0;
    size_t Top = 0;
};

} // namespace Host
