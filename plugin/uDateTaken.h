// The date a photo was taken, as the camera wrote it into the file's EXIF
// block (DateTimeOriginal, local time of the camera, no time zone applied).
// Read from the first bytes of JPEG, TIFF and the TIFF-based raw files. The
// parser trusts nothing in the bytes: a damaged or hostile file is simply a
// file without a date taken. Pure functions: any thread; they never raise.
#pragma once

#include "base/String.h"

#include <cstddef>
#include <optional>
#include <span>

namespace Zelvane {

using Base::String;

struct TDateTaken {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;

    friend bool operator==(const TDateTaken&, const TDateTaken&) = default;
};

// The photo formats keep their metadata before the image data, well within this.
constexpr size_t DateTakenReadLimit = 256 * 1024;

// From the first bytes of a file (JPEG, TIFF and TIFF-based raw: CR2, NEF, ARW, DNG, ORF, PEF, RW2); nothing
// when there is none or the bytes are damaged. Pure; hardened (every offset, count and loop checked).
std::optional<TDateTaken> ParseDateTaken(std::span<const unsigned char> head);

// Reads at most DateTakenReadLimit bytes of the file through the platform layer; nothing when it cannot be
// read or has no date taken. Never raises.
std::optional<TDateTaken> ReadDateTaken(const String& fileName);

} // namespace Zelvane
