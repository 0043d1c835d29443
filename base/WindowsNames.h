// The characters Windows refuses in a file name: the control characters
// U+0001..U+001F and < > : " / \ | ? * (NUL ends a name rather than being
// part of one). Header-only and standard library only, so the plugin's
// name rules, its POSIX emulation and the name mapping the stand-in host
// shares keep one list. Pure functions, safe from any thread.
#pragma once

#include <string_view>

namespace Base {

// The printable characters Windows refuses; '/' and '\' among them, as
// both separate the parts of a path.
inline constexpr std::string_view WindowsRefusedPunctuation = "<>:\"/\\|?*";

namespace Detail {

// WindowsRefusedPunctuation as a table over ASCII: every character of every
// new name passes through this test, so it is one lookup rather than a search.
struct RefusedPunctuationTable {
    bool Refused[0x80] = {};
    constexpr RefusedPunctuationTable()
    {
        for (const char c : WindowsRefusedPunctuation)
            Refused[static_cast<unsigned char>(c)] = true;
    }
};
inline constexpr RefusedPunctuationTable RefusedPunctuation;

} // namespace Detail

constexpr bool IsWindowsRefusedPunctuation(char32_t c)
{
    return c < 0x80 && Detail::RefusedPunctuation.Refused[c];
}

constexpr bool IsRefusedInWindowsNames(char32_t c)
{
    return (c >= 1 && c <= 31) || IsWindowsRefusedPunctuation(c);
}

} // namespace Base
