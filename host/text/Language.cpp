#include "host/text/Language.h"

#include "base/Ascii.h"
#include "host/text/HostText.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace Host {

namespace {

// Code page 437, bytes 0x80..0xFF.
constexpr char16_t Oem437High[129] =
    u"ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"
    u"└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0";

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto first = static_cast<unsigned char>(bytes[i]);
        auto second = static_cast<unsigned char>(bytes[i + 1]);
        out += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return out;
}

// The text of a message line: what follows the opening quote, without a
// closing quote, with Far's escapes replaced.
std::u16string MessageText(std::u16string_view line)
{
    std::u16string_view body = line.substr(1);
    if (!body.empty() && body.back() == u'"')
        body.remove_suffix(1);
    std::u16string out;
    for (size_t i = 0; i < body.size(); ++i) {
        char16_t c = body[i];
        bool hasNext = i + 1 < body.size();
        if (c == u'\\' && hasNext) {
            char16_t next = body[i + 1];
            char16_t replacement = 0;
            switch (next) {
            case u'\\': replacement = u'\\'; break;
            case u'"': replacement = u'"'; break;
            case u'n': replacement = u'\n'; break;
            case u'r': replacement = u'\r'; break;
            case u't': replacement = u'\t'; break;
            case u'b': replacement = u'\b'; break;
            default: break;
            }
            if (replacement) {
                out += replacement;
                ++i;
                continue;
            }
            out += c;
            out += next;
            ++i;
            continue;
        }
        if (c == u'"' && hasNext && body[i + 1] == u'"') {
            out += u'"';
            ++i;
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

std::u16string DecodeLanguageText(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return Utf8ToUtf16(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE"))
        return DecodeUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return DecodeUtf16(bytes.substr(2), true);
    if (IsValidUtf8(bytes))
        return Utf8ToUtf16(bytes);
    std::u16string out;
    for (char byte : bytes) {
        auto b = static_cast<unsigned char>(byte);
        out += b < 0x80 ? static_cast<char16_t>(b) : Oem437High[b - 0x80];
    }
    return out;
}

std::optional<LanguageFile> ParseLanguageFile(std::string_view bytes)
{
    std::u16string text = DecodeLanguageText(bytes);
    LanguageFile file;
    bool hasHeader = false;
    for (std::u16string_view rawLine : SplitLines(text)) {
        std::u16string_view line = TrimBlanks(rawLine);
        if (line.empty())
            continue;
        if (line.front() == u'"') {
            if (!hasHeader)
                return std::nullopt;
            file.Messages.push_back(MessageText(line));
            continue;
        }
        if (hasHeader)
            continue;
        if (auto value = HeaderValue(line, u".language")) {
            std::u16string_view header = *value;
            size_t comma = header.find(u',');
            file.Name = TrimBlanks(header.substr(0, comma));
            if (comma != std::u16string_view::npos)
                file.Description = TrimBlanks(header.substr(comma + 1));
            hasHeader = true;
        }
    }
    if (!hasHeader)
        return std::nullopt;
    return file;
}

std::optional<LanguageFile> ChooseLanguageFile(const std::filesystem::path& folder, std::u16string_view language)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::error_code typeError;
        if (entry.is_regular_file(typeError) && Base::EqualsIgnoringAsciiCase<char>(entry.path().extension().string(), ".lng"))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());

    std::optional<LanguageFile> english;
    std::optional<LanguageFile> last;
    for (const auto& path : files) {
        auto bytes = ReadWholeFile(path);
        std::optional<LanguageFile> parsed = bytes ? ParseLanguageFile(*bytes) : std::nullopt;
        if (parsed && Base::EqualsIgnoringAsciiCase<char16_t>(parsed->Name, language))
            return parsed;
        if (parsed && !english && Base::EqualsIgnoringAsciiCase<char16_t>(parsed->Name, u"english"))
            english = parsed;
        last = std::move(parsed);
    }
    return english ? english : last;
}

Language::Language(std::filesystem::path folder, std::u16string language)
    : Folder(std::move(folder)), Name(std::move(language))
{
}

Language::Lookup Language::Message(intptr_t id)
{
    if (!File)
        File = ChooseLanguageFile(Folder, Name);
    if (!File)
        return {Status::NoFile, u""};
    if (id < 0 || static_cast<size_t>(id) >= File->Messages.size())
        return {Status::OutOfRange, u""};
    return {Status::Found, File->Messages[static_cast<size_t>(id)].c_str()};
}

} // namespace Host
