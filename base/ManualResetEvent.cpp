#include "base/ManualResetEvent.h"

namespace Base {

void ManualResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> guard(Lock);
        Signalled = true;
    }
    Changed.notify_all();
}

void ManualResetEvent::Reset()
{
    std::lock_guard<std::mutex> guard(Lock);
    Signalled = false;
}

void ManualResetEvent::Wait()
{
    std::unique_lock<std::mutex> guard(Lock);
    Changed.wait(guard, [this] { return Signalled; });
}

ManualResetEvent::WaitResult ManualResetEvent::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> guard(Lock);
    return Changed.wait_for(guard, timeout, [this] { return Signalled; }) ? WaitResult::Signalled
                                                                          : WaitResult::Timeout;
}

} // namespace Base
