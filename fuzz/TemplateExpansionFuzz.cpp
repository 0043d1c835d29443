// Template expansion: any template, file name and starting number. The
// result of a template without '%' is the template itself; nothing raises
// but a starting number that names no counter value.
#include "FuzzSupport.h"

#include "base/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view rest = Fuzz::Bytes(data, size);
    const Base::String pattern = Fuzz::Units(Fuzz::TakePiece(rest));
    const Base::String fileName = Fuzz::Units(Fuzz::TakePiece(rest));
    const Base::String start = Base::FromUtf8(Fuzz::TakePiece(rest));

    Zelvane::TPlugin& plugin = Fuzz::Plugin();
    Zelvane::TOptions& options = plugin.GetOptions();
    options.SetFileNameTemplate(pattern);
    options.SetStartingNumber(start.substr(0, 12));
    int32_t counter = 0;
    try {
        counter = options.StartingNumberValue();
    } catch (const Base::EConvertError&) {
        return 0;
    }
    const Base::String result = plugin.ExpandTemplate(fileName, counter, static_cast<int32_t>(size));
    if (pattern.find(u'%') == Base::String::npos)
        Fuzz::Require(result == pattern);
    return 0;
}
