#include "base/Utf.h"

#include "base/Utf16.h"

namespace Base {

String Str(std::string_view utf8)
{
    return FromUtf8(utf8);
}

std::string ToUtf8(StringView text)
{
    return Utf16ToUtf8(text);
}

String FromUtf8(std::string_view text)
{
    return Utf8ToUtf16(text);
}

bool IsValidUtf8(std::string_view bytes)
{
    return IsWellFormedUtf8(bytes);
}

} // namespace Base
