// The emulation's file names become bytes one to one, and POSIX file
// systems compare those bytes: a name is its own key.
#include "platform/Platform.h"

#include <algorithm>

namespace Platform {

void FileNameKey(const char16_t* name, size_t length, char16_t* key)
{
    std::copy(name, name + length, key);
}

} // namespace Platform
