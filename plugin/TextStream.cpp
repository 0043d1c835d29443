#include "plugin/TextStream.h"

#include "base/Exception.h"
#include "platform/Platform.h"
#include "plugin/FileStream.h"
#include "plugin/uStrings.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace Zelvane {

namespace {

constexpr int64_t SampleSize = 16384;
// More than this many 00 bytes on one side (and a hundred times those on
// the other) mark UTF-16 without a byte-order mark.
constexpr int ZeroThreshold = 30;

std::string Utf16Bytes(const String& text, bool bigEndian)
{
    std::string bytes(text.size() * 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const auto low = static_cast<char>(text[i] & 0xFF);
        const auto high = static_cast<char>(text[i] >> 8);
        bytes[2 * i] = bigEndian ? high : low;
        bytes[2 * i + 1] = bigEndian ? low : high;
    }
    return bytes;
}

std::string AnsiBytes(const String& text)
{
    if (text.size() > INT_MAX)
        throw EStringError();
    return WideToMultiByte(Platform::CodePage::Ansi, text.data(), static_cast<int>(text.size()));
}

} // namespace

TTextStream::TTextStream(TCreateKey key, const String& fileName, uint16_t mode)
    : TBufferedStream(key, std::make_unique<TFileStream>(fileName, mode), DefaultBufferSize)
{
}

void TTextStream::AfterOpen()
{
    DefaultEncoding = TEncoding::Utf8;
    Encoding = TEncoding::None;
    BigEndian = false;
    LineBreak = u"\r\n";
    if (GetSize() != 0)
        DetectEncoding();
}

void TTextStream::SetEncoding(TEncoding encoding)
{
    if (GetPosition() == 0) {
        if (encoding == TEncoding::Utf16) {
            static const uint8_t mark[] = {0xFF, 0xFE};
            WriteBuffer(mark, sizeof mark);
            BigEndian = false;
        } else if (encoding == TEncoding::Utf8) {
            static const uint8_t mark[] = {0xEF, 0xBB, 0xBF};
            WriteBuffer(mark, sizeof mark);
        }
    }
    Encoding = encoding;
}

void TTextStream::WriteString(const String& text)
{
    if (text.empty())
        return;
    if (Encoding == TEncoding::None)
        SetEncoding(DefaultEncoding);
    std::string bytes;
    switch (Encoding) {
    case TEncoding::Ansi: bytes = AnsiBytes(text); break;
    case TEncoding::Oem: bytes = AnsiToOem(AnsiBytes(text)); break;
    // A file detected as big-endian goes on in its own byte order.
    case TEncoding::Utf16: bytes = Utf16Bytes(text, BigEndian); break;
    case TEncoding::Utf8: bytes = WideToUtf8(text); break;
    default: throw Base::EWriteError(u"Invalid encoding");
    }
    WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TTextStream::WriteLine(const String& text)
{
    WriteString(text);
    WriteString(LineBreak);
}

void TTextStream::DetectEncoding()
{
    Encoding = TEncoding::Ansi;
    BigEndian = false;
    SetPosition(DetectFrom(GetPosition()));
}

int64_t TTextStream::DetectFrom(int64_t from)
{
    const int64_t size = GetSize();
    if (size <= 1)
        return from;
    uint8_t mark[3] = {};
    if (size % 2 == 0) {
        SetPosition(0);
        if (Read(mark, 2) == 2) {
            if (mark[0] == 0xFF && mark[1] == 0xFE) {
                Encoding = TEncoding::Utf16;
                return 2;
            }
            if (mark[0] == 0xFE && mark[1] == 0xFF) {
                Encoding = TEncoding::Utf16;
                BigEndian = true;
                return 2;
            }
        }
    }
    if (size >= 3) {
        SetPosition(0);
        if (Read(mark, 3) == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
            Encoding = TEncoding::Utf8;
            return 3;
        }
    }

    SetPosition(0);
    std::vector<uint8_t> sample(static_cast<size_t>(std::min(SampleSize, size)));
    const int32_t got = Read(sample.data(), static_cast<int32_t>(sample.size()));
    sample.resize(static_cast<size_t>(std::max(got, 0)));

    if (std::all_of(sample.begin(), sample.end(), [](uint8_t b) { return b >= 0x01 && b <= 0x7F; }))
        return from;

    int64_t zerosEven = 0;
    int64_t zerosOdd = 0;
    for (size_t i = 0; i < sample.size(); ++i) {
        if (sample[i] == 0)
            ++(i % 2 == 0 ? zerosEven : zerosOdd);
    }
    if (zerosOdd > ZeroThreshold && zerosOdd > 100 * zerosEven) {
        Encoding = TEncoding::Utf16;
        return from;
    }
    if (zerosEven > ZeroThreshold && zerosEven > 100 * zerosOdd) {
        Encoding = TEncoding::Utf16;
        BigEndian = true;
        return from;
    }

    // A sample may end inside a multi-byte sequence: the trailing run of
    // bytes 80 and above is left out of the UTF-8 check.
    size_t kept = sample.size();
    while (kept > 0 && sample[kept - 1] >= 0x80)
        --kept;
    if (kept > 0 && Platform::MultiByteToWideChar(Platform::CodePage::Utf8,
                                                  Platform::MultiByteFlag::ErrorInvalidChars,
                                                  reinterpret_cast<const char*>(sample.data()),
                                                  static_cast<int>(kept), nullptr, 0) != 0)
        Encoding = TEncoding::Utf8;
    return from;
}

} // namespace Zelvane
