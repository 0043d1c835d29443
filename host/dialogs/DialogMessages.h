// The DM_* messages a plugin sends its running (or finished, not yet
// freed) dialog, answered as Far answers them; messages the host does not
// know go to the dialog procedure. Part of HostDialog (one thread); what
// the messages change is kept by the dialog and its other parts.
#pragma once

#include "host/dialogs/DialogItem.h"

#include <cstddef>
#include <cstdint>

namespace Host {

class HostDialog;

class DialogMessages {
public:
    explicit DialogMessages(HostDialog& dialog) : Dialog(dialog) {}

    intptr_t Send(intptr_t msg, intptr_t param1, void* param2);

private:
    intptr_t ItemMessage(intptr_t msg, size_t index, void* param2);
    intptr_t GetDialogItem(size_t index, void* param2) const;
    intptr_t SetDialogItem(size_t index, const Far3::FarDialogItem* record, bool withTexts);
    intptr_t SetCheck(size_t index, intptr_t state);
    intptr_t ShowItem(size_t index, intptr_t show);

    HostDialog& Dialog;
};

} // namespace Host
