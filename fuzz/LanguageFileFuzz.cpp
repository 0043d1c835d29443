// The host's .lng parser: any bytes decode and parse without a crash.
#include "host/text/Language.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Host::DecodeLanguageText(bytes);
    Host::ParseLanguageFile(bytes);
    return 0;
}
