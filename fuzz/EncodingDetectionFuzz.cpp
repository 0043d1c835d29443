// Encoding detection of an existing file: any content settles on an
// encoding and a position inside the file.
#include "FuzzSupport.h"

#include "plugin/FileStream.h"
#include "plugin/TextStream.h"

#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path file = Fuzz::Folder() / "detect.txt";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    auto stream = Zelvane::TTextStream::Create(file.u16string(), Zelvane::TFileStream::ModeOpenRead);
    Fuzz::Require(stream->GetEncoding() != Zelvane::TEncoding::None || size == 0);
    Fuzz::Require(stream->GetPosition() >= 0 && stream->GetPosition() <= static_cast<int64_t>(size));
    return 0;
}
