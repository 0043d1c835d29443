#include "base/IntConvert.h"

#include "base/Exception.h"

namespace Base {

namespace {

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

} // namespace

std::optional<int32_t> TryStrToInt(StringView text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    if (i >= text.size())
        return std::nullopt;

    bool hex = false;
    if (text[i] == u'$' || text[i] == u'x' || text[i] == u'X') {
        hex = true;
        ++i;
    } else if (text[i] == u'0' && i + 1 < text.size() && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
        if (i == text.size())
            return 0; // "0x" alone reads as the zero before the x
    }

    if (hex) {
        if (i >= text.size())
            return std::nullopt;
        int64_t value = 0;
        for (; i < text.size(); ++i) {
            const int d = HexDigit(text[i]);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + d;
            if (value > INT32_MAX)
                return std::nullopt;
        }
        return static_cast<int32_t>(value);
    }

    bool negative = false;
    if (text[i] == u'+' || text[i] == u'-') {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        value = value * 10 + (text[i] - u'0');
        if (value > static_cast<int64_t>(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

int32_t StrToInt(StringView text)
{
    if (auto value = TryStrToInt(text))
        return *value;
    throw EConvertError(u"''" + String(text) + u"'' is not a valid integer value");
}

String IntToStr(int64_t value)
{
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    String out;
    do {
        out.insert(out.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        out.insert(out.begin(), u'-');
    return out;
}

} // namespace Base
