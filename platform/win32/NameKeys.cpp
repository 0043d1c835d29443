// Windows compares file names by its file system's upper-case table, which
// LCMapStringEx applies when it is asked for upper case without linguistic
// casing.
#include "platform/Platform.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace Platform {

void FileNameKey(const char16_t* name, size_t length, char16_t* key)
{
    std::copy(name, name + length, key);
    if (length == 0 || length > static_cast<size_t>(INT_MAX))
        return;
    const int units = static_cast<int>(length);
    ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, reinterpret_cast<LPCWSTR>(name), units,
                    reinterpret_cast<LPWSTR>(key), units, nullptr, nullptr, 0);
}

} // namespace Platform
