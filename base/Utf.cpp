#include "base/Utf.h"

#include "base/Utf8Sequence.h"

namespace Base {

String Str(std::string_view utf8)
{
    return FromUtf8(utf8);
}

std::string ToUtf8(StringView text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

String FromUtf8(std::string_view text)
{
    String out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        // A byte that begins no well-formed sequence becomes U+FFFD on its own.
        const Utf8Sequence sequence = DecodeUtf8Sequence(text, i);
        char32_t cp = sequence.Valid ? sequence.Char : 0xFFFD;
        const size_t len = sequence.Valid ? sequence.Length : 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += len;
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        const Utf8Sequence sequence = DecodeUtf8Sequence(bytes, i);
        if (!sequence.Valid)
            return false;
        i += sequence.Length;
    }
    return true;
}

} // namespace Base
