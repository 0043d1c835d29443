#include "host/text/HostText.h"

#include "base/Ascii.h"
#include "base/PosixNames.h"
#include "base/GuidText.h"
#include "base/Utf16.h"
#include "host/app/HostError.h"

#include <fstream>
#include <iterator>
#include <optional>

namespace Host {

std::u16string Utf8ToUtf16(std::string_view text)
{
    return Base::Utf8ToUtf16(text);
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    return Base::Utf16ToUtf8(text);
}

std::u16string_view PluginText(const char16_t* text)
{
    return text ? std::u16string_view(text) : std::u16string_view();
}

bool IsValidUtf8(std::string_view text)
{
    return Base::IsWellFormedUtf8(text);
}

std::u16string PathToUtf16(const std::filesystem::path& path)
{
#if defined(_WIN32)
    const std::wstring& native = path.native();
    return std::u16string(native.begin(), native.end());
#else
    return PosixNames::ToUtf16(path.native());
#endif
}

std::filesystem::path PathFromUtf16(std::u16string_view text)
{
#if defined(_WIN32)
    return std::filesystem::path(std::wstring(text.begin(), text.end()));
#else
    const std::optional<std::string> bytes = PosixNames::FromUtf16(text);
    if (!bytes)
        throw HostError("No file name shows as \"" + Utf16ToUtf8(text) + "\"");
    return std::filesystem::path(*bytes);
#endif
}

std::u16string_view TrimBlanks(std::u16string_view text)
{
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text)
{
    std::vector<std::u16string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\n' || text[i] == u'\r') {
            lines.push_back(text.substr(start, i - start));
            if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    return lines;
}

std::optional<std::u16string_view> HeaderValue(std::u16string_view line, std::u16string_view key)
{
    if (line.size() <= key.size() || !Base::EqualsIgnoringAsciiCase(line.substr(0, key.size()), key))
        return std::nullopt;
    const std::u16string_view rest = TrimBlanks(line.substr(key.size()));
    if (rest.empty() || rest.front() != u'=')
        return std::nullopt;
    return TrimBlanks(rest.substr(1));
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string GuidText(const Far3::GUID& guid)
{
    return Base::GuidText(guid);
}

bool IsNullGuid(const Far3::GUID& guid)
{
    return guid == Far3::GUID{};
}

} // namespace Host
