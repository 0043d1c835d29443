// Small photo files made in code for the date-taken tests, benchmark and fuzz
// corpus: a TIFF structure (IFD0 with the Exif pointer, the Exif IFD with
// DateTimeOriginal), as a TIFF-based file or inside a JPEG's APP1 segment.
// A few hundred bytes each; the options make the variants cameras write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport {

struct PhotoLayout {
    bool BigEndian = false;
    // Bytes 2-3 of the header as written: 42 for TIFF, 0x55 for RW2; "RO" for ORF when OlympusMagic.
    uint16_t Magic = 42;
    bool OlympusMagic = false;
    bool CanonMarker = false; // "CR" at byte 8, as a CR2 has
    std::string DateTimeOriginal = "2024:07:14 09:05:33";
    bool WithExifPointer = true;
    // Tags that come before DateTimeOriginal in the Exif IFD (cameras write dozens).
    int OtherExifTags = 3;
};

class PhotoWriter {
public:
    explicit PhotoWriter(bool bigEndian)
        : BigEndian(bigEndian)
    {
    }
    void U16(std::vector<unsigned char>& out, uint32_t value) const
    {
        if (BigEndian) {
            out.push_back(static_cast<unsigned char>(value >> 8));
            out.push_back(static_cast<unsigned char>(value));
        } else {
            out.push_back(static_cast<unsigned char>(value));
            out.push_back(static_cast<unsigned char>(value >> 8));
        }
    }
    void U32(std::vector<unsigned char>& out, uint32_t value) const
    {
        if (BigEndian) {
            U16(out, value >> 16);
            U16(out, value & 0xFFFF);
        } else {
            U16(out, value & 0xFFFF);
            U16(out, value >> 16);
        }
    }
    void Entry(std::vector<unsigned char>& out, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) const
    {
        U16(out, tag);
        U16(out, type);
        U32(out, count);
        U32(out, value);
    }

private:
    bool BigEndian;
};

// The TIFF structure: header, IFD0 at 16 (after the CR2 marker's room), the Exif IFD, the date's text.
inline std::vector<unsigned char> TiffBytes(const PhotoLayout& layout = {})
{
    const PhotoWriter w(layout.BigEndian);
    std::vector<unsigned char> out;
    out.push_back(layout.BigEndian ? 'M' : 'I');
    out.push_back(layout.BigEndian ? 'M' : 'I');
    if (layout.OlympusMagic) {
        out.push_back(layout.BigEndian ? 'O' : 'R');
        out.push_back(layout.BigEndian ? 'R' : 'O');
    } else {
        w.U16(out, layout.Magic);
    }
    const uint32_t ifd0 = 16;
    w.U32(out, ifd0);
    if (layout.CanonMarker) {
        for (const unsigned char byte : {'C', 'R', '\x02', '\0'})
            out.push_back(byte);
        w.U32(out, 0); // where a CR2 keeps its raw IFD
    } else {
        out.resize(16, 0);
    }
    const uint32_t ifd0Entries = layout.WithExifPointer ? 2 : 1;
    const uint32_t exifIfd = ifd0 + 2 + ifd0Entries * 12 + 4;
    w.U16(out, ifd0Entries);
    w.Entry(out, 0x0112, 3, 1, layout.BigEndian ? 1u << 16 : 1); // Orientation, a SHORT in place
    if (layout.WithExifPointer)
        w.Entry(out, 0x8769, 4, 1, exifIfd);
    w.U32(out, 0);
    const uint32_t exifEntries = static_cast<uint32_t>(layout.OtherExifTags) + 1;
    const uint32_t textAt = exifIfd + 2 + exifEntries * 12 + 4;
    w.U16(out, exifEntries);
    for (int i = 0; i < layout.OtherExifTags; ++i)
        w.Entry(out, static_cast<uint16_t>(0x8827 + i), 3, 1, 100); // ISO and neighbours
    const uint32_t count = static_cast<uint32_t>(layout.DateTimeOriginal.size()) + 1;
    w.Entry(out, 0x9003, 2, count, count <= 4 ? 0 : textAt);
    w.U32(out, 0);
    if (count > 4) {
        out.insert(out.end(), layout.DateTimeOriginal.begin(), layout.DateTimeOriginal.end());
        out.push_back(0);
    }
    return out;
}

// A JPEG: SOI, a JFIF APP0, the APP1 Exif segment, a little image data, EOI.
inline std::vector<unsigned char> JpegBytes(const PhotoLayout& layout = {})
{
    const std::vector<unsigned char> tiff = TiffBytes(layout);
    std::vector<unsigned char> out;
    // (A loop, not vector::insert of a list, which GCC 12 warns falsely about.)
    const auto append = [&out](std::initializer_list<unsigned> bytes) {
        for (const unsigned byte : bytes)
            out.push_back(static_cast<unsigned char>(byte));
    };
    append({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    const size_t length = 2 + 6 + tiff.size();
    append({0xFF, 0xE1, static_cast<unsigned>(length >> 8), static_cast<unsigned>(length & 0xFF), 'E', 'x', 'i', 'f', 0, 0});
    out.insert(out.end(), tiff.begin(), tiff.end());
    append({0xFF, 0xDA, 0x00, 0x08, 1, 1, 0, 0, 0x3F, 0, 0x12, 0x34, 0xFF, 0xD9});
    return out;
}

} // namespace TestSupport
