// ScopeGuard: runs an action when the scope ends, whether by return or by
// an exception. The "finally" step of clean-up that must always happen.
//
//     LockRedraw();
//     Base::ScopeGuard unlock([&] { UnlockRedraw(); });
//
// An exception raised by the action propagates when the scope ends
// normally; while another exception is already unwinding the scope, that
// one is kept and the action's own failure is dropped.
#pragma once

#include <exception>
#include <utility>

namespace Base {

template <typename Action>
class ScopeGuard {
public:
    explicit ScopeGuard(Action action)
        : Run(std::move(action))
        , ExceptionsAtEntry(std::uncaught_exceptions())
    {
    }

    ~ScopeGuard() noexcept(false)
    {
        if (std::uncaught_exceptions() == ExceptionsAtEntry) {
            Run();
            return;
        }
        try {
            Run();
        } catch (...) {
        }
    }

    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

private:
    Action Run;
    int ExceptionsAtEntry;
};

} // namespace Base
