#include "platform/Faults.h"

#include <atomic>
#include <mutex>

namespace Platform::Faults {

namespace {

// The hook runs on the calling thread, outside the lock, which only guards
// setting it; without one a call costs a single flag read.
std::mutex HookGuard;
THook CurrentHook;
std::atomic<bool> HookSet{false};

} // namespace

void SetHook(THook hook)
{
    const std::lock_guard<std::mutex> lock(HookGuard);
    CurrentHook = std::move(hook);
    HookSet = static_cast<bool>(CurrentHook);
}

DWORD Injected(TCall call, const char16_t* path, const char16_t* newPath)
{
    if (!HookSet)
        return 0;
    THook hook;
    {
        const std::lock_guard<std::mutex> lock(HookGuard);
        hook = CurrentHook;
    }
    return hook ? hook(call, path, newPath) : 0;
}

} // namespace Platform::Faults
