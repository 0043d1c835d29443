#include "base/Format.h"

#include "base/Exception.h"

namespace Base {

namespace {

[[noreturn]] void BadFormat(StringView format)
{
    throw EConvertError(u"Format '" + String(format) + u"' invalid or incompatible with argument");
}

String Digits(uint64_t value, unsigned base, bool upper)
{
    const char16_t* digits = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
    String out;
    do {
        out.insert(out.begin(), digits[value % base]);
        value /= base;
    } while (value != 0);
    return out;
}

} // namespace

String Format(StringView format, std::initializer_list<FormatArg> args)
{
    String out;
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (++i >= format.size())
            BadFormat(format);
        if (format[i] == u'%') {
            out += u'%';
            continue;
        }
        bool left = false;
        bool zero = false;
        for (; i < format.size() && (format[i] == u'-' || format[i] == u'0'); ++i)
            (format[i] == u'-' ? left : zero) = true;
        size_t width = 0;
        for (; i < format.size() && format[i] >= u'0' && format[i] <= u'9'; ++i)
            width = width * 10 + (format[i] - u'0');
        bool hasPrecision = false;
        size_t precision = 0;
        if (i < format.size() && format[i] == u'.') {
            hasPrecision = true;
            for (++i; i < format.size() && format[i] >= u'0' && format[i] <= u'9'; ++i)
                precision = precision * 10 + (format[i] - u'0');
        }
        if (i >= format.size() || next == args.end())
            BadFormat(format);
        const auto& value = next->Get();
        const bool narrow = next->Is32Bit();
        ++next;
        String piece;
        switch (format[i]) {
        case u's':
            if (!std::holds_alternative<String>(value))
                BadFormat(format);
            piece = std::get<String>(value);
            if (hasPrecision && piece.size() > precision)
                piece.resize(precision);
            break;
        case u'd':
        case u'u':
        case u'x':
        case u'X': {
            if (!std::holds_alternative<int64_t>(value))
                BadFormat(format);
            const int64_t n = std::get<int64_t>(value);
            if (format[i] == u'd') {
                if (n < 0)
                    piece = u"-";
                piece += Digits(n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n), 10, false);
            } else {
                const uint64_t bits = narrow ? static_cast<uint32_t>(n) : static_cast<uint64_t>(n);
                piece = Digits(bits, format[i] == u'u' ? 10 : 16, format[i] == u'X');
            }
            break;
        }
        default:
            BadFormat(format);
        }
        if (piece.size() < width) {
            const size_t fill = width - piece.size();
            if (left)
                piece.append(fill, u' ');
            else if (zero && format[i] != u's')
                piece.insert(piece[0] == u'-' ? 1 : 0, fill, u'0');
            else
                piece.insert(0, fill, u' ');
        }
        out += piece;
    }
    return out;
}

} // namespace Base
