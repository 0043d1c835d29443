// TProgress: what the user sees of a long rename run, preview or undo.
// Nothing at all for the first second (a short run looks exactly as it did
// before progress existed); after that Far's usual progress, a message box
// without buttons ("Renaming 12 345 of 100 000") updated at most ten times a
// second, and the taskbar's progress through AdvControl where the host
// offers it. When the work ends (the object goes), the taskbar is cleared
// and the host asked to redraw the screen as it was.
//
// Esc stops the work, as it stops Far's own long operations: Step looks for
// it in the console's input queue (other keys waiting there are dropped)
// and asks in a warning box whether to stop ("Stop renaming?", Yes / No),
// the taskbar paused meanwhile. Yes makes Step return true, and the work
// ends before its next file.
//
// Step is called once per file and is meant to cost nothing measurable: it
// reads the clock and the keyboard only every few files. Main thread only,
// as every host service.
#pragma once

#include "plugin/uMessages.h"

#include <chrono>
#include <cstdint>

namespace Zelvane {

class TProgress {
public:
    using Clock = std::chrono::steady_clock;

    // `text` is a message with two %s: the files done and the total.
    // `delay` is how long the work runs before anything shows.
    TProgress(TMessage text, uint64_t total, Clock::duration delay = std::chrono::seconds(1));
    ~TProgress();
    TProgress(const TProgress&) = delete;
    TProgress& operator=(const TProgress&) = delete;

    // `done` files of the total are through. True when the user has asked
    // to stop: the caller ends the work without starting another file.
    bool Step(uint64_t done)
    {
        if ((++Calls & CallsPerClockRead) == 0)
            return Update(done);
        return false;
    }

    // True once the progress has been shown.
    bool Shown() const { return Visible; }

    // `value` with a blank between each group of three digits ("100 000").
    static std::u16string GroupedNumber(uint64_t value);

private:
    // The clock and the keyboard are read every 16th step.
    static constexpr uint64_t CallsPerClockRead = 15;

    // True when the user asked to stop.
    bool Update(uint64_t done);
    // Asks whether to stop (Esc was pressed); true for Yes.
    bool AskToStop();

    TMessage Text;
    uint64_t Total;
    Clock::time_point ShowAfter;
    Clock::time_point NextUpdate;
    uint64_t Calls = 0;
    bool Visible = false;
    // A question box was drawn: the screen is redrawn at the end.
    bool Asked = false;
};

} // namespace Zelvane
