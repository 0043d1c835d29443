// The keys of a one-line edit field: typing, deleting, moving the cursor,
// and Far's "unchanged" state, in which the first typed character replaces
// the whole text (and Del clears it) while a cursor key only ends the state.
#pragma once

#include "host/KeyScript.h"
#include "host/dialogs/DialogItem.h"

namespace Host {

struct EditKeyResult {
    bool Handled = false;     // the edit took the key
    bool TextChanged = false; // its text is different now
};

EditKeyResult ApplyEditKey(DialogItem& edit, const KeyPress& key);

} // namespace Host
