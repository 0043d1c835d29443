// File times as local calendar times: the C library's local time, the
// conversion the stand-in host's panels show.
#include "base/FileTime.h"
#include "platform/Platform.h"

namespace Platform {

BOOL FileTimeToLocalTime(uint64_t fileTime, LocalTime* local)
{
    std::tm calendar{};
    if (!Base::LocalCalendarTime(fileTime, calendar))
        return 0;
    *local = {calendar.tm_year + 1900, calendar.tm_mon + 1, calendar.tm_mday,
              calendar.tm_hour,        calendar.tm_min,     calendar.tm_sec};
    return 1;
}

} // namespace Platform
