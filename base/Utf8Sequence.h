// One UTF-8 sequence at a time: the single strict decoder every place that
// reads UTF-8 uses (the string conversions, the POSIX name mapping, the
// host's text and its key decoder), and the encoder that goes with it.
// What a caller does with bytes that are not well-formed (a replacement
// character, a byte escape, waiting for more input) is its own choice; which
// bytes are well-formed is decided here only.
//
// Well-formed means Unicode's table of UTF-8 byte sequences: no overlong
// form, no surrogate (U+D800..U+DFFF), nothing above U+10FFFF, no sequence
// cut short. Header-only and standard library only, so the host can use it
// without linking the plugin's code. Pure functions; no failure beyond the
// result.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Base {

struct Utf8Sequence {
    // The character; meaningful only when `Valid`.
    char32_t Char = 0;
    // Bytes taken: the whole sequence when valid; otherwise the longest run
    // from the start that could still begin a well-formed sequence (at least
    // one byte), so a decoder that resumes after it skips exactly the bad part.
    size_t Length = 0;
    bool Valid = false;
    // Not valid only because the bytes end early: more input may complete it.
    bool CutOff = false;
};

// The sequence that starts at `bytes[at]`; `at` must be inside `bytes`.
constexpr Utf8Sequence DecodeUtf8Sequence(std::string_view bytes, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {lead, 1, true, false};
    size_t length = 0;
    char32_t value = 0;
    // The second byte's range is what rules out overlong forms, surrogates
    // and values above U+10FFFF without decoding first.
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0Fu;
        if (lead == 0xE0)
            secondLow = 0xA0; // below: overlong
        else if (lead == 0xED)
            secondHigh = 0x9F; // above: surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07u;
        if (lead == 0xF0)
            secondLow = 0x90; // below: overlong
        else if (lead == 0xF4)
            secondHigh = 0x8F; // above: beyond U+10FFFF
    } else {
        return {0, 1, false, false};
    }
    for (size_t i = 1; i < length; ++i) {
        if (at + i >= bytes.size())
            return {0, i, false, true};
        const unsigned char next = byte(i);
        const unsigned char low = i == 1 ? secondLow : 0x80;
        const unsigned char high = i == 1 ? secondHigh : 0xBF;
        if (next < low || next > high)
            return {0, i, false, false};
        value = (value << 6) | (next & 0x3Fu);
    }
    return {value, length, true, false};
}

// Appends the UTF-8 form of `c`, a Unicode scalar value (no surrogate,
// nothing above U+10FFFF).
inline void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace Base
