// The date a photo was taken: every container the reader knows, and damaged
// or empty values, which are no date at all.
#include "plugin/uDateTaken.h"

#include "tests/unit/PhotoBytes.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Zelvane;
using TestSupport::JpegBytes;
using TestSupport::PhotoLayout;
using TestSupport::TiffBytes;

namespace {

using PhotoData = std::vector<unsigned char>;

PhotoData DamagedPhoto(PhotoData bytes, const std::function<void(PhotoData&)>& damage)
{
    damage(bytes);
    return bytes;
}

PhotoLayout PhotoWithDate(std::string date)
{
    PhotoLayout layout;
    layout.DateTimeOriginal = std::move(date);
    return layout;
}

} // namespace

TEST(DateTaken, ReadsEveryContainerAndRefusesDamage)
{
    const std::optional<TDateTaken> taken = TDateTaken{2024, 7, 14, 9, 5, 33};
    const std::optional<TDateTaken> none;
    PhotoLayout bigEndian, rw2, orf, cr2, noPointer;
    bigEndian.BigEndian = true;
    rw2.Magic = 0x55;
    orf.OlympusMagic = true;
    cr2.CanonMarker = true;
    noPointer.WithExifPointer = false;
    PhotoLayout orfBig = orf;
    orfBig.BigEndian = true;
    const PhotoData jpeg = JpegBytes();
    const PhotoData tiff = TiffBytes();
    const struct {
        const char* what;
        PhotoData bytes;
        std::optional<TDateTaken> expected;
    } cases[] = {
        {"JPEG, little-endian EXIF", jpeg, taken},
        {"JPEG, big-endian EXIF", JpegBytes(bigEndian), taken},
        {"TIFF / DNG / NEF / ARW / PEF", tiff, taken},
        {"TIFF, big-endian", TiffBytes(bigEndian), taken},
        {"CR2", TiffBytes(cr2), taken},
        {"RW2", TiffBytes(rw2), taken},
        {"ORF", TiffBytes(orf), taken},
        {"ORF, big-endian", TiffBytes(orfBig), taken},
        {"other date separators", TiffBytes(PhotoWithDate("2024-07-14 09:05:33")), taken},
        {"no Exif IFD", TiffBytes(noPointer), none},
        {"zero date", TiffBytes(PhotoWithDate("0000:00:00 00:00:00")), none},
        {"blank date", TiffBytes(PhotoWithDate("                   ")), none},
        {"month 13", TiffBytes(PhotoWithDate("2024:13:14 09:05:33")), none},
        {"29 February of a leap year", TiffBytes(PhotoWithDate("2024:02:29 23:59:59")), TDateTaken{2024, 2, 29, 23, 59, 59}},
        {"29 February of another year", TiffBytes(PhotoWithDate("2023:02:29 12:00:00")), none},
        {"a month unknown", TiffBytes(PhotoWithDate("2024:00:00 00:00:00")), none},
        {"25 o'clock", TiffBytes(PhotoWithDate("2024:07:14 25:05:33")), none},
        {"a short date", TiffBytes(PhotoWithDate("2024:07")), none},
        {"empty", PhotoData{}, none},
        {"only a JPEG start", PhotoData{0xFF, 0xD8}, none},
        {"not a photo", PhotoData{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, none},
        {"JPEG cut inside the EXIF", PhotoData(jpeg.begin(), jpeg.begin() + 60), none},
        {"TIFF cut inside the date", PhotoData(tiff.begin(), tiff.end() - 2), none},
        {"IFD0 offset past the end", DamagedPhoto(tiff, [](PhotoData& b) { b[4] = 0xF0; b[7] = 0x7F; }), none},
        {"IFD0 entry count huge", DamagedPhoto(tiff, [](PhotoData& b) { b[16] = 0xFF; b[17] = 0xFF; }), none},
        {"Exif pointer to itself", DamagedPhoto(tiff, [](PhotoData& b) { b[38] = 16; }), none},
        {"date offset past the end", DamagedPhoto(tiff, [](PhotoData& b) { b[b.size() - 28] = 0xFF; b[b.size() - 27] = 0xFF; }), none},
        {"date count of 4 GiB", DamagedPhoto(tiff, [](PhotoData& b) { b[b.size() - 29] = 0xFF; }), none},
        {"JPEG segment length past the end", DamagedPhoto(jpeg, [](PhotoData& b) { b[4] = 0xFF; }), none},
        {"JPEG segment length below 2", DamagedPhoto(jpeg, [](PhotoData& b) { b[4] = 0; b[5] = 1; }), none},
        {"image data before the EXIF", DamagedPhoto(jpeg, [](PhotoData& b) { b[3] = 0xDA; }), none},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDateTaken(c.bytes), c.expected) << c.what;
}

TEST(DateTaken, ReadsTheFileThroughThePlatformLayer)
{
    TestSupport::TestFolder folder;
    const PhotoData jpeg = JpegBytes();
    TestSupport::WriteBytes(folder.Child("photo.jpg"), std::string(jpeg.begin(), jpeg.end()));
    // A JPEG whose EXIF block follows large APP2 segments: found within the read limit, not beyond it.
    const auto afterSegments = [&](int segments) {
        std::string bytes = "\xFF\xD8";
        for (int i = 0; i < segments; ++i)
            bytes += "\xFF\xE2\xFF\xFF" + std::string(0xFFFD, 'x');
        return bytes.append(jpeg.begin() + 2, jpeg.end());
    };
    TestSupport::WriteBytes(folder.Child("early.jpg"), afterSegments(3));
    TestSupport::WriteBytes(folder.Child("late.jpg"), afterSegments(5));

    EXPECT_EQ(ReadDateTaken(folder.Name("photo.jpg")), (TDateTaken{2024, 7, 14, 9, 5, 33}));
    EXPECT_EQ(ReadDateTaken(folder.Name("early.jpg")), (TDateTaken{2024, 7, 14, 9, 5, 33}));
    EXPECT_EQ(ReadDateTaken(folder.Name("late.jpg")), std::nullopt);
    EXPECT_EQ(ReadDateTaken(folder.Name("missing.jpg")), std::nullopt);
    EXPECT_EQ(ReadDateTaken(folder.Name()), std::nullopt); // a folder
}
