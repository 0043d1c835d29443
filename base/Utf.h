// UTF-16 <-> UTF-8 for the places where text leaves the UTF-16 world
// (file names on POSIX, what() of exceptions, SQLite). Unpaired surrogates
// become U+FFFD; invalid UTF-8 bytes become U+FFFD.
#pragma once

#include "base/String.h"

#include <string>

namespace Base {

std::string ToUtf8(StringView text);
String FromUtf8(std::string_view text);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF, no sequence cut short).
bool IsValidUtf8(std::string_view bytes);

} // namespace Base
