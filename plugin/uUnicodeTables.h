// Unicode character data the plugin needs of its own, so that every build
// agrees: the simple (one-to-one) upper and lower case mappings and whether a
// code point is a letter or a decimal digit. Pure lookups: any thread.
#pragma once

namespace Zelvane::Unicode {

// The code point's simple upper / lower case mapping; itself when it has none.
char32_t UpperOf(char32_t codePoint);
char32_t LowerOf(char32_t codePoint);
// General category L* (letters of every kind, cased or not).
bool IsLetter(char32_t codePoint);
// General category Nd (decimal digits of every script).
bool IsDigit(char32_t codePoint);

} // namespace Zelvane::Unicode
