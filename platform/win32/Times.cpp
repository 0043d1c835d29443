// File times as local calendar times: Windows' own conversion, the one
// Far Manager shows in its panels.
#include "platform/Platform.h"

#include <windows.h>

namespace Platform {

BOOL FileTimeToLocalTime(uint64_t fileTime, LocalTime* local)
{
    if (fileTime == 0)
        return 0;
    ::FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    ::FILETIME here{};
    ::SYSTEMTIME calendar{};
    if (!::FileTimeToLocalFileTime(&utc, &here) || !::FileTimeToSystemTime(&here, &calendar))
        return 0;
    *local = {calendar.wYear, calendar.wMonth, calendar.wDay, calendar.wHour, calendar.wMinute, calendar.wSecond};
    return 1;
}

} // namespace Platform
