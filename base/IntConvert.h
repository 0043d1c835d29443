// The standard string-to-integer conversion of the system: leading blanks
// skipped, then either an optional sign and decimal digits, or hexadecimal
// digits after "$", "x", "X", "0x" or "0X"; nothing may follow, the value
// must fit a signed 32-bit integer.
#pragma once

#include "base/String.h"

#include <cstdint>
#include <optional>

namespace Base {

// The value, or nothing when the text is not a valid integer.
std::optional<int32_t> TryStrToInt(StringView text);

// The value; raises EConvertError "''<text>'' is not a valid integer value" otherwise.
int32_t StrToInt(StringView text);

// Decimal text of a value, with a minus sign for negatives.
String IntToStr(int64_t value);

} // namespace Base
