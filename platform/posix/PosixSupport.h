// What the POSIX backend's files share: path conversion and name
// comparison, the thread's last error in Windows codes, attributes, and the
// table of live handles.
#pragma once

#include "platform/Platform.h"

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace Platform::Posix {

// Windows error codes the emulation reports.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_WRITE_PROTECT = 19;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_INVALID_NAME = 123;
constexpr DWORD ERROR_NEGATIVE_SEEK = 131;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_ENVVAR_NOT_FOUND = 203;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;
constexpr DWORD ERROR_IO_DEVICE = 1117;
constexpr DWORD ERROR_CANT_RESOLVE_FILENAME = 1921;

void SetLastError(DWORD error);
// The Windows code for an errno value, stored as the last error.
void SetLastErrorFromErrno(int errorNumber);

// A failed call's result, with the last error set: to `error`, or from errno.
BOOL Fail(DWORD error);
BOOL FailErrno();
HANDLE FailHandle(DWORD error);
HANDLE FailHandleErrno();

// The file system's name for a path the plugin gives, by Windows' rules.
// With the "\\?\" prefix nothing is normalised and a "." or ".." part is
// refused; the rest of the path is taken from the root. Without it a
// relative path is taken from the current folder, "." and ".." parts are
// resolved and trailing dots and blanks of the last part dropped. "\" and
// "/" both separate parts; names map to bytes as base/PosixNames.h says.
// A path already in the form the file system takes costs one pass.
// Nothing, with the last error set, for an empty path, a refused part, or a
// text no file name shows as.
std::optional<std::string> NativePath(const char16_t* path);

// A rename that never replaces, for a file system without renameat2's
// RENAME_NOREPLACE: a hard link, then the old name unlinked, for a file;
// for a directory an empty folder of its own claims the new name first,
// and the rename replaces only that. Fails with ERROR_ALREADY_EXISTS when
// the name is taken, and with ERROR_NOT_SUPPORTED where nothing keeps the
// promise (a file where the file system makes no hard links).
BOOL MoveWithoutReplacing(const std::string& from, const std::string& to);
// Renames `from` to `to` by way of a temporary name in from's folder that
// no entry has: the new spelling of one entry where the file system takes
// both spellings for one name. Neither step replaces; when the second
// fails, the file gets its old name back and the second's error is the
// last error.
BOOL MoveThroughFreeName(const std::string& from, const std::string& to);

bool IsSeparator(char16_t c);
// The last part of a path: what follows the last separator.
std::u16string_view LastName(std::u16string_view path);

// Whether two names are the same to a Windows file system, which compares
// them by the simple upper-case mapping of each UTF-16 unit.
bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b);
char16_t UpperCase(char16_t c);

// Windows' attribute bits for what lstat saw: a link is reported as a
// reparse point, a directory one when it leads to a directory.
DWORD AttributesOf(const struct stat& seen, bool linkToDirectory);
// Whether what lstat saw at `path` is a link that leads to a directory.
bool IsLinkToDirectory(const struct stat& seen, const std::string& path);
// A stat time as a FILETIME; zero (no time) for one a FILETIME cannot hold.
FILETIME FileTimeOf(const struct timespec& time);
// The three dates and the size (none for a directory) of what a stat saw,
// into a Windows file record (WIN32_FIND_DATAW, WIN32_FILE_ATTRIBUTE_DATA).
template <typename Record>
void SetDatesAndSize(const struct stat& seen, Record& data)
{
    data.ftCreationTime = FileTimeOf(seen.st_ctim);
    data.ftLastAccessTime = FileTimeOf(seen.st_atim);
    data.ftLastWriteTime = FileTimeOf(seen.st_mtim);
    if (!S_ISDIR(seen.st_mode)) {
        const auto size = static_cast<uint64_t>(seen.st_size);
        data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data.nFileSizeLow = static_cast<DWORD>(size);
    }
}

// What a handle stands for. The table of live handles owns them: a handle
// the backend never gave out, or one already closed, is refused
// (ERROR_INVALID_HANDLE), never dereferenced.
class THandleObject {
public:
    virtual ~THandleObject() = default;
};

HANDLE AddHandle(std::unique_ptr<THandleObject> object);
// The live object of `handle`, or null.
THandleObject* FindHandle(HANDLE handle);
// Takes `handle` out of the table; null when it was not live.
std::unique_ptr<THandleObject> TakeHandle(HANDLE handle);

// The descriptor of a folder held open by OpenFolderW; -1 when `handle` is
// not one.
int FolderDescriptor(HANDLE handle);

} // namespace Platform::Posix
