// The thread's last error and the system texts of the Windows codes the
// POSIX backend reports.
#include "platform/posix/PosixSupport.h"

#include "base/Utf.h"

#include <cerrno>
#include <string>

namespace Platform {

namespace Posix {

namespace {

thread_local DWORD LastError = ERROR_SUCCESS;

const char* ErrorText(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS: return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED: return "Access is denied.";
    case ERROR_INVALID_HANDLE: return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY: return "Not enough memory resources are available to process this command.";
    case ERROR_NOT_SAME_DEVICE: return "The system cannot move the file to a different disk drive.";
    case ERROR_NO_MORE_FILES: return "There are no more files.";
    case ERROR_WRITE_PROTECT: return "The media is write protected.";
    case ERROR_GEN_FAILURE: return "A device attached to the system is not functioning.";
    case ERROR_SHARING_VIOLATION:
        return "The process cannot access the file because it is being used by another process.";
    case ERROR_FILE_EXISTS: return "The file exists.";
    case ERROR_INVALID_PARAMETER: return "The parameter is incorrect.";
    case ERROR_BUFFER_OVERFLOW: return "The file name is too long.";
    case ERROR_DISK_FULL: return "There is not enough space on the disk.";
    case ERROR_INSUFFICIENT_BUFFER: return "The data area passed to a system call is too small.";
    case ERROR_INVALID_NAME: return "The filename, directory name, or volume label syntax is incorrect.";
    case ERROR_NEGATIVE_SEEK:
        return "An attempt was made to move the file pointer before the beginning of the file.";
    case ERROR_DIR_NOT_EMPTY: return "The directory is not empty.";
    case ERROR_ALREADY_EXISTS: return "Cannot create a file when that file already exists.";
    case ERROR_ENVVAR_NOT_FOUND: return "The system could not find the environment option that was entered.";
    case ERROR_FILENAME_EXCED_RANGE: return "The filename or extension is too long.";
    case ERROR_DIRECTORY: return "The directory name is invalid.";
    case ERROR_NO_UNICODE_TRANSLATION: return "No mapping for the Unicode character exists in the target multi-byte code page.";
    case ERROR_IO_DEVICE: return "The request could not be performed because of an I/O device error.";
    case ERROR_CANT_RESOLVE_FILENAME: return "The name of the file cannot be resolved by the system.";
    default: return nullptr;
    }
}

} // namespace

void SetLastError(DWORD error)
{
    LastError = error;
}

void SetLastErrorFromErrno(int errorNumber)
{
    switch (errorNumber) {
    case 0: LastError = ERROR_SUCCESS; break;
    case ENOENT: LastError = ERROR_FILE_NOT_FOUND; break;
    case ENOTDIR: LastError = ERROR_PATH_NOT_FOUND; break;
    case EACCES:
    case EPERM:
    case EISDIR: LastError = ERROR_ACCESS_DENIED; break;
    case EBADF: LastError = ERROR_INVALID_HANDLE; break;
    case ENOMEM: LastError = ERROR_NOT_ENOUGH_MEMORY; break;
    case EXDEV: LastError = ERROR_NOT_SAME_DEVICE; break;
    case EROFS: LastError = ERROR_WRITE_PROTECT; break;
    case EBUSY:
    case EWOULDBLOCK: LastError = ERROR_SHARING_VIOLATION; break;
    case EINVAL: LastError = ERROR_INVALID_PARAMETER; break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: LastError = ERROR_DISK_FULL; break;
    case ENAMETOOLONG: LastError = ERROR_FILENAME_EXCED_RANGE; break;
    case ENOTEMPTY: LastError = ERROR_DIR_NOT_EMPTY; break;
    case EEXIST: LastError = ERROR_ALREADY_EXISTS; break;
    case ELOOP: LastError = ERROR_CANT_RESOLVE_FILENAME; break;
    case EIO: LastError = ERROR_IO_DEVICE; break;
    default: LastError = ERROR_GEN_FAILURE; break;
    }
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

BOOL FailErrno()
{
    SetLastErrorFromErrno(errno);
    return 0;
}

HANDLE FailHandle(DWORD error)
{
    SetLastError(error);
    return InvalidHandleValue;
}

HANDLE FailHandleErrno()
{
    SetLastErrorFromErrno(errno);
    return InvalidHandleValue;
}

} // namespace Posix

DWORD GetLastError()
{
    return Posix::LastError;
}

DWORD FormatSystemMessage(DWORD error, char16_t* buffer, DWORD size)
{
    const char* known = Posix::ErrorText(error);
    const Base::String text =
        Base::FromUtf8(known ? std::string(known) : "System error " + std::to_string(error) + ".");
    if (buffer == nullptr || size <= text.size()) {
        Posix::SetLastError(Posix::ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = u'\0';
    return static_cast<DWORD>(text.size());
}

} // namespace Platform
