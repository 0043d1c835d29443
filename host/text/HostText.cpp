#include "host/text/HostText.h"

#include "base/Ascii.h"
#include "base/PosixNames.h"
#include "base/Utf8Sequence.h"
#include "host/app/HostError.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

namespace Host {

namespace {

constexpr char32_t ReplacementChar = 0xFFFD;

} // namespace

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        // A byte that begins no well-formed sequence becomes U+FFFD on its own.
        const Base::Utf8Sequence sequence = Base::DecodeUtf8Sequence(text, pos);
        char32_t c = sequence.Valid ? sequence.Char : ReplacementChar;
        pos += sequence.Valid ? sequence.Length : 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = ReplacementChar;
        }
        Base::AppendUtf8(out, c);
    }
    return out;
}

std::u16string_view PluginText(const char16_t* text)
{
    return text ? std::u16string_view(text) : std::u16string_view();
}

bool IsValidUtf8(std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size()) {
        const Base::Utf8Sequence sequence = Base::DecodeUtf8Sequence(text, pos);
        if (!sequence.Valid)
            return false;
        pos += sequence.Length;
    }
    return true;
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
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return buffer;
}

bool IsNullGuid(const Far3::GUID& guid)
{
    return guid == Far3::GUID{};
}

} // namespace Host
