// printf-like formatting over String. A format that does not fit its
// arguments raises EConvertError instead of reading past them.
//
// Supported: %s (String), %d %u %x %X (integers), %% ; flags "-" and "0",
// a width and, for %s, a precision ("%-10.3s").
#pragma once

#include "base/String.h"

#include <cstdint>
#include <initializer_list>
#include <variant>

namespace Base {

class FormatArg {
public:
    FormatArg(const String& text) : Value(text) {}
    FormatArg(StringView text) : Value(String(text)) {}
    FormatArg(const char16_t* text) : Value(String(text ? text : u"")) {}
    FormatArg(int value) : Value(static_cast<int64_t>(value)), Narrow(true) {}
    FormatArg(long value) : Value(static_cast<int64_t>(value)), Narrow(sizeof(long) == 4) {}
    FormatArg(long long value) : Value(static_cast<int64_t>(value)) {}
    FormatArg(unsigned value) : Value(static_cast<int64_t>(value)), Narrow(true) {}
    FormatArg(unsigned long value) : Value(static_cast<int64_t>(value)), Narrow(sizeof(long) == 4) {}
    FormatArg(unsigned long long value) : Value(static_cast<int64_t>(value)) {}

    const std::variant<int64_t, String>& Get() const { return Value; }
    // A 32-bit integer: %u, %x and %X show its 32 bits, as printf does.
    bool Is32Bit() const { return Narrow; }

private:
    std::variant<int64_t, String> Value;
    bool Narrow = false;
};

String Format(StringView format, std::initializer_list<FormatArg> args);

} // namespace Base
