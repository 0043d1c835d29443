// UTF-16 as the plugin and Far speak it: surrogate pairs, and whole texts
// to and from UTF-8 (an unpaired surrogate, and bytes that are not
// well-formed UTF-8, become U+FFFD, so the conversions never fail).
// Header-only and standard library only, so the plugin's string
// conversions, the POSIX name mapping and the stand-in host share one of
// each. Pure functions, safe from any thread.
#pragma once

#include "base/Utf8Sequence.h"

#include <string>
#include <string_view>

namespace Base {

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

constexpr bool IsHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

constexpr bool IsLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

constexpr bool IsSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// The character a high and a low surrogate stand for together.
constexpr char32_t CombineSurrogates(char32_t high, char32_t low)
{
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// The character at `text[at]` and how many code units it takes: a pair, a
// single unit, or an unpaired surrogate as itself (one unit).
struct Utf16Character {
    char32_t Char = 0;
    size_t Length = 1;
};
constexpr Utf16Character DecodeUtf16At(std::u16string_view text, size_t at)
{
    const char32_t c = text[at];
    if (IsHighSurrogate(c) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]))
        return {CombineSurrogates(c, text[at + 1]), 2};
    return {c, 1};
}

// Appends `c` (a Unicode scalar value) as one or two code units.
inline void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

inline std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        // Plain ASCII, most of most texts, goes over one unit at a time.
        if (text[i] < 0x80) {
            out += static_cast<char>(text[i]);
            ++i;
            continue;
        }
        const Utf16Character c = DecodeUtf16At(text, i);
        AppendUtf8(out, IsSurrogate(c.Char) ? ReplacementCharacter : c.Char);
        i += c.Length;
    }
    return out;
}

inline std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        // A byte that begins no well-formed sequence becomes U+FFFD on its own.
        const Utf8Sequence sequence = DecodeUtf8Sequence(text, i);
        AppendUtf16(out, sequence.Valid ? sequence.Char : ReplacementCharacter);
        i += sequence.Valid ? sequence.Length : 1;
    }
    return out;
}

// True when `bytes` is well-formed UTF-8 throughout.
constexpr bool IsWellFormedUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        const Utf8Sequence sequence = DecodeUtf8Sequence(bytes, i);
        if (!sequence.Valid)
            return false;
        i += sequence.Length;
    }
    return true;
}

} // namespace Base
