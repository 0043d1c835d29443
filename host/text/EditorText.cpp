#include "host/text/EditorText.h"

#include "host/text/HostText.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace Host {

namespace {

constexpr uintptr_t Utf16LeCodePage = 1200;
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16Mark = "\xFF\xFE";

#if defined(_WIN32)
constexpr EditorText::LineEnd PlatformLineEnd = EditorText::LineEnd::CrLf;
#else
constexpr EditorText::LineEnd PlatformLineEnd = EditorText::LineEnd::Lf;
#endif

std::u16string Utf16LeText(std::string_view bytes)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

} // namespace

EditorText::EditorText() : Lines(1), NewLineEnd(PlatformLineEnd) {}

EditorText::EditorText(const std::vector<std::u16string>& lines) : NewLineEnd(LineEnd::Lf)
{
    for (const std::u16string& line : lines)
        Lines.push_back({line, LineEnd::Lf, std::nullopt});
    if (Lines.empty())
        Lines.emplace_back();
    Lines.back().End = LineEnd::None;
}

std::optional<EditorText> EditorText::Load(const std::filesystem::path& file, uintptr_t codePage)
{
    EditorText text;
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return text;
    std::optional<std::string> read = ReadWholeFile(file);
    if (!read)
        return std::nullopt;
    std::string_view bytes(*read);
    text.Utf16 = codePage == Utf16LeCodePage || bytes.starts_with(Utf16Mark);
    const std::string_view mark = text.Utf16 ? Utf16Mark : Utf8Mark;
    if (bytes.starts_with(mark)) {
        text.Mark = mark;
        bytes.remove_prefix(mark.size());
    }
    // Lines are found by code unit: a byte for UTF-8, a pair for UTF-16LE.
    const size_t unit = text.Utf16 ? 2 : 1;
    auto unitAt = [&](size_t i) -> unsigned {
        if (i + unit > bytes.size())
            return 0xFFFF;
        return unit == 1 ? static_cast<unsigned char>(bytes[i])
                         : static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    };
    text.Lines.clear();
    bool endSeen = false;
    size_t start = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned c = unitAt(i);
        if (c != '\r' && c != '\n') {
            i += unit;
            continue;
        }
        LineEnd end = c == '\n' ? LineEnd::Lf : LineEnd::Cr;
        size_t next = i + unit;
        if (c == '\r' && unitAt(next) == '\n') {
            end = LineEnd::CrLf;
            next += unit;
        }
        const std::string_view lineBytes = bytes.substr(start, i - start);
        text.Lines.push_back({text.Utf16 ? Utf16LeText(lineBytes) : Utf8ToUtf16(lineBytes), end,
                              std::string(lineBytes)});
        if (!endSeen) {
            text.NewLineEnd = end;
            endSeen = true;
        }
        start = i = next;
    }
    const std::string_view last = bytes.substr(start);
    text.Lines.push_back({text.Utf16 ? Utf16LeText(last) : Utf8ToUtf16(last), LineEnd::None, std::string(last)});
    return text;
}

void EditorText::Touch(size_t line)
{
    Lines[line].Read.reset();
    Changed = true;
}

void EditorText::Insert(size_t line, size_t at, std::u16string_view text)
{
    Lines[line].Text.insert(at, text);
    Touch(line);
}

void EditorText::Erase(size_t line, size_t at, size_t count)
{
    Lines[line].Text.erase(at, count);
    Touch(line);
}

void EditorText::Split(size_t line, size_t at)
{
    TextLine rest{Lines[line].Text.substr(at), Lines[line].End, std::nullopt};
    Lines[line].Text.resize(at);
    Lines[line].End = NewLineEnd;
    Touch(line);
    Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(line) + 1, std::move(rest));
}

void EditorText::Join(size_t line)
{
    if (line + 1 >= Lines.size())
        return;
    Lines[line].Text += Lines[line + 1].Text;
    Lines[line].End = Lines[line + 1].End;
    Touch(line);
    Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(line) + 1);
}

void EditorText::DeleteLine(size_t line)
{
    if (line + 1 < Lines.size()) {
        Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(line));
        Changed = true;
    } else if (!Lines[line].Text.empty()) {
        Lines[line].Text.clear();
        Touch(line);
    }
}

void EditorText::Replace(std::u16string_view text)
{
    std::vector<TextLine> lines;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const bool atEnd = i == text.size();
        if (!atEnd && text[i] != u'\r' && text[i] != u'\n')
            continue;
        TextLine line{std::u16string(text.substr(start, i - start)), LineEnd::None, std::nullopt};
        const size_t index = lines.size();
        if (!atEnd) {
            line.End = index < Lines.size() && Lines[index].End != LineEnd::None ? Lines[index].End : NewLineEnd;
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        }
        if (index < Lines.size() && Lines[index].Text == line.Text)
            line.Read = Lines[index].Read;
        lines.push_back(std::move(line));
        start = i + 1;
    }
    const std::string before = Bytes();
    Lines = std::move(lines);
    if (Bytes() != before)
        Changed = true;
}

std::string EditorText::Encode(std::u16string_view text) const
{
    if (!Utf16)
        return Utf16ToUtf8(text);
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

std::string EditorText::EncodeEnd(LineEnd end) const
{
    switch (end) {
    case LineEnd::CrLf: return Encode(u"\r\n");
    case LineEnd::Lf: return Encode(u"\n");
    case LineEnd::Cr: return Encode(u"\r");
    case LineEnd::None: break;
    }
    return {};
}

std::string EditorText::Bytes() const
{
    std::string bytes = Mark;
    for (const TextLine& line : Lines)
        bytes += (line.Read ? *line.Read : Encode(line.Text)) + EncodeEnd(line.End);
    return bytes;
}

std::optional<std::string> EditorText::Save(const std::filesystem::path& file)
{
    const std::string bytes = Bytes();
    errno = 0;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out)
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out)
        out.close();
    if (!out)
        return std::string(errno != 0 ? std::strerror(errno) : "the file cannot be written");
    Changed = false;
    return std::nullopt;
}

} // namespace Host
