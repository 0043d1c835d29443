// Letter case for the template's upper, lower and title modifiers. The
// tables are our own, so the Linux library and the Windows DLL give the same
// result whatever the C library or the system would say. Pure functions of
// their argument: any thread; they never fail (text that is not valid
// UTF-16, such as a lone surrogate, passes unchanged).
#pragma once

#include "base/String.h"

namespace Zelvane {

using Base::String;

// The one-to-one (simple) mappings Windows' LCMapStringEx gives for the invariant locale: "čaj" -> "ČAJ",
// "ß" stays "ß". Surrogate pairs are mapped as one character.
String UpperCase(Base::StringView text);
String LowerCase(Base::StringView text);
// First letter of each word upper case, the rest lower; a word starts after any character that is not a
// letter, a digit or an apostrophe (' or ’) ("don't stop" -> "Don't Stop").
String TitleCase(Base::StringView text);

} // namespace Zelvane
