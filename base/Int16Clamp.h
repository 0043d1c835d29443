// The nearest 16-bit value to an integer: what the dialog records' 16-bit
// coordinates (Far's SMALL_RECT and COORD) hold of a position or size
// computed in a wider type. Header-only and standard library only, so the
// framework and the stand-in host share it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace Base {

constexpr int16_t ClampToInt16(int64_t value)
{
    return static_cast<int16_t>(std::clamp<int64_t>(value, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

} // namespace Base
