// Letter case by code point: a surrogate pair is decoded, mapped and encoded
// again; a lone surrogate is no letter and passes as it is.
#include "plugin/uLetterCase.h"

#include "plugin/uUnicodeTables.h"

namespace Zelvane {

namespace {

bool IsLeadUnit(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsTrailUnit(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Calls `visit(codePoint)` for each character of `text`; a lone surrogate is given as itself.
template <typename Visit>
void ForEachCodePoint(Base::StringView text, Visit visit)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsLeadUnit(unit) && i + 1 < text.size() && IsTrailUnit(text[i + 1])) {
            visit(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00));
            ++i;
        } else {
            visit(char32_t{unit});
        }
    }
}

void Append(String& out, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
    } else {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    }
}

template <typename Map>
String Mapped(Base::StringView text, Map map)
{
    String out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t c) { Append(out, map(c)); });
    return out;
}

} // namespace

String UpperCase(Base::StringView text)
{
    return Mapped(text, Unicode::UpperOf);
}

String LowerCase(Base::StringView text)
{
    return Mapped(text, Unicode::LowerOf);
}

String TitleCase(Base::StringView text)
{
    String out;
    out.reserve(text.size());
    bool inWord = false;
    ForEachCodePoint(text, [&](char32_t c) {
        Append(out, inWord ? Unicode::LowerOf(c) : Unicode::UpperOf(c));
        inWord = Unicode::IsLetterOrDigit(c) || c == U'\'' || c == U'\u2019';
    });
    return out;
}

} // namespace Zelvane
