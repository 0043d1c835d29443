// Template expansion: any template, file name, starting number, folder, file
// time and photo bytes. The template's text and the file name are UTF-16
// units, each ended by a 0 unit; the starting number is bytes ended by a 0
// byte; then the folder (units, ended by a 0 unit), 8 bytes of a file time,
// and the rest is the head of the file the date taken is read from.
// Nothing raises but a starting number that names no counter value; a
// template without '%' gives itself; a template without "%{" reads nothing
// of the file but its name.
#include "FuzzSupport.h"

#include "base/Exception.h"
#include "plugin/uDateTaken.h"
#include "plugin/uTemplate.h"

#include <cstring>

namespace {

// Cuts the next piece of UTF-16 units off `rest` at a 0 unit (all of it when there is none).
Base::String TakeUnits(std::string_view& rest)
{
    size_t end = 0;
    while (end + 1 < rest.size() && (rest[end] != '\0' || rest[end + 1] != '\0'))
        end += 2;
    const Base::String units = Fuzz::Units(rest.substr(0, end));
    rest = end + 1 < rest.size() ? rest.substr(end + 2) : std::string_view();
    return units;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view rest = Fuzz::Bytes(data, size);
    const Base::String pattern = TakeUnits(rest);
    const Base::String fileName = TakeUnits(rest);
    const Base::String start = Base::FromUtf8(Fuzz::TakePiece(rest));
    const Base::String folder = TakeUnits(rest);
    uint64_t ticks = 0;
    if (rest.size() >= sizeof ticks) {
        std::memcpy(&ticks, rest.data(), sizeof ticks);
        rest.remove_prefix(sizeof ticks);
    }

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
    const auto total = static_cast<int32_t>(size);
    const Base::String result = plugin.ExpandTemplate(fileName, counter, total);
    if (pattern.find(u'%') == Base::String::npos)
        Fuzz::Require(result == pattern);

    Zelvane::TTemplateError error;
    const std::optional<Zelvane::TTemplate> compiled =
        Zelvane::TTemplate::Compile(pattern, options.StartingNumberWidth(), error);
    if (!compiled) {
        Fuzz::Require(pattern.find(u"%{") != Base::String::npos && result.empty());
        return 0;
    }
    Zelvane::TTemplateFile file;
    file.Name = fileName;
    file.FolderName = folder;
    file.Modified = ticks;
    file.Created = ~ticks;
    file.Taken = Zelvane::ParseDateTaken(std::span(reinterpret_cast<const unsigned char*>(rest.data()), rest.size()));
    Base::String full;
    const Zelvane::TExpansionGap gap = compiled->Expand(file, counter, total, full);
    if (pattern.find(u"%{") == Base::String::npos)
        Fuzz::Require(full == result && gap == Zelvane::TExpansionGap::None);
    return 0;
}
