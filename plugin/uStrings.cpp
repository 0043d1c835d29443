#include "plugin/uStrings.h"

#include "framework/FarModule.h"
#include "platform/Platform.h"

#include <climits>

namespace Zelvane {

namespace {

String Trimmed(const String& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && text[first] <= 32)
        ++first;
    while (last > first && text[last - 1] <= 32)
        --last;
    return text.substr(first, last - first);
}

} // namespace

bool SplitFirst(String& text, const std::vector<String>& separators, String& part, bool trim)
{
    part.clear();
    if (text.empty())
        return false;
    // The earliest start wins; at one start the separator listed first wins.
    // Scanning forward and stopping at the first match makes the search cost
    // only the piece taken off, not the whole rest of a long text.
    size_t best = String::npos;
    size_t bestLength = 0;
    for (size_t at = 0; at < text.size() && best == String::npos; ++at) {
        for (const auto& separator : separators) {
            if (!separator.empty() && text.compare(at, separator.size(), separator) == 0) {
                best = at;
                bestLength = separator.size();
                break;
            }
        }
    }
    if (best == String::npos) {
        part = std::move(text);
        text.clear();
    } else {
        part = text.substr(0, best);
        text.erase(0, best + bestLength);
    }
    if (trim)
        part = Trimmed(part);
    return true;
}

bool SplitFirst(String& text, const String& separator, String& part, bool trim)
{
    return SplitFirst(text, std::vector<String>{separator}, part, trim);
}

bool ExtractLine(String& text, String& line, bool trim)
{
    static const std::vector<String> lineBreaks{u"\r\n", u"\r", u"\n"};
    return SplitFirst(text, lineBreaks, line, trim);
}

EStringError::EStringError() : Base::Exception(u"Conversion failed.")
{
}

std::string AnsiToOem(const char* ansi, int length)
{
    if (length <= 0)
        return {};
    std::string oem(static_cast<size_t>(length), '\0');
    if (!Platform::CharToOemBuffA(ansi, oem.data(), static_cast<Platform::DWORD>(length)))
        throw EStringError();
    return oem;
}

std::string AnsiToOem(const std::string& ansi)
{
    if (ansi.size() > INT_MAX)
        throw EStringError();
    return AnsiToOem(ansi.data(), static_cast<int>(ansi.size()));
}

std::string WideToMultiByte(uint32_t codePage, const char16_t* wide, int count)
{
    if (count <= 0)
        return {};
    // The worst case of the code page: three bytes per UTF-16 unit for UTF-8
    // (a surrogate pair needs four for two units), two for the double-byte
    // ANSI code pages, four for GB 18030.
    const size_t perUnit = codePage == Platform::CodePage::Utf8 ? 3 : 4;
    const size_t capacity = static_cast<size_t>(count) * perUnit;
    if (capacity > INT_MAX)
        throw EStringError();
    std::string bytes(capacity, '\0');
    const int length = Platform::WideCharToMultiByte(codePage, 0, wide, count, bytes.data(),
                                                     static_cast<int>(capacity), nullptr, nullptr);
    if (length <= 0)
        throw EStringError();
    bytes.resize(static_cast<size_t>(length));
    return bytes;
}

std::string WideToUtf8(const String& text)
{
    if (text.size() > INT_MAX)
        throw EStringError();
    return WideToMultiByte(Platform::CodePage::Utf8, text.data(), static_cast<int>(text.size()));
}

String MessageText(TMessage id)
{
    if (id == TMessage::None)
        return {};
    return Tessel::TFarModule::GetMsg(static_cast<uint8_t>(id));
}

String FolderWithSeparator(String folder, Base::StringView separators)
{
    if (!folder.empty() && separators.find(folder.back()) == Base::StringView::npos)
        folder += u'\\';
    return folder;
}

String QuotedName(const String& name)
{
    String text;
    AppendQuotedName(text, name);
    return text;
}

void AppendQuotedName(String& text, Base::StringView name)
{
    // The name goes over in pieces, each up to and with a quote, which is doubled.
    text += u'"';
    for (size_t from = 0; from < name.size();) {
        const size_t quote = name.find(u'"', from);
        if (quote == Base::StringView::npos) {
            text += name.substr(from);
            break;
        }
        text += name.substr(from, quote + 1 - from);
        text += u'"';
        from = quote + 1;
    }
    text += u'"';
}

} // namespace Zelvane
