#include "plugin/uStrings.h"

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
    size_t best = String::npos;
    size_t bestLength = 0;
    for (const auto& separator : separators) {
        if (separator.empty())
            continue;
        const size_t at = text.find(separator);
        if (at != String::npos && (best == String::npos || at < best)) {
            best = at;
            bestLength = separator.size();
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

} // namespace Zelvane
