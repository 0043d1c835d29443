// MoveFileW for the POSIX build, following Windows' rules: a rename never
// replaces an existing file or directory, names Windows refuses are
// refused, and a new spelling of the file itself is no clash.
#include "platform/posix/PosixSupport.h"

#include "base/PosixNames.h"
#include "base/WindowsNames.h"
#include "platform/Faults.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

namespace Platform {

using namespace Posix;

namespace {

// The last part of a path, so it holds no separator: a control character or
// one of < > : " \ | ? * is what Windows refuses. '/' is left to the path
// rules, which split paths at it.
bool IsRefusedName(std::u16string_view name)
{
    for (const char16_t c : name) {
        if (c != u'/' && Base::IsRefusedInWindowsNames(c))
            return true;
    }
    return false;
}

// A rename that never replaces: renameat2's own where the file system has
// it, else MoveWithoutReplacing. Fails with the last error set.
BOOL RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 1;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return FailErrno();
    return MoveWithoutReplacing(from, to);
}

// The folder part of a path, with its separator; empty for a bare name.
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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

// A name that the full names' rules would take as it is, relative to its
// folder: no separator, no trailing dot or blank (which they drop), not "."
// or "..".
bool IsPlainName(std::u16string_view name)
{
    if (name.empty() || name == u"." || name == u".." || name.back() == u'.' || name.back() == u' ')
        return false;
    return name.find_first_of(u"/\\") == std::u16string_view::npos;
}

} // namespace

namespace Posix {

BOOL MoveWithoutReplacing(const std::string& from, const std::string& to)
{
    struct stat source{};
    if (::lstat(from.c_str(), &source) != 0)
        return FailErrno();
    if (!S_ISDIR(source.st_mode)) {
        // A hard link refuses an existing target atomically; without one
        // (a file system with no links) nothing keeps the promise.
        if (::link(from.c_str(), to.c_str()) != 0) {
            if (errno == EEXIST)
                return Fail(ERROR_ALREADY_EXISTS);
            if (errno == EPERM || errno == ENOTSUP || errno == EMLINK || errno == ENOSYS)
                return Fail(ERROR_NOT_SUPPORTED);
            return FailErrno();
        }
        if (::unlink(from.c_str()) == 0)
            return 1;
        const int error = errno;
        ::unlink(to.c_str());
        SetLastErrorFromErrno(error);
        return 0;
    }
    // A directory claims the new name with an empty folder of its own,
    // which only the rename then replaces: a rename onto a directory
    // replaces nothing but an empty one, and never a file.
    if (::mkdir(to.c_str(), 0700) != 0)
        return errno == EEXIST ? Fail(ERROR_ALREADY_EXISTS) : FailErrno();
    if (::rename(from.c_str(), to.c_str()) == 0)
        return 1;
    const int error = errno;
    ::rmdir(to.c_str());
    SetLastErrorFromErrno(error);
    return 0;
}

BOOL MoveThroughFreeName(const std::string& from, const std::string& to)
{
    // A name in the same folder that no entry has: the rename to it never
    // replaces, so a taken one only makes the next one be tried.
    static std::atomic<unsigned> serial{0};
    const std::string folder = FolderOf(from);
    std::string free;
    BOOL moved = 0;
    for (int tries = 0; tries < 100 && !moved; ++tries) {
        free = folder + ".zelvane-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".tmp";
        moved = RenameNoReplace(from, free);
        if (!moved && GetLastError() != ERROR_ALREADY_EXISTS)
            return 0;
    }
    if (!moved)
        return 0;
    if (RenameNoReplace(free, to))
        return 1;
    // The new name is taken (or refused): the file gets its old name back.
    const DWORD error = GetLastError();
    RenameNoReplace(free, from);
    return Fail(error);
}

} // namespace Posix

namespace {

// MoveFileW once its arguments are there and no fault is injected.
BOOL MoveByFullNames(const char16_t* existingName, const char16_t* newName)
{
    if (IsRefusedName(LastName(newName)))
        return Fail(ERROR_INVALID_NAME);
    const std::optional<std::string> from = NativePath(existingName);
    const std::optional<std::string> to = NativePath(newName);
    if (!from || !to)
        return 0;
    if (RenameNoReplace(*from, *to))
        return 1;
    // A new spelling of the file itself replaces nothing. Where the file
    // system takes both spellings for one name (vfat, exfat, casefold), a
    // rename between them changes nothing and reports success: the new
    // spelling is made by way of a free name.
    if (GetLastError() == ERROR_ALREADY_EXISTS && IsSameEntry(*from, *to)) {
        if (*from == *to || LastName(newName) == LastName(existingName))
            return 1;
        return MoveThroughFreeName(*from, *to);
    }
    return 0;
}

} // namespace

BOOL MoveFileW(const char16_t* existingName, const char16_t* newName)
{
    if (existingName == nullptr || newName == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (const DWORD error = Faults::Injected(Faults::TCall::Rename, existingName, newName))
        return Fail(error);
    return MoveByFullNames(existingName, newName);
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

BOOL MoveFileInFolderW(HANDLE folder, const char16_t* existingName, const char16_t* newName, const char16_t* name,
                       const char16_t* newFolderName)
{
    if (existingName == nullptr || newName == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (const DWORD error = Faults::Injected(Faults::TCall::Rename, existingName, newName))
        return Fail(error);
    const int descriptor = FolderDescriptor(folder);
    if (descriptor < 0 || name == nullptr || newFolderName == nullptr || !IsPlainName(name) ||
        !IsPlainName(newFolderName) || IsRefusedName(newFolderName))
        return MoveByFullNames(existingName, newName);
    const std::optional<std::string> from = PosixNames::FromUtf16(name);
    const std::optional<std::string> to = PosixNames::FromUtf16(newFolderName);
    if (from && to && ::renameat2(descriptor, from->c_str(), descriptor, to->c_str(), RENAME_NOREPLACE) == 0)
        return 1;
    // A taken name, a file system without renameat2, a new spelling of the
    // same file: the full names' way answers each as it always does.
    return MoveByFullNames(existingName, newName);
}

} // namespace Platform
