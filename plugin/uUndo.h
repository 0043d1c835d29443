// Undoing the last rename run, the plugins menu's second entry: the journal
// of the run (plugin/uJournal.h) is read, the user asked, and every rename
// it holds taken back, newest first, where that is still safe. Main thread
// only; raises only what the failure list raises when its file cannot be
// made.
#pragma once

#include "plugin/uJournal.h"

#include <vector>

namespace Zelvane {

// The whole flow: "nothing to undo" without a journal, a refusal that
// touches nothing for a damaged one (its folder gone included), else the
// question, the renames back, the entries left alone listed in the host's
// editor, the journal keeping only those (deleted when none is left), and
// both panels re-read and redrawn with their selection kept.
void UndoLastRun();

// Takes the entries back in reverse order. Each file goes back to its old
// name by a rename that never replaces, and only when the file at the new
// name still has the recorded size and last-write time; the old name must
// be free, or the file's own under another case. `directory` is the folder
// as the file calls take it, ending in a separator. Answers the entries
// left alone, in journal order. When the user stops the undo (Esc, then
// Yes), the entries it did not reach go to `notReached` (when given), in
// journal order; they are not left alone, only not tried.
std::vector<TJournalEntry> UndoEntries(const String& directory, const std::vector<TJournalEntry>& entries,
                                       std::vector<TJournalEntry>* notReached = nullptr);

// The warning that a journal could not be written.
void ShowJournalNotWritten();

} // namespace Zelvane
