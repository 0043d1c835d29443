// MoveFileW for the POSIX build, following Windows' rules: a rename never
// replaces an existing file or directory, names Windows refuses are
// refused, and a new spelling of the file itself is no clash.
#include "platform/posix/PosixSupport.h"

#include "base/PosixNames.h"
#include "platform/Faults.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace Platform {

using namespace Posix;

namespace {

// The last part of a path, so it holds no separator: a control character or
// one of < > : " | ? * is what Windows refuses.
bool IsRefusedName(std::u16string_view name)
{
    for (const char16_t c : name) {
        if ((c >= 1 && c <= 31) || PosixNames::IsForbiddenInNames(c))
            return true;
    }
    return false;
}

// Where the file system has no no-replace rename: a hard link refuses an
// existing target atomically; directories (and file systems without hard
// links) are checked first, which leaves only a narrow race.
BOOL MoveWithoutReplacing(const std::string& from, const std::string& to)
{
    struct stat source{};
    if (::lstat(from.c_str(), &source) != 0)
        return FailErrno();
    if (!S_ISDIR(source.st_mode)) {
        if (::link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) == 0)
                return 1;
            const int error = errno;
            ::unlink(to.c_str());
            SetLastErrorFromErrno(error);
            return 0;
        }
        if (errno != EPERM && errno != ENOTSUP && errno != EMLINK && errno != ENOSYS)
            return FailErrno();
    }
    struct stat target{};
    if (::lstat(to.c_str(), &target) == 0)
        return Fail(ERROR_ALREADY_EXISTS);
    if (::rename(from.c_str(), to.c_str()) != 0)
        return FailErrno();
    return 1;
}

// The same directory entry under another spelling (a case-insensitive file
// system, or "." and ".." parts): the one file, not a second one that a
// rename would replace. A hard-linked file is never taken for it.
bool IsSameEntry(const std::string& from, const std::string& to)
{
    struct stat source{};
    struct stat target{};
    return ::lstat(from.c_str(), &source) == 0 && ::lstat(to.c_str(), &target) == 0 &&
           source.st_dev == target.st_dev && source.st_ino == target.st_ino &&
           (S_ISDIR(source.st_mode) || source.st_nlink == 1);
}

} // namespace

BOOL MoveFileW(const char16_t* existingName, const char16_t* newName)
{
    if (existingName == nullptr || newName == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (const DWORD error = Faults::Injected(Faults::TCall::Rename, existingName, newName))
        return Fail(error);
    if (IsRefusedName(LastName(newName)))
        return Fail(ERROR_INVALID_NAME);
    const std::optional<std::string> from = NativePath(existingName);
    const std::optional<std::string> to = NativePath(newName);
    if (!from || !to)
        return 0;
    if (::renameat2(AT_FDCWD, from->c_str(), AT_FDCWD, to->c_str(), RENAME_NOREPLACE) == 0)
        return 1;
    int error = errno;
    if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
        if (MoveWithoutReplacing(*from, *to))
            return 1;
        error = EEXIST;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return 0;
    }
    // A new spelling of the file itself replaces nothing: it may go ahead.
    if (error == EEXIST && IsSameEntry(*from, *to)) {
        if (::rename(from->c_str(), to->c_str()) != 0)
            return FailErrno();
        return 1;
    }
    SetLastErrorFromErrno(error);
    return 0;
}

BOOL MoveFileReplacingW(const char16_t* existingName, const char16_t* newName)
{
    if (existingName == nullptr || newName == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::optional<std::string> from = NativePath(existingName);
    const std::optional<std::string> to = NativePath(newName);
    if (!from || !to)
        return 0;
    if (::rename(from->c_str(), to->c_str()) != 0)
        return FailErrno();
    // The new name lasts once the folder that holds it is on the medium.
    const size_t slash = to->rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : to->substr(0, slash);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
    return 1;
}

} // namespace Platform
