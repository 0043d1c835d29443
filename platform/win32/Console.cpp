// The console input: the real Windows calls.
#include "platform/Platform.h"

#include <windows.h>

#include <cstddef>

namespace Platform {

// Our record is Windows' own, field for field.
static_assert(sizeof(INPUT_RECORD) == sizeof(::INPUT_RECORD));
static_assert(offsetof(INPUT_RECORD, Event) == offsetof(::INPUT_RECORD, Event));
static_assert(offsetof(KEY_EVENT_RECORD, wVirtualKeyCode) == offsetof(::KEY_EVENT_RECORD, wVirtualKeyCode));
static_assert(offsetof(KEY_EVENT_RECORD, dwControlKeyState) == offsetof(::KEY_EVENT_RECORD, dwControlKeyState));

HANDLE GetStdHandle(DWORD which)
{
    return ::GetStdHandle(which);
}

BOOL PeekConsoleInputW(HANDLE console, INPUT_RECORD* buffer, DWORD length, DWORD* read)
{
    ::DWORD got = 0;
    const BOOL result = ::PeekConsoleInputW(console, reinterpret_cast<::INPUT_RECORD*>(buffer), length, &got);
    if (read != nullptr)
        *read = result ? got : 0;
    return result;
}

BOOL ReadConsoleInputW(HANDLE console, INPUT_RECORD* buffer, DWORD length, DWORD* read)
{
    ::DWORD got = 0;
    const BOOL result = ::ReadConsoleInputW(console, reinterpret_cast<::INPUT_RECORD*>(buffer), length, &got);
    if (read != nullptr)
        *read = result ? got : 0;
    return result;
}

} // namespace Platform
