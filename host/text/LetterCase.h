// The upper case of one UTF-16 code unit, as Far compares hotkeys: letters
// of every script a hotkey is likely to use, not only A-Z. The C library's
// towupper cannot serve: in the "C" locale it folds only ASCII (glibc and
// the Windows runtimes alike), and setting a locale is global state.
//
// Covered: ASCII, Latin-1, Latin Extended-A, Greek (the modern letters) and
// Cyrillic with its supplement. Other code units, and letters whose upper
// case is not one code unit, are returned as they are. Pure, no state.
#pragma once

namespace Host {

constexpr char16_t UnicodeUpper(char16_t c)
{
    const auto minus = [c](int offset) { return static_cast<char16_t>(c - offset); };
    // Blocks where the capital is the even code unit and the small one the odd one after it.
    const auto evenPair = [c] { return static_cast<char16_t>(c & ~1); };
    const auto oddPair = [c] { return static_cast<char16_t>(c % 2 == 0 ? c - 1 : c); };

    if (c >= u'a' && c <= u'z')
        return minus(0x20);
    if (c == 0xB5) // micro sign
        return 0x39C;
    if (c < 0xE0)
        return c;
    // Latin-1: à-þ but ÷; ÿ's capital lives in Latin Extended-A.
    if (c <= 0xFE)
        return c == 0xF7 ? c : minus(0x20);
    if (c == 0xFF)
        return 0x178;
    // Latin Extended-A.
    if (c < 0x100)
        return c;
    if (c == 0x131) // dotless i
        return u'I';
    if (c <= 0x137)
        return c == 0x130 ? c : evenPair();
    if (c >= 0x139 && c <= 0x148)
        return oddPair();
    if (c >= 0x14A && c <= 0x177)
        return evenPair();
    if (c >= 0x179 && c <= 0x17E)
        return oddPair();
    if (c == 0x17F) // long s
        return u'S';
    if (c < 0x370)
        return c;
    // Greek.
    if (c == 0x3AC)
        return 0x386;
    if (c >= 0x3AD && c <= 0x3AF)
        return minus(0x25);
    if (c == 0x3C2) // final sigma
        return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3CB)
        return minus(0x20);
    if (c == 0x3CC)
        return 0x38C;
    if (c == 0x3CD || c == 0x3CE)
        return minus(0x3F);
    if (c < 0x400)
        return c;
    // Cyrillic and the Cyrillic Supplement.
    if (c >= 0x430 && c <= 0x44F)
        return minus(0x20);
    if (c >= 0x450 && c <= 0x45F)
        return minus(0x50);
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
        return evenPair();
    if (c >= 0x4C1 && c <= 0x4CE)
        return oddPair();
    if (c == 0x4CF) // palochka
        return 0x4C0;
    return c;
}

} // namespace Host
