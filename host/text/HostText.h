// Text conversions the host needs at its edges: the plugin speaks UTF-16,
// the file system, SQLite and the front end speak UTF-8.
#pragma once

#include "far3/Plugin3.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

// Invalid sequences become U+FFFD; the conversions never fail.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// A NUL-terminated UTF-16 text from the plugin; null reads as "".
std::u16string_view PluginText(const char16_t* text);

// True when `text` is a complete, valid UTF-8 sequence.
bool IsValidUtf8(std::string_view text);

// File names as the plugin sees them and back. On POSIX the mapping of
// base/PosixNames.h: exact both ways, '\' and '/' both separating;
// PathFromUtf16 raises HostError for a text no file name shows as.
std::u16string PathToUtf16(const std::filesystem::path& path);
std::filesystem::path PathFromUtf16(std::u16string_view text);

// The text lines of Far's language and help files: `text` without the
// blanks and tabs at either end; the lines of a text (CR LF, LF and CR end
// a line); and the value of a header line ".Key=value" (the key in any
// ASCII case, blanks around '=' allowed, the value trimmed), or none.
std::u16string_view TrimBlanks(std::u16string_view text);
std::vector<std::u16string_view> SplitLines(std::u16string_view text);
std::optional<std::u16string_view> HeaderValue(std::u16string_view line, std::u16string_view key);

// The bytes of a whole file; none when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", upper-case, no braces.
std::string GuidText(const Far3::GUID& guid);
bool IsNullGuid(const Far3::GUID& guid);

} // namespace Host
