// Unicode character data the plugin keeps of its own, so that every build
// agrees whatever its C library or system says: the one-to-one upper and
// lower case mappings of Windows' invariant locale, and which characters make
// up words. Constant tables and pure lookups: any thread, no failure.
#pragma once

namespace Zelvane::Unicode {

// The code point's upper / lower case as LCMapStringEx(LOCALE_NAME_INVARIANT,
// LCMAP_UPPERCASE / LCMAP_LOWERCASE) gives it; itself when it has none.
// Every mapping is one-to-one both ways ("ß", "ı", "ς", "µ" keep their case).
char32_t UpperOf(char32_t codePoint);
char32_t LowerOf(char32_t codePoint);
// A letter of any kind or a decimal digit of any script (general categories
// L* and Nd; code points not yet assigned between two of them count too).
bool IsLetterOrDigit(char32_t codePoint);

} // namespace Zelvane::Unicode
