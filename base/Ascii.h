// ASCII letter case, for the names that Windows and Far compare without
// regard to case only in the ASCII range: device names, language names,
// hotkeys, GUID text. Characters outside A-Z and a-z are left as they are,
// whatever the locale. Works on any code unit type (char, char16_t, ...).
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace Base {

template <typename Char>
constexpr Char AsciiLower(Char c)
{
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <typename Char>
constexpr Char AsciiUpper(Char c)
{
    return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

// True when `a` and `b` are equal once their ASCII letters are folded.
template <typename Char>
constexpr bool EqualsIgnoringAsciiCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](Char x, Char y) { return AsciiLower(x) == AsciiLower(y); });
}

// `text` with its ASCII letters in lower case.
template <typename Char>
std::basic_string<Char> AsciiLowered(std::basic_string_view<Char> text)
{
    std::basic_string<Char> lowered(text);
    for (Char& c : lowered)
        c = AsciiLower(c);
    return lowered;
}

} // namespace Base
