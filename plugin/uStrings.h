// Text helpers of the renamer: splitting at the first of several separators,
// taking lines off the front of a text.
#pragma once

#include "base/String.h"

#include <vector>

namespace Zelvane {

using Base::String;

// Cuts `text` at the earliest occurrence of any separator (on equal starts
// the one listed first wins): `part` gets what came before it, `text` keeps
// what follows it. Without a separator `part` takes the whole text and `text`
// becomes empty. False only when `text` was empty. With `trim`, `part` loses
// leading and trailing characters of code 32 or less.
bool SplitFirst(String& text, const std::vector<String>& separators, String& part, bool trim);
bool SplitFirst(String& text, const String& separator, String& part, bool trim);

// SplitFirst at CR LF, CR or LF: called until it returns false, it yields the
// lines of a text in order (a final line break yields no empty last line).
bool ExtractLine(String& text, String& line, bool trim);

} // namespace Zelvane
