// Code-page conversions for the POSIX build: ANSI is Windows-1252 and OEM is
// code page 437, both through glibc's iconv; characters a code page cannot
// hold become '?' (or the caller's default character). UTF-8 is converted
// by our own code, with Windows' strict check on request.
#include "platform/posix/PosixSupport.h"

#include "base/Utf.h"
#include "base/Utf16.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace Platform {

using namespace Posix;
using Base::String;

namespace {

std::string IconvName(UINT codePage)
{
    switch (codePage) {
    case CodePage::Ansi: return "CP1252";
    case CodePage::Oem: return "CP437";
    default: return "CP" + std::to_string(codePage);
    }
}

class TConverter {
public:
    TConverter(const std::string& to, const std::string& from) : Handle(::iconv_open(to.c_str(), from.c_str())) {}
    ~TConverter()
    {
        if (IsOpen())
            ::iconv_close(Handle);
    }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;

    bool IsOpen() const { return Handle != reinterpret_cast<iconv_t>(-1); }

    // Converts `in` onwards; stops at the end or at a byte sequence it
    // cannot convert. Returns 0, or EILSEQ/EINVAL with `at` on the offender.
    int Convert(const std::string& in, size_t& at, std::string& out)
    {
        while (at < in.size()) {
            char buffer[1024];
            char* input = const_cast<char*>(in.data() + at);
            size_t inputLeft = in.size() - at;
            char* output = buffer;
            size_t outputLeft = sizeof buffer;
            const size_t result = ::iconv(Handle, &input, &inputLeft, &output, &outputLeft);
            const int error = errno;
            at = in.size() - inputLeft;
            out.append(buffer, static_cast<size_t>(output - buffer));
            if (result == static_cast<size_t>(-1) && error != E2BIG)
                return error;
        }
        return 0;
    }

private:
    iconv_t Handle;
};

std::string LittleEndianBytes(const char16_t* wide, size_t count)
{
    std::string bytes(count * 2, '\0');
    for (size_t i = 0; i < count; ++i) {
        bytes[2 * i] = static_cast<char>(wide[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(wide[i] >> 8);
    }
    return bytes;
}

// UTF-16 to a code page; false when the code page is unknown.
bool Encode(UINT codePage, const char16_t* wide, size_t count, char fallback, std::string& out, bool& usedFallback)
{
    TConverter converter(IconvName(codePage), "UTF-16LE");
    if (!converter.IsOpen())
        return false;
    const std::string in = LittleEndianBytes(wide, count);
    size_t at = 0;
    while (converter.Convert(in, at, out) != 0) {
        // One character the code page lacks: a unit, or a whole surrogate pair.
        const size_t unit = at / 2;
        const bool pair =
            unit + 1 < count && Base::IsHighSurrogate(wide[unit]) && Base::IsLowSurrogate(wide[unit + 1]);
        out += fallback;
        usedFallback = true;
        at += pair ? 4 : 2;
    }
    return true;
}

// A code page to UTF-16; false when the code page is unknown or, when
// `strict`, a byte has no meaning in it. Otherwise such a byte stands for
// the code point of its own value, as Windows does for 1252's unused bytes.
bool Decode(UINT codePage, const char* bytes, size_t count, bool strict, String& out)
{
    TConverter converter("UTF-16LE", IconvName(codePage));
    if (!converter.IsOpen())
        return false;
    const std::string in(bytes, count);
    std::string utf16;
    size_t at = 0;
    while (converter.Convert(in, at, utf16) != 0) {
        if (strict)
            return false;
        const auto value = static_cast<unsigned char>(in[at]);
        utf16 += static_cast<char>(value);
        utf16 += '\0';
        ++at;
    }
    out.resize(utf16.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(utf16[2 * i]) |
                                       (static_cast<unsigned char>(utf16[2 * i + 1]) << 8));
    }
    return true;
}

template <class Unit>
int HandOver(const std::basic_string<Unit>& result, Unit* buffer, int size)
{
    if (size == 0)
        return static_cast<int>(result.size());
    if (result.size() > static_cast<size_t>(size)) {
        Posix::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, result.data(), result.size() * sizeof(Unit));
    return static_cast<int>(result.size());
}

} // namespace

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, const char16_t* wide, int wideCount, char* multiByte,
                        int multiByteSize, const char* defaultChar, BOOL* usedDefaultChar)
{
    if (wide == nullptr || wideCount == 0 || multiByteSize < 0 || (multiByteSize > 0 && multiByte == nullptr)) {
        Posix::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t count = wideCount < 0 ? std::char_traits<char16_t>::length(wide) + 1 : static_cast<size_t>(wideCount);
    std::string bytes;
    if (codePage == CodePage::Utf8) {
        if (defaultChar != nullptr || usedDefaultChar != nullptr) {
            Posix::SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        bytes = Base::ToUtf8(Base::StringView(wide, count));
    } else {
        bool usedFallback = false;
        if (!Encode(codePage, wide, count, defaultChar != nullptr ? *defaultChar : '?', bytes, usedFallback)) {
            Posix::SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (usedDefaultChar != nullptr)
            *usedDefaultChar = usedFallback ? 1 : 0;
    }
    return HandOver(bytes, multiByte, multiByteSize);
}

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* multiByte, int multiByteCount, char16_t* wide,
                        int wideSize)
{
    if (multiByte == nullptr || multiByteCount == 0 || wideSize < 0 || (wideSize > 0 && wide == nullptr)) {
        Posix::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t count = multiByteCount < 0 ? std::strlen(multiByte) + 1 : static_cast<size_t>(multiByteCount);
    const bool strict = (flags & MultiByteFlag::ErrorInvalidChars) != 0;
    String text;
    if (codePage == CodePage::Utf8) {
        const std::string_view bytes(multiByte, count);
        if (strict && !Base::IsValidUtf8(bytes)) {
            Posix::SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        text = Base::FromUtf8(bytes);
    } else if (!Decode(codePage, multiByte, count, strict, text)) {
        Posix::SetLastError(strict ? ERROR_NO_UNICODE_TRANSLATION : ERROR_INVALID_PARAMETER);
        return 0;
    }
    return HandOver(text, wide, wideSize);
}

BOOL CharToOemBuffA(const char* source, char* destination, DWORD length)
{
    if (source == nullptr || destination == nullptr) {
        Posix::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (length == 0)
        return 1;
    String text;
    std::string oem;
    bool usedFallback = false;
    if (!Decode(CodePage::Ansi, source, length, false, text) ||
        !Encode(CodePage::Oem, text.data(), text.size(), '?', oem, usedFallback)) {
        Posix::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // Both code pages hold one character per byte, so the lengths agree.
    oem.resize(length, '?');
    std::memcpy(destination, oem.data(), length);
    return 1;
}

} // namespace Platform
