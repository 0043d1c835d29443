// The console input for the POSIX build. On Windows kernel32 serves the
// console to every module of the process; here the program that loaded us
// plays that part, when it offers the console calls as exported C
// functions (the stand-in host does). They are looked up once, in the
// whole process, and called on the caller's thread.
#include "platform/posix/PosixSupport.h"

#include <dlfcn.h>

namespace Platform {

using namespace Posix;

namespace {

// The one handle the console input has in this process: a value no handle
// of the table ever takes.
HANDLE const ConsoleInputHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-10));

using TConsoleCall = BOOL (*)(INPUT_RECORD* buffer, DWORD length, DWORD* read);

struct TConsoleCalls {
    TConsoleCall Peek = nullptr;
    TConsoleCall Read = nullptr;
};

const TConsoleCalls& ConsoleCalls()
{
    static const TConsoleCalls calls{
        reinterpret_cast<TConsoleCall>(::dlsym(RTLD_DEFAULT, "ZelvaneHostPeekConsoleInput")),
        reinterpret_cast<TConsoleCall>(::dlsym(RTLD_DEFAULT, "ZelvaneHostReadConsoleInput"))};
    return calls;
}

BOOL CallConsole(TConsoleCall call, HANDLE console, INPUT_RECORD* buffer, DWORD length, DWORD* read)
{
    if (read != nullptr)
        *read = 0;
    if (console != ConsoleInputHandle || call == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    if (buffer == nullptr || read == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    DWORD got = 0;
    if (!call(buffer, length, &got))
        return Fail(ERROR_INVALID_HANDLE);
    *read = got > length ? length : got;
    return 1;
}

} // namespace

HANDLE GetStdHandle(DWORD which)
{
    return which == StdInputHandle ? ConsoleInputHandle : InvalidHandleValue;
}

BOOL PeekConsoleInputW(HANDLE console, INPUT_RECORD* buffer, DWORD length, DWORD* read)
{
    return CallConsole(ConsoleCalls().Peek, console, buffer, length, read);
}

BOOL ReadConsoleInputW(HANDLE console, INPUT_RECORD* buffer, DWORD length, DWORD* read)
{
    return CallConsole(ConsoleCalls().Read, console, buffer, length, read);
}

} // namespace Platform
