// Writes the seed corpus of DateTakenFuzz: the photos the unit tests make,
// one of each container. Run from the repository's root after changing
// tests/unit/PhotoBytes.h: build/fuzz/fuzz/MakeDateTakenCorpus (or any build's).
#include "../tests/unit/PhotoBytes.h"

#include <fstream>
#include <string>

namespace {

void Write(const std::string& name, const std::vector<unsigned char>& bytes)
{
    std::ofstream("fuzz/corpus/DateTakenFuzz/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main()
{
    using namespace TestSupport;
    PhotoLayout bigEndian, cr2, orf, rw2, zeroDate;
    bigEndian.BigEndian = true;
    cr2.CanonMarker = true;
    orf.OlympusMagic = true;
    rw2.Magic = 0x55;
    zeroDate.DateTimeOriginal = "0000:00:00 00:00:00";
    Write("jpeg", JpegBytes());
    Write("jpeg-big-endian", JpegBytes(bigEndian));
    Write("tiff", TiffBytes());
    Write("tiff-big-endian", TiffBytes(bigEndian));
    Write("cr2", TiffBytes(cr2));
    Write("orf", TiffBytes(orf));
    Write("rw2", TiffBytes(rw2));
    Write("zero-date", TiffBytes(zeroDate));
    return 0;
}
