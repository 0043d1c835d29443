// TProgress: what the user sees of a long rename run, preview or undo.
// Nothing at all for the first second (a short run looks exactly as it did
// before progress existed); after that Far's usual progress, a message box
// without buttons ("Renaming 12 345 of 100 000") updated at most ten times a
// second, and the taskbar's progress through AdvControl where the host
// offers it. When the work ends (the object goes), the taskbar is cleared
// and the host asked to redraw the screen as it was.
//
// Step is called once per file and is meant to cost nothing measurable: it
// reads the clock only every few files. Main thread only, as every host
// service.
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

    // `done` files of the total are through.
    void Step(uint64_t done)
    {
        if ((++Calls & CallsPerClockRead) == 0)
            Update(done);
    }

    // True once the progress has been shown.
    bool Shown() const { return Visible; }

    // `value` with a blank between each group of three digits ("100 000").
    static std::u16string GroupedNumber(uint64_t value);

private:
    // The clock is read every 16th step.
    static constexpr uint64_t CallsPerClockRead = 15;

    void Update(uint64_t done);

    TMessage Text;
    uint64_t Total;
    Clock::time_point ShowAfter;
    Clock::time_point NextUpdate;
    uint64_t Calls = 0;
    bool Visible = false;
};

} // namespace Zelvane
