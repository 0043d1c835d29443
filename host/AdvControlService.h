// Far's AdvControl for the commands plugins use: the host version, the
// screen rectangle (from the front end) and "redraw everything" (counted).
#pragma once

#include "host/FrontEnd.h"

namespace Host {

class AdvControlService {
public:
    explicit AdvControlService(FrontEnd& screen) : Screen(screen) {}

    intptr_t Control(Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t param1, void* param2);
    int Redraws() const { return RedrawCount; }

private:
    FrontEnd& Screen;
    int RedrawCount = 0;
};

} // namespace Host
