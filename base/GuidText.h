// A GUID as Far writes it in file and key names:
// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", upper case, no braces. For any
// record laid out as Windows' GUID (Data1, Data2, Data3, Data4[8]), so the
// plugin and the stand-in host share it without base/ knowing Far's
// declarations. Header-only; a pure function.
#pragma once

#include <cstdio>
#include <string>

namespace Base {

template <typename Guid>
std::string GuidText(const Guid& guid)
{
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(guid.Data1), static_cast<unsigned>(guid.Data2),
                  static_cast<unsigned>(guid.Data3), guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                  guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

} // namespace Base
