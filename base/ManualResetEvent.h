// ManualResetEvent: a flag one thread sets and others wait for. Once set it
// stays set, releasing every waiter, until Reset clears it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace Base {

class ManualResetEvent {
public:
    enum class WaitResult { Signalled, Timeout };

    ManualResetEvent() = default;
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void Set();
    void Reset();
    // Waits until the event is set.
    void Wait();
    // Waits until the event is set or `timeout` has passed.
    WaitResult Wait(std::chrono::milliseconds timeout);

private:
    std::mutex Lock;
    std::condition_variable Changed;
    bool Signalled = false;
};

} // namespace Base
