// Undoing the last rename run, the plugins menu's second entry: the journal
// of the run (plugin/uJournal.h) is read, the user asked, and every rename
// it holds taken back, newest first, where that is still safe. Also the
// messages a run shows about the journal. Main thread only; raises only
// what the failure list raises when its file cannot be made.
#pragma once

#include "plugin/uJournal.h"

#include <vector>

namespace Zelvane {

// The whole flow: "nothing to undo" without a journal; a refusal that
// touches nothing when another window holds the journal, when it is
// damaged or when its folder is gone; else the question, the renames back
// (each recorded in the journal as it goes, so that an undo cut short is
// finished by the next), the entries left alone listed in the host's
// editor and kept in the journal (deleted when none is left), and both
// panels re-read and redrawn with their selection kept.
void UndoLastRun();

// What undo did with one entry.
enum class TUndoOutcome {
    MovedBack,
    // The file is under its old name already: taken back by an undo cut
    // short, or never renamed (an intent the run did not get to make).
    AlreadyBack,
    LeftAlone,
};

// Takes one entry back. `directory` is the folder as the file calls take
// it, ending in a separator. The file at the new name goes back only when
// it is still the one renamed (its file ID, size and last-write time as
// recorded after the rename; size and time alone for an entry without
// them), by a rename that never replaces: the old name must be free, or the
// file's own under another case. An entry planned to fail is never moved
// without its recorded outcome.
TUndoOutcome UndoEntry(const String& directory, const TJournalEntry& entry);

// The warning that a run's journal could not be written to the end.
void ShowJournalNotWritten();
// The refusal when another window holds the journal.
void ShowJournalBusy();
// Asked before a run whose journal cannot be made: true for Yes.
bool AskToRenameUnrecorded();

} // namespace Zelvane
