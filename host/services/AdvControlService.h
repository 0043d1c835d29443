// Far's AdvControl for the commands plugins use: the host version, the
// screen rectangle (from the front end), "redraw everything" (counted, and
// passed on to the front end) and the taskbar's progress (kept, for the
// front end and tests to read).
#pragma once

#include "host/frontends/FrontEnd.h"

#include <vector>

namespace Host {

class AdvControlService {
public:
    explicit AdvControlService(FrontEnd& screen) : Screen(screen) {}

    intptr_t Control(Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t param1, void* param2);
    int Redraws() const { return RedrawCount; }

    // The taskbar's progress as the plugin last set it.
    struct TaskbarProgress {
        Far3::TASKBARPROGRESSTATE State = Far3::TBPS_NOPROGRESS;
        uint64_t Completed = 0;
        uint64_t Total = 0;
    };
    const TaskbarProgress& Taskbar() const { return Progress; }
    // Every state the plugin set, in order.
    const std::vector<Far3::TASKBARPROGRESSTATE>& TaskbarStates() const { return States; }

private:
    FrontEnd& Screen;
    int RedrawCount = 0;
    TaskbarProgress Progress;
    std::vector<Far3::TASKBARPROGRESSTATE> States;
};

} // namespace Host
