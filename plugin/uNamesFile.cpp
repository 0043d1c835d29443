#include "plugin/uNamesFile.h"

#include "base/Utf16.h"
#include "base/Utf8Sequence.h"

#include <algorithm>

namespace Zelvane {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr char16_t ByteStandInBase = 0xDC00;

bool IsByteStandIn(char16_t c)
{
    return c >= ByteStandInBase + 0x80 && c <= ByteStandInBase + 0xFF;
}

// One line's bytes as text; false when some byte was not UTF-8 text.
bool DecodeLine(std::string_view bytes, String& line)
{
    line.reserve(bytes.size());
    bool utf8 = true;
    for (size_t at = 0; at < bytes.size();) {
        const Base::Utf8Sequence sequence = Base::DecodeUtf8Sequence(bytes, at);
        if (!sequence.Valid) {
            // One byte at a time, so that the bytes after it that do begin a
            // character are read as that character.
            line += static_cast<char16_t>(ByteStandInBase + static_cast<unsigned char>(bytes[at]));
            utf8 = false;
            ++at;
            continue;
        }
        at += sequence.Length;
        Base::AppendUtf16(line, sequence.Char);
    }
    return utf8;
}

// Appends `name` as a line's bytes (without the line break); false when it
// does not fit on a line.
bool AppendLine(Base::StringView name, std::string& out)
{
    const size_t start = out.size();
    bool byteStandIns = false;
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c == u'\r' || c == u'\n')
            return false;
        if (Base::IsHighSurrogate(c)) {
            if (i + 1 >= name.size() || !Base::IsLowSurrogate(name[i + 1]))
                return false;
            Base::AppendUtf8(out, Base::CombineSurrogates(c, name[i + 1]));
            ++i;
        } else if (Base::IsLowSurrogate(c)) {
            if (!IsByteStandIn(c))
                return false;
            out += static_cast<char>(c - ByteStandInBase);
            byteStandIns = true;
        } else {
            Base::AppendUtf8(out, c);
        }
    }
    // Stand-ins of bytes that together are UTF-8 would read back as the
    // character they form. Only a name with stand-ins needs this second look.
    if (!byteStandIns)
        return true;
    String readBack;
    DecodeLine(std::string_view(out).substr(start), readBack);
    return readBack == name;
}

// Where the first CR or LF at or after `start` is; npos when there is none.
// (A plain loop: find_first_of looks each byte up in the set of two.)
size_t LineBreakAt(std::string_view bytes, size_t start)
{
    for (size_t at = start; at < bytes.size(); ++at) {
        if (bytes[at] == '\r' || bytes[at] == '\n')
            return at;
    }
    return std::string_view::npos;
}

} // namespace

TNamesText ReadNamesText(std::string_view bytes)
{
    if (bytes.starts_with(ByteOrderMark))
        bytes.remove_prefix(ByteOrderMark.size());
    TNamesText text;
    text.Lines.reserve(static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = LineBreakAt(bytes, start);
        const size_t stop = end == std::string_view::npos ? bytes.size() : end;
        String line;
        if (!DecodeLine(bytes.substr(start, stop - start), line) && text.FirstLineNotUtf8 == 0)
            text.FirstLineNotUtf8 = text.Lines.size() + 1;
        text.Lines.push_back(std::move(line));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    return text;
}

bool FitsOnALine(Base::StringView name)
{
    std::string bytes;
    return AppendLine(name, bytes);
}

std::optional<std::string> NamesFileBytes(const std::vector<String>& names)
{
    std::string bytes;
    StartNamesFile(bytes);
    for (const String& name : names) {
        if (!AppendNameLine(name, bytes))
            return std::nullopt;
    }
    return bytes;
}

void StartNamesFile(std::string& bytes)
{
    bytes.assign(ByteOrderMark);
}

bool AppendNameLine(Base::StringView name, std::string& bytes)
{
    const size_t start = bytes.size();
    if (!AppendLine(name, bytes)) {
        bytes.resize(start);
        return false;
    }
    bytes += "\r\n";
    return true;
}

} // namespace Zelvane
