// ConsoleInput: the console's input queue as a plugin reads it during long
// work (PeekConsoleInput / ReadConsoleInput on the standard input handle,
// to notice Esc), filled with the keys the user types meanwhile
// (FrontEnd::TypedKey), as key-down records.
//
// Linux: the host plays the console for the whole process, as kernel32
// does on Windows. While a ConsoleInput lives, the C functions
// ZelvaneHostPeekConsoleInput and ZelvaneHostReadConsoleInput (exported by
// every program that links the host, found by the plugin's platform layer
// with dlsym) answer from it; without one they fail, as without a console.
// Windows: the plugin calls the real console, so Deliver() writes the typed
// keys into it, first giving the process a console of its own (a hidden
// pseudo console) when it has none; the host calls it before it hands
// control to the plugin and after each dialog.
//
// The newest one serves the process; main thread only, as the plugin's
// calls. The front end is not owned and must outlive the object.
#pragma once

#include "far3/Plugin3.h"
#include "host/frontends/FrontEnd.h"

#include <cstdint>
#include <deque>

namespace Host {

class ConsoleInput {
public:
    explicit ConsoleInput(FrontEnd& user);
    ~ConsoleInput();
    ConsoleInput(const ConsoleInput&) = delete;
    ConsoleInput& operator=(const ConsoleInput&) = delete;

    // Copies up to `length` waiting records to `records` (taking them when
    // `take`); the number copied.
    uint32_t Peek(Far3::INPUT_RECORD* records, uint32_t length, bool take);

    // Windows: moves the keys typed so far into the process's console.
    // Linux: nothing to do, the console is asked directly.
    void Deliver();

private:
    // Takes the keys the front end has into Waiting.
    void Collect();

    FrontEnd& User;
    std::deque<Far3::INPUT_RECORD> Waiting;
};

} // namespace Host
