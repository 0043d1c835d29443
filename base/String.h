// The system's text type: UTF-16 code units, compared unit by unit.
#pragma once

#include <string>
#include <string_view>

namespace Base {

using String = std::u16string;
using StringView = std::u16string_view;

// Plain ASCII/UTF-8 literal text to String, for messages written in code.
String Str(std::string_view utf8);

} // namespace Base
