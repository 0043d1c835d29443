// Files opened by handle on the POSIX build: CreateFileW with Windows'
// dispositions and share mode, and reading, writing, seeking and
// truncating through the handle. Whatever may create or truncate never goes
// through a link at the last name, and only plain files are opened (the
// temporary folder is shared by all users, so a planted link or pipe must
// not steer a write elsewhere or hold the open).
#include "platform/posix/PosixSupport.h"

#include "platform/Faults.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

namespace Platform {

using namespace Posix;

namespace {

class TFileHandle : public THandleObject {
public:
    explicit TFileHandle(int descriptor) : Descriptor(descriptor) {}
    ~TFileHandle() override { ::close(Descriptor); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    const int Descriptor;
};

TFileHandle* FileOf(HANDLE handle)
{
    return dynamic_cast<TFileHandle*>(FindHandle(handle));
}

} // namespace

HANDLE CreateFileW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode, DWORD creationDisposition,
                   DWORD flagsAndAttributes)
{
    if (const DWORD error = Faults::Injected(Faults::TCall::Create, fileName))
        return FailHandle(error);
    const bool reading = (desiredAccess & Access::GenericRead) != 0;
    const bool writing = (desiredAccess & Access::GenericWrite) != 0;
    int flags = O_CLOEXEC | (reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY);
    bool truncate = false;
    switch (creationDisposition) {
    case Disposition::CreateNew: flags |= O_CREAT | O_EXCL; break;
    case Disposition::CreateAlways: flags |= O_CREAT; truncate = true; break;
    case Disposition::OpenExisting: break;
    case Disposition::OpenAlways: flags |= O_CREAT; break;
    case Disposition::TruncateExisting: truncate = true; break;
    default: return FailHandle(ERROR_INVALID_PARAMETER);
    }
    if (truncate && !writing)
        return FailHandle(ERROR_INVALID_PARAMETER);
    // Whatever may create or truncate never goes through a link at the last
    // name, nor does an open that asks for the link itself.
    if (creationDisposition != Disposition::OpenExisting ||
        (flagsAndAttributes & FileFlag::OpenReparsePoint) != 0)
        flags |= O_NOFOLLOW;
    // Opened without waiting, so a pipe planted at the name cannot hold the
    // open until a reader or writer comes; only plain files are taken.
    flags |= O_NONBLOCK;

    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return InvalidHandleValue;
    const int descriptor = ::open(path->c_str(), flags, 0600);
    if (descriptor < 0)
        return errno == EEXIST ? FailHandle(ERROR_FILE_EXISTS) : FailHandleErrno();
    auto file = std::make_unique<TFileHandle>(descriptor);
    struct stat opened{};
    if (::fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode))
        return FailHandle(ERROR_ACCESS_DENIED);
    // A file replaced whole may already exist, planted by another user of
    // the shared temporary folder: only a file of this user's own, reachable
    // by this name alone, is replaced, never another user's file or one
    // hard-linked to a name elsewhere whose content would go with it.
    const bool replacing = creationDisposition == Disposition::CreateAlways;
    if (replacing && (opened.st_uid != ::geteuid() || opened.st_nlink > 1))
        return FailHandle(ERROR_ACCESS_DENIED);
    const int status = ::fcntl(descriptor, F_GETFL);
    if (status < 0 || ::fcntl(descriptor, F_SETFL, status & ~O_NONBLOCK) != 0)
        return FailHandleErrno();
    // No sharing: another opener asking the same is refused, as on Windows
    // (advisory only: POSIX has no mandatory share modes). Taken before the
    // truncation, so a refused open changes nothing.
    if (shareMode == 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) != 0)
        return FailHandle(ERROR_SHARING_VIOLATION);
    if (truncate && ::ftruncate(descriptor, 0) != 0)
        return FailHandleErrno();
    Posix::SetLastError(ERROR_SUCCESS);
    return AddHandle(std::move(file));
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read)
{
    TFileHandle* handle = FileOf(file);
    if (read != nullptr)
        *read = 0;
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    ssize_t got;
    do {
        got = ::read(handle->Descriptor, buffer, toRead);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return FailErrno();
    if (read != nullptr)
        *read = static_cast<DWORD>(got);
    return 1;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written)
{
    TFileHandle* handle = FileOf(file);
    if (written != nullptr)
        *written = 0;
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    if (const DWORD error = Faults::Injected(Faults::TCall::Write, nullptr))
        return Fail(error);
    const auto* bytes = static_cast<const char*>(buffer);
    DWORD done = 0;
    while (done < toWrite) {
        const ssize_t put = ::write(handle->Descriptor, bytes + done, toWrite - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (done > 0)
                break; // report what was taken; the next write reports the failure
            if (put == 0)
                return Fail(ERROR_DISK_FULL);
            return FailErrno();
        }
        done += static_cast<DWORD>(put);
    }
    if (written != nullptr)
        *written = done;
    return 1;
}

BOOL SetFilePointerEx(HANDLE file, int64_t distance, int64_t* newPosition, DWORD moveMethod)
{
    TFileHandle* handle = FileOf(file);
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    int whence;
    switch (moveMethod) {
    case SeekOrigin::Begin: whence = SEEK_SET; break;
    case SeekOrigin::Current: whence = SEEK_CUR; break;
    case SeekOrigin::End: whence = SEEK_END; break;
    default: return Fail(ERROR_INVALID_PARAMETER);
    }
    const off_t at = ::lseek(handle->Descriptor, static_cast<off_t>(distance), whence);
    if (at < 0)
        return errno == EINVAL ? Fail(ERROR_NEGATIVE_SEEK) : FailErrno();
    if (newPosition != nullptr)
        *newPosition = at;
    return 1;
}

BOOL SetEndOfFile(HANDLE file)
{
    TFileHandle* handle = FileOf(file);
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    const off_t at = ::lseek(handle->Descriptor, 0, SEEK_CUR);
    if (at < 0 || ::ftruncate(handle->Descriptor, at) != 0)
        return FailErrno();
    return 1;
}

BOOL GetFileIdentity(HANDLE file, FileIdentity* identity)
{
    TFileHandle* handle = FileOf(file);
    if (handle == nullptr || identity == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    struct stat seen{};
    if (::fstat(handle->Descriptor, &seen) != 0)
        return FailErrno();
    identity->Volume = static_cast<uint64_t>(seen.st_dev);
    identity->Index = static_cast<uint64_t>(seen.st_ino);
    return 1;
}

BOOL FlushFileBuffers(HANDLE file)
{
    TFileHandle* handle = FileOf(file);
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    if (const DWORD error = Faults::Injected(Faults::TCall::Write, nullptr))
        return Fail(error);
    int result;
    do {
        result = ::fdatasync(handle->Descriptor);
    } while (result != 0 && errno == EINTR);
    return result == 0 ? 1 : FailErrno();
}

} // namespace Platform
