// Editing the names in the editor, the plugins menu's third entry. The files
// a rename takes are written one name a line to a temporary file that the
// user edits in the host's editor; every line changed when it is saved is a
// rename. The user confirms (or previews the outcome, or edits again), and
// the renames are made in an order in which each target is free when it is
// made: a chain from its end back, a cycle through a temporary name in the
// same folder. Every step, the temporary ones too, is written ahead to the
// undo journal before it is made, so the whole edit run is one run that undo
// takes back, whenever it was cut off. Failures are listed in the editor as
// a template run lists them, with their reasons, and stay selected.
//
// Main thread only, as every host service. Raises what the temporary names
// file and the failure list raise when they cannot be made or written.
#pragma once

#include "framework/FarPanel.h"

namespace Zelvane {

// The whole flow over the panel's snapshot: its selected items, or the one
// under the cursor when nothing is selected and `underCursor` allows it. A
// name that cannot be edited as a line (it holds a line break) is left out
// and left as it is. The snapshot's selection is left as the run leaves it
// (what failed or was not reached selected, the rest not); the caller
// applies it to the panel.
void EditNames(Tessel::TFarPanel& panel, bool underCursor);

} // namespace Zelvane
