// The EXIF reader: a TIFF structure (inside a JPEG's APP1 segment, or from
// byte 0 of a TIFF or TIFF-based raw file), IFD0, its Exif sub-IFD, and the
// one tag DateTimeOriginal in it. Every read goes through TBytes, which
// refuses anything outside the bytes it was given.
#include "plugin/uDateTaken.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace Zelvane {

namespace {

constexpr uint16_t ExifIfdPointerTag = 0x8769;
constexpr uint16_t DateTimeOriginalTag = 0x9003;
constexpr uint16_t AsciiType = 2;
constexpr uint16_t LongType = 4;
constexpr uint16_t IfdType = 13;
// What ReadDateTaken reads first; the rest of DateTakenReadLimit only when needed.
constexpr size_t EarlyReadSize = 64 * 1024;
// More entries than any camera writes into one IFD; a larger count is damage.
constexpr uint32_t MaxIfdEntries = 1024;

// A window on the bytes with checked reads in the structure's byte order.
class TBytes {
public:
    TBytes(std::span<const unsigned char> bytes, bool bigEndian)
        : Bytes(bytes)
        , BigEndian(bigEndian)
    {
    }

    bool Holds(uint64_t offset, uint64_t length) const
    {
        return offset <= Bytes.size() && length <= Bytes.size() - offset;
    }
    std::optional<uint16_t> U16(uint64_t offset) const
    {
        if (!Holds(offset, 2))
            return std::nullopt;
        const unsigned a = Bytes[offset], b = Bytes[offset + 1];
        return static_cast<uint16_t>(BigEndian ? (a << 8 | b) : (b << 8 | a));
    }
    std::optional<uint32_t> U32(uint64_t offset) const
    {
        const std::optional<uint16_t> first = U16(offset), second = U16(offset + 2);
        if (!first || !second)
            return std::nullopt;
        return BigEndian ? (uint32_t{*first} << 16 | *second) : (uint32_t{*second} << 16 | *first);
    }
    std::span<const unsigned char> Slice(uint64_t offset, uint64_t length) const
    {
        return Bytes.subspan(static_cast<size_t>(offset), static_cast<size_t>(length));
    }

private:
    std::span<const unsigned char> Bytes;
    bool BigEndian;
};

struct TEntry {
    uint16_t Type = 0;
    uint32_t Count = 0;
    uint64_t ValueOffset = 0; // where the value is: in the entry itself when it fits, else where it points
};

// The entry with `tag` in the IFD at `offset`, or nothing (absent, or the IFD is damaged).
std::optional<TEntry> FindEntry(const TBytes& tiff, uint32_t offset, uint16_t tag)
{
    const std::optional<uint16_t> count = tiff.U16(offset);
    if (!count || *count > MaxIfdEntries || !tiff.Holds(uint64_t{offset} + 2, uint64_t{*count} * 12))
        return std::nullopt;
    for (uint32_t i = 0; i < *count; ++i) {
        const uint64_t entry = uint64_t{offset} + 2 + uint64_t{i} * 12;
        if (*tiff.U16(entry) != tag)
            continue;
        TEntry found;
        found.Type = *tiff.U16(entry + 2);
        found.Count = *tiff.U32(entry + 4);
        const uint64_t size = found.Type == AsciiType ? found.Count : uint64_t{found.Count} * 4;
        found.ValueOffset = size <= 4 ? entry + 8 : *tiff.U32(entry + 8);
        return found;
    }
    return std::nullopt;
}

// ASCII digits as a number; nothing when any is not a digit.
std::optional<int> Digits(std::span<const unsigned char> text)
{
    int value = 0;
    for (const unsigned char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

int DaysInMonth(int year, int month)
{
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : Days[month - 1];
}

// "YYYY:MM:DD HH:MM:SS"; blanks, zeros or a day no calendar has is no date.
std::optional<TDateTaken> ParseExifDate(std::span<const unsigned char> text)
{
    if (text.size() < 19)
        return std::nullopt;
    for (const size_t at : {4, 7})
        if (text[at] != ':' && text[at] != '-')
            return std::nullopt;
    if (text[10] != ' ' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const auto year = Digits(text.subspan(0, 4)), month = Digits(text.subspan(5, 2)),
               day = Digits(text.subspan(8, 2)), hour = Digits(text.subspan(11, 2)),
               minute = Digits(text.subspan(14, 2)), second = Digits(text.subspan(17, 2));
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    if (*year < 1 || *month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*year, *month) || *hour > 23 ||
        *minute > 59 || *second > 60)
        return std::nullopt;
    return TDateTaken{*year, *month, *day, *hour, *minute, *second};
}

// The date taken of a TIFF structure that starts at `tiff`'s byte 0.
std::optional<TDateTaken> ParseTiff(std::span<const unsigned char> bytes)
{
    if (bytes.size() < 8)
        return std::nullopt;
    bool bigEndian = false;
    if (bytes[0] == 'I' && bytes[1] == 'I')
        bigEndian = false;
    else if (bytes[0] == 'M' && bytes[1] == 'M')
        bigEndian = true;
    else
        return std::nullopt;
    const TBytes tiff(bytes, bigEndian);
    // 42 for TIFF (and DNG, NEF, ARW, PEF, CR2); Olympus writes "RO"/"RS"/"OR", Panasonic 0x55.
    const uint16_t magic = *tiff.U16(2);
    const bool olympus = (bytes[2] == 'R' && (bytes[3] == 'O' || bytes[3] == 'S')) ||
                         (bytes[2] == 'O' && bytes[3] == 'R');
    if (magic != 42 && magic != 0x55 && !olympus)
        return std::nullopt;
    const uint32_t ifd0 = *tiff.U32(4);
    const std::optional<TEntry> pointer = FindEntry(tiff, ifd0, ExifIfdPointerTag);
    if (!pointer || (pointer->Type != LongType && pointer->Type != IfdType) || pointer->Count != 1)
        return std::nullopt;
    const std::optional<uint32_t> exifIfd = tiff.U32(pointer->ValueOffset);
    if (!exifIfd || *exifIfd == ifd0)
        return std::nullopt;
    const std::optional<TEntry> date = FindEntry(tiff, *exifIfd, DateTimeOriginalTag);
    if (!date || date->Type != AsciiType || !tiff.Holds(date->ValueOffset, date->Count))
        return std::nullopt;
    return ParseExifDate(tiff.Slice(date->ValueOffset, date->Count));
}

// The date taken of a JPEG: the TIFF structure in its first APP1 "Exif" segment.
std::optional<TDateTaken> ParseJpeg(std::span<const unsigned char> bytes)
{
    static constexpr unsigned char ExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
    size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (bytes[at] != 0xFF)
            return std::nullopt;
        const unsigned char marker = bytes[at + 1];
        if (marker == 0xFF) { // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // image data or its end: no metadata after it
            return std::nullopt;
        const size_t length = size_t{bytes[at + 2]} << 8 | bytes[at + 3];
        if (length < 2 || length > bytes.size() - at - 2)
            return std::nullopt;
        const std::span<const unsigned char> data = bytes.subspan(at + 4, length - 2);
        if (marker == 0xE1 && data.size() >= sizeof ExifHeader &&
            std::equal(std::begin(ExifHeader), std::end(ExifHeader), data.begin()))
            return ParseTiff(data.subspan(sizeof ExifHeader));
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace

std::optional<TDateTaken> ParseDateTaken(std::span<const unsigned char> head)
{
    if (head.size() >= 2 && head[0] == 0xFF && head[1] == 0xD8)
        return ParseJpeg(head);
    return ParseTiff(head);
}

std::optional<TDateTaken> ReadDateTaken(const String& fileName)
{
    const Platform::HANDLE file =
        Platform::CreateFileW(fileName.c_str(), Platform::Access::GenericRead,
                              Platform::Share::Read | Platform::Share::Write | Platform::Share::Delete,
                              Platform::Disposition::OpenExisting, Platform::FileAttribute::Normal);
    if (file == Platform::InvalidHandleValue)
        return std::nullopt;
    // Not zeroed: only the part a small file fills is touched.
    const auto head = std::make_unique_for_overwrite<unsigned char[]>(DateTakenReadLimit);
    size_t filled = 0;
    bool readable = true;
    // Fills the head up to `upTo` bytes or the end of the file; false when the end came first.
    const auto fillTo = [&](size_t upTo) {
        while (filled < upTo) {
            Platform::DWORD read = 0;
            if (!Platform::ReadFile(file, head.get() + filled, static_cast<Platform::DWORD>(upTo - filled), &read)) {
                readable = false;
                return false;
            }
            if (read == 0)
                return false;
            filled += read;
        }
        return true;
    };
    // A camera's JPEG keeps its EXIF block within the first 64 KiB: the rest
    // of the limit is read only when the date is not found there and the file
    // goes on (a raw file's IFDs may lie further in).
    std::optional<TDateTaken> date;
    if (fillTo(EarlyReadSize)) {
        date = ParseDateTaken(std::span<const unsigned char>(head.get(), filled));
        if (!date) {
            fillTo(DateTakenReadLimit);
            if (readable)
                date = ParseDateTaken(std::span<const unsigned char>(head.get(), filled));
        }
    } else if (readable) {
        date = ParseDateTaken(std::span<const unsigned char>(head.get(), filled));
    }
    Platform::CloseHandle(file);
    return readable ? date : std::nullopt;
}

} // namespace Zelvane
