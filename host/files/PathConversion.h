// Far's ConvertPath (FSF slot 43): a path made absolute against the current
// directory, "." and ".." resolved, repeated separators collapsed; CPM_NATIVE
// adds the \\?\ (or \\?\UNC\) prefix, in the POSIX style before the full
// path ("\\?\/home/user"), which the POSIX build's file calls take verbatim.
// Both styles are plain text functions so each can be checked on any build.
#pragma once

#include "far3/Plugin3.h"

#include <string>
#include <string_view>

namespace Host {

enum class PathStyle { Posix, Windows };

#if defined(_WIN32)
constexpr PathStyle NativePathStyle = PathStyle::Windows;
#else
constexpr PathStyle NativePathStyle = PathStyle::Posix;
#endif

// `currentDirectory` must be absolute in the same style. In the Posix style
// both '\' and '/' separate parts and the result uses '/'.
std::u16string FullPath(std::u16string_view path, std::u16string_view currentDirectory, PathStyle style);
std::u16string NativePath(std::u16string_view path, std::u16string_view currentDirectory, PathStyle style);

// The service: returns the length + 1 of the result; copies it (truncated,
// NUL-terminated) only when dest is not null and destSize is not 0.
size_t ConvertPath(Far3::CONVERTPATHMODES mode, const char16_t* source, char16_t* dest, size_t destSize,
                   std::u16string_view currentDirectory, PathStyle style = NativePathStyle);

} // namespace Host
