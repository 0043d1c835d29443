// A seam for tests to bring trouble into the file calls: a full medium, a
// refused folder, a file that vanishes or a name another process takes just
// before the call. Without a hook every call goes straight to the system.
#pragma once

#include "platform/Platform.h"

#include <functional>

namespace Platform::Faults {

// The calls, named apart from <windows.h>'s macros (MoveFile, CreateFile...).
enum class TCall {
    Rename,       // MoveFileW
    TempPath,     // GetTempPathW
    TempFileName, // GetTempFileNameW
    Create,       // CreateFileW
    Write,        // WriteFile
    Delete,       // DeleteFileW
    Attributes,   // GetFileAttributesW
    // Before each entry of a listed folder is removed by DeleteTree (POSIX
    // build), with the entry's path.
    DeleteTreeEntry,
};

// Called before each of the calls above with the call and the path it was
// given (null for Write), and for Rename the new name as `newPath`. It
// may change the world first (delete or make a file); a nonzero Windows error
// code it returns makes the call fail with that code without touching
// anything. One hook at a time; empty removes it.
using THook = std::function<DWORD(TCall call, const char16_t* path, const char16_t* newPath)>;
void SetHook(THook hook);

// The error the hook brings for this call, 0 when it lets the call go on.
DWORD Injected(TCall call, const char16_t* path, const char16_t* newPath = nullptr);

// Sets the hook for one scope.
class TScopedHook {
public:
    explicit TScopedHook(THook hook) { SetHook(std::move(hook)); }
    ~TScopedHook() { SetHook(nullptr); }
    TScopedHook(const TScopedHook&) = delete;
    TScopedHook& operator=(const TScopedHook&) = delete;
};

} // namespace Platform::Faults
