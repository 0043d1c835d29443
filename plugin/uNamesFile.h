// The names file of an edit run: the run's file names, one a line in panel
// order, that the user edits as text in the host's editor and saves; read
// back, line i is the new name of file i. Both directions live here, so that
// a name written and read back unchanged is always the very same name, and an
// unchanged line is never taken for a rename.
//
// The file is UTF-8. Written: a byte-order mark, then each name and CR LF.
// Read: lines end in CR LF, LF or CR; the last line needs no line break; one
// byte-order mark at the start is dropped; everything else on a line is kept
// as it is, trailing blanks too (the name rule trims them).
//
// Bytes that are not well-formed UTF-8 are not replaced: each becomes U+DC00
// plus the byte (U+DC80..U+DCFF), as the POSIX build shows such a byte in a
// file name. So a POSIX name that is no UTF-8 text is written as its own
// bytes and reads back as itself. On Windows, a file saved in some other
// encoding shows its bytes as such stand-ins (never as U+FFFD, which two
// different bytes would share), and FirstLineNotUtf8 tells the caller where,
// so it can say so rather than make such names.
//
// Pure functions on values; safe from any thread. Nothing raises beyond
// std::bad_alloc.
#pragma once

#include "base/String.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Zelvane {

using Base::String;

// The names file as read back.
struct TNamesText {
    std::vector<String> Lines;
    // The first line (counted from 1) that holds bytes that are not
    // well-formed UTF-8; 0 when every line is UTF-8 text.
    size_t FirstLineNotUtf8 = 0;
};

TNamesText ReadNamesText(std::string_view bytes);

// True when `name` written as a line reads back as exactly `name`: it holds
// no CR or LF, and no lone surrogate other than the U+DC80..U+DCFF stand-ins
// of bytes that together are not UTF-8 text. A name that does not fit cannot
// be edited as a line; the caller leaves its file out of the names file.
bool FitsOnALine(Base::StringView name);

// The names file for `names`: the byte-order mark, then every name and CR LF.
// Nothing when a name does not fit on a line.
std::optional<std::string> NamesFileBytes(const std::vector<String>& names);

// The names file built a name at a time, for a caller that leaves out the
// names that do not fit as it goes: StartNamesFile puts the byte-order mark
// in `bytes` (replacing what it held); AppendNameLine appends `name` and
// CR LF, or leaves `bytes` as it was and returns false when the name does not
// fit on a line (as FitsOnALine tells).
void StartNamesFile(std::string& bytes);
bool AppendNameLine(Base::StringView name, std::string& bytes);

} // namespace Zelvane
