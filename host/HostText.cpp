#include "host/HostText.h"

#include "framework/PosixNames.h"
#include "host/HostError.h"

#include <cstdio>
#include <optional>

namespace Host {

namespace {

constexpr char32_t ReplacementChar = 0xFFFD;

// Decodes one code point at `pos`; returns false (and advances one byte) on
// an invalid, overlong or truncated sequence.
bool DecodeUtf8(std::string_view text, size_t& pos, char32_t& out)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        out = lead;
        ++pos;
        return true;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        ++pos;
        return false;
    }
    if (pos + length > text.size()) {
        ++pos;
        return false;
    }
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return false;
        }
        value = (value << 6) | (next & 0x3F);
    }
    static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++pos;
        return false;
    }
    pos += length;
    out = value;
    return true;
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        char32_t c = 0;
        if (!DecodeUtf8(text, pos, c))
            c = ReplacementChar;
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
        PosixNames::Detail::AppendUtf8(out, c);
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
        char32_t c = 0;
        if (!DecodeUtf8(text, pos, c))
            return false;
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

std::string AsciiLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return AsciiLower(a) == AsciiLower(b);
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
