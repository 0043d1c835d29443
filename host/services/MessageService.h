// Far's Message(): turns the plugin's items into a message box (title, text
// lines, buttons) and asks the front end for the answer.
#pragma once

#include "host/frontends/FrontEnd.h"

namespace Host {

class MessageService {
public:
    explicit MessageService(FrontEnd& frontEnd) : Screen(frontEnd) {}

    // The Message() service: -1 on Esc, on bad input and for boxes without buttons.
    intptr_t Message(uint64_t flags, const char16_t* const* items, size_t itemsNumber, intptr_t buttonsNumber);

    // A box of the host's own (error reports); same answer rules.
    intptr_t Show(const MessageBox& box);

    // The host's clipboard, where a running box copies its texts; not owned.
    void SetClipboard(Clipboard* clipboard) { Copies = clipboard; }

private:
    FrontEnd& Screen;
    Clipboard* Copies = nullptr;
};

// The localised buttons of an FMSG_MB_* set; empty for none.
std::vector<std::string> StandardButtons(uint64_t flags);

} // namespace Host
