// UTF-16 code units as code points, for the code that works per character
// (letter case, the replace engine): a surrogate pair is one character, a
// lone surrogate stands for itself. Pure inline functions: any thread.
#pragma once

#include "base/String.h"

namespace Zelvane::CodePoints {

inline bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

inline bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The number of units (1 or 2) of the character that starts at `at` (< text.size()).
inline size_t UnitsAt(Base::StringView text, size_t at)
{
    return IsHighSurrogate(text[at]) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]) ? 2 : 1;
}

// The character that starts at `at` (< text.size()), of UnitsAt(text, at) units.
inline char32_t CodePointAt(Base::StringView text, size_t at)
{
    if (UnitsAt(text, at) == 1)
        return text[at];
    return 0x10000 + ((char32_t{text[at]} - 0xD800) << 10) + (char32_t{text[at + 1]} - 0xDC00);
}

inline void AppendCodePoint(Base::String& out, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
    } else {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    }
}

} // namespace Zelvane::CodePoints
