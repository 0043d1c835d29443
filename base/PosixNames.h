// How a POSIX file name, which is bytes, looks to the plugin, which sees
// UTF-16: the one mapping the stand-in host's panels and the POSIX build's
// file calls share, exact in both directions, so a name the plugin is handed
// always leads back to that very file and to no other.
//
//  - Well-formed UTF-8 becomes its characters.
//  - Each byte that is not part of well-formed UTF-8 becomes a lone
//    surrogate U+DC80..U+DCFF (as Python's "surrogateescape" does).
//  - The characters Windows forbids in a name, \ : * ? " < > |, become
//    U+F000 plus the character (as Cygwin and WSL show them), so a backslash
//    inside a name is never taken for a separator. The UTF-8 forms of those
//    eight U+F0xx characters are shown byte by byte, so the mapping stays
//    one to one.
//  - '/' separates path parts and stays itself.
//
// Header-only and standard library only: the host must not depend on the
// plugin's platform layer, yet both sides have to agree byte for byte.
// Pure functions, safe from any thread.
#pragma once

#include "base/Utf16.h"
#include "base/Utf8Sequence.h"
#include "base/WindowsNames.h"

#include <optional>
#include <string>
#include <string_view>

namespace PosixNames {

namespace Detail {

// The characters Windows refuses in names that a POSIX name may still hold
// (all but '/', which separates), as a table over ASCII: every character of
// every name passes through this test, so it is one lookup rather than a
// search.
struct ForbiddenTable {
    bool Forbidden[0x80] = {};
    constexpr ForbiddenTable()
    {
        for (const char c : Base::WindowsRefusedPunctuation)
            Forbidden[static_cast<unsigned char>(c)] = c != '/';
    }
};
inline constexpr ForbiddenTable Forbidden;

} // namespace Detail

// Shown as stand-ins, never taken from a text as themselves.
inline constexpr bool IsForbiddenInNames(char32_t c)
{
    return c < 0x80 && Detail::Forbidden.Forbidden[c];
}

namespace Detail {

inline constexpr char16_t ForbiddenBase = 0xF000;
inline constexpr char16_t ByteEscapeBase = 0xDC00;

// The character U+F000 + c stands for the forbidden ASCII character c.
inline constexpr bool IsForbiddenStandIn(char32_t c)
{
    return c >= ForbiddenBase && c < ForbiddenBase + 0x80 && IsForbiddenInNames(c - ForbiddenBase);
}

// Length of the well-formed UTF-8 sequence at `at` that the mapping shows as
// a character (`decoded`), or 0 when its bytes are shown one by one.
inline size_t DecodedLength(std::string_view bytes, size_t at, char32_t& decoded)
{
    const Base::Utf8Sequence sequence = Base::DecodeUtf8Sequence(bytes, at);
    if (!sequence.Valid || IsForbiddenStandIn(sequence.Char))
        return 0;
    decoded = sequence.Char;
    return sequence.Length;
}

} // namespace Detail

// The UTF-16 the plugin sees for a POSIX name or path, added to `text`; a
// caller that converts many names keeps one buffer for them. Never fails.
inline void AppendUtf16(std::u16string& text, std::string_view bytes)
{
    // Plain ASCII is shown as it is: written straight into place, up to the
    // first byte that needs a closer look.
    const size_t start = text.size();
    text.resize(start + bytes.size());
    size_t at = 0;
    for (; at < bytes.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(bytes[at]);
        if (c >= 0x80 || IsForbiddenInNames(c))
            break;
        text[start + at] = c;
    }
    text.resize(start + at);
    while (at < bytes.size()) {
        char32_t c = 0;
        const size_t length = Detail::DecodedLength(bytes, at, c);
        if (length == 0) {
            text += static_cast<char16_t>(Detail::ByteEscapeBase + static_cast<unsigned char>(bytes[at]));
            ++at;
            continue;
        }
        at += length;
        if (IsForbiddenInNames(c)) {
            text += static_cast<char16_t>(Detail::ForbiddenBase + c);
        } else {
            Base::AppendUtf16(text, c);
        }
    }
}

// The UTF-16 the plugin sees for a POSIX name or path. Never fails.
inline std::u16string ToUtf16(std::string_view bytes)
{
    std::u16string text;
    AppendUtf16(text, bytes);
    return text;
}

// The bytes of the POSIX name or path the plugin means, '\' and '/' alike
// separating parts. Nothing when no name shows as `text`: a NUL, a character
// Windows forbids in names other than the separators, an unpaired surrogate
// that stands for no byte, or byte stand-ins that together would show as a
// character instead.
inline std::optional<std::string> FromUtf16(std::u16string_view text)
{
    // The usual path is ASCII throughout: its bytes are written straight
    // into place, up to the first character that needs a closer look.
    std::string bytes(text.size(), '\0');
    size_t i = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0x80 || c == 0 || (IsForbiddenInNames(c) && c != u'\\'))
            break;
        bytes[i] = c == u'\\' ? '/' : static_cast<char>(c);
    }
    bytes.resize(i);
    bool byteStandIns = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\\' || c == u'/') {
            bytes += '/';
        } else if (c == 0 || IsForbiddenInNames(c)) {
            return std::nullopt;
        } else if (Detail::IsForbiddenStandIn(c)) {
            bytes += static_cast<char>(c - Detail::ForbiddenBase);
        } else if (Base::IsHighSurrogate(c)) {
            if (i + 1 >= text.size() || !Base::IsLowSurrogate(text[i + 1]))
                return std::nullopt;
            Base::AppendUtf8(bytes, Base::CombineSurrogates(c, text[i + 1]));
            ++i;
        } else if (Base::IsLowSurrogate(c)) {
            if (c < Detail::ByteEscapeBase + 0x80 || c > Detail::ByteEscapeBase + 0xFF)
                return std::nullopt;
            bytes += static_cast<char>(c - Detail::ByteEscapeBase);
            byteStandIns = true;
        } else {
            Base::AppendUtf8(bytes, c);
        }
    }
    // Stand-ins for bytes that form a character would be read back as that
    // character: only a text that is what its bytes show maps to them. Every
    // other part maps to bytes that read back as itself, so a text without
    // byte stand-ins (the usual name) needs no second look.
    if (!byteStandIns)
        return bytes;
    std::u16string shown = ToUtf16(bytes);
    std::u16string meant(text);
    for (char16_t& c : meant) {
        if (c == u'\\')
            c = u'/';
    }
    if (shown != meant)
        return std::nullopt;
    return bytes;
}

} // namespace PosixNames
