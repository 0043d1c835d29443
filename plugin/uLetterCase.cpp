// Letter case by code point: a surrogate pair is decoded, mapped and encoded
// again; a lone surrogate is no letter and passes as it is.
#include "plugin/uLetterCase.h"

#include "base/Utf16.h"
#include "plugin/uUnicodeTables.h"

namespace Zelvane {

namespace {

// Calls `visit(codePoint)` for each character of `text`; a lone surrogate is given as itself.
template <typename Visit>
void ForEachCodePoint(Base::StringView text, Visit visit)
{
    for (size_t i = 0; i < text.size();) {
        const Base::Utf16Character character = Base::DecodeUtf16At(text, i);
        visit(character.Char);
        i += character.Length;
    }
}

template <typename Map>
String Mapped(Base::StringView text, Map map)
{
    String out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t c) { Base::AppendUtf16(out, map(c)); });
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
    // A word is a run of letters, digits and apostrophes; its first letter or
    // digit is upper case (an apostrophe before it does not count: "'tis").
    bool firstSeen = false; // the current word's first letter or digit
    ForEachCodePoint(text, [&](char32_t c) {
        const bool letterOrDigit = Unicode::IsLetterOrDigit(c);
        if (!letterOrDigit && c != U'\'' && c != U'\u2019') {
            firstSeen = false;
            Base::AppendUtf16(out, c);
        } else if (letterOrDigit && !firstSeen) {
            firstSeen = true;
            Base::AppendUtf16(out, Unicode::UpperOf(c));
        } else {
            Base::AppendUtf16(out, Unicode::LowerOf(c));
        }
    });
    return out;
}

} // namespace Zelvane
