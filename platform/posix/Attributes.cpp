// File attributes for the POSIX build: Windows' bits read from what lstat
// sees (a link is a reparse point, a file without the owner's write bit is
// read-only), and the read-only bit written back as that write bit.
#include "platform/posix/PosixSupport.h"

#include "base/FileTime.h"
#include "base/PosixNames.h"
#include "platform/Faults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

namespace Platform {

namespace Posix {

DWORD AttributesOf(const struct stat& seen, bool linkToDirectory)
{
    if (S_ISLNK(seen.st_mode))
        return FileAttribute::ReparsePoint | (linkToDirectory ? FileAttribute::Directory : FileAttribute::Archive);
    DWORD attributes = S_ISDIR(seen.st_mode) ? FileAttribute::Directory : FileAttribute::Archive;
    if ((seen.st_mode & S_IWUSR) == 0)
        attributes |= FileAttribute::ReadOnly;
    return attributes;
}

bool IsLinkToDirectory(const struct stat& seen, const std::string& path)
{
    struct stat target{};
    return S_ISLNK(seen.st_mode) && ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
}

FILETIME FileTimeOf(const struct timespec& time)
{
    const uint64_t ticks =
        Base::FileTimeFromUnixTime({static_cast<int64_t>(time.tv_sec), static_cast<int64_t>(time.tv_nsec)})
            .value_or(0);
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

} // namespace Posix

using namespace Posix;

DWORD GetFileAttributesW(const char16_t* fileName)
{
    if (const DWORD error = Faults::Injected(Faults::TCall::Attributes, fileName)) {
        Fail(error);
        return InvalidFileAttributes;
    }
    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return InvalidFileAttributes;
    struct stat seen{};
    if (::lstat(path->c_str(), &seen) != 0) {
        SetLastErrorFromErrno(errno);
        return InvalidFileAttributes;
    }
    return AttributesOf(seen, IsLinkToDirectory(seen, *path));
}

BOOL GetFileAttributesExW(const char16_t* fileName, WIN32_FILE_ATTRIBUTE_DATA* data)
{
    if (fileName == nullptr || data == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (const DWORD error = Faults::Injected(Faults::TCall::Attributes, fileName))
        return Fail(error);
    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return 0;
    struct stat own{};
    if (::lstat(path->c_str(), &own) != 0)
        return FailErrno();
    *data = WIN32_FILE_ATTRIBUTE_DATA{};
    data->dwFileAttributes = AttributesOf(own, IsLinkToDirectory(own, *path));
    SetDatesAndSize(own, *data);
    // A link is a reparse point of no size, as Windows reports one.
    if (S_ISLNK(own.st_mode)) {
        data->nFileSizeHigh = 0;
        data->nFileSizeLow = 0;
    }
    return 1;
}

BOOL SetFileAttributesW(const char16_t* fileName, DWORD attributes)
{
    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return 0;
    struct stat seen{};
    if (::lstat(path->c_str(), &seen) != 0)
        return FailErrno();
    // Only the read-only bit has a POSIX counterpart, and only on files; a
    // link has no mode of its own and its target is left alone.
    if (S_ISLNK(seen.st_mode) || S_ISDIR(seen.st_mode))
        return 1;
    const mode_t mode = (attributes & FileAttribute::ReadOnly) != 0 ? (seen.st_mode & ~mode_t{0222})
                                                                    : (seen.st_mode | S_IWUSR);
    if (::fchmodat(AT_FDCWD, path->c_str(), mode & 07777, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOTSUP || errno == EOPNOTSUPP)
            return 1; // replaced by a link meanwhile: left alone
        return FailErrno();
    }
    return 1;
}

namespace {

class TFolderHandle : public THandleObject {
public:
    explicit TFolderHandle(int descriptor) : Descriptor(descriptor) {}
    ~TFolderHandle() override { ::close(Descriptor); }
    TFolderHandle(const TFolderHandle&) = delete;
    TFolderHandle& operator=(const TFolderHandle&) = delete;

    const int Descriptor;
};

void StampOf(const struct stat& seen, FileStamp* stamp)
{
    const FILETIME time = FileTimeOf(seen.st_mtim);
    stamp->Identity = {static_cast<uint64_t>(seen.st_dev), static_cast<uint64_t>(seen.st_ino)};
    stamp->Size = S_ISDIR(seen.st_mode) ? 0 : static_cast<uint64_t>(seen.st_size);
    stamp->LastWriteTime = Base::FileTimeValue(time);
}

} // namespace

int Posix::FolderDescriptor(HANDLE handle)
{
    const auto* held = dynamic_cast<const TFolderHandle*>(FindHandle(handle));
    return held == nullptr ? -1 : held->Descriptor;
}

BOOL GetFileStampW(const char16_t* fileName, FileStamp* stamp)
{
    if (fileName == nullptr || stamp == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (const DWORD error = Faults::Injected(Faults::TCall::Attributes, fileName))
        return Fail(error);
    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return 0;
    struct stat seen{};
    if (::lstat(path->c_str(), &seen) != 0)
        return FailErrno();
    StampOf(seen, stamp);
    return 1;
}

HANDLE OpenFolderW(const char16_t* path)
{
    const std::optional<std::string> native = NativePath(path);
    if (!native)
        return InvalidHandleValue;
    const int descriptor = ::open(native->c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return FailHandleErrno();
    return AddHandle(std::make_unique<TFolderHandle>(descriptor));
}

BOOL GetFileStampInFolderW(HANDLE folder, const char16_t* fullName, const char16_t* name, FileStamp* stamp)
{
    const int descriptor = FolderDescriptor(folder);
    if (descriptor < 0 || name == nullptr)
        return GetFileStampW(fullName, stamp);
    if (stamp == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (const DWORD error = Faults::Injected(Faults::TCall::Attributes, fullName))
        return Fail(error);
    const std::optional<std::string> relative = PosixNames::FromUtf16(name);
    if (!relative || relative->empty() || relative->front() == '/')
        return Fail(ERROR_INVALID_NAME);
    struct stat seen{};
    if (::fstatat(descriptor, relative->c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0)
        return FailErrno();
    StampOf(seen, stamp);
    return 1;
}

} // namespace Platform
