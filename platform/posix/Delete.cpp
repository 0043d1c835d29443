// Deleting one file or one empty directory on the POSIX build, as Windows
// does: DeleteFileW takes neither directories (nor links to them) nor
// read-only files; removing a directory link removes the link only.
#include "platform/posix/PosixSupport.h"

#include "platform/Faults.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace Platform {

using namespace Posix;

BOOL DeleteFileW(const char16_t* fileName)
{
    if (const DWORD error = Faults::Injected(Faults::TCall::Delete, fileName))
        return Fail(error);
    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return 0;
    struct stat seen{};
    if (::lstat(path->c_str(), &seen) != 0)
        return FailErrno();
    if (S_ISDIR(seen.st_mode) || IsLinkToDirectory(seen, *path))
        return Fail(ERROR_ACCESS_DENIED);
    if (!S_ISLNK(seen.st_mode) && (seen.st_mode & S_IWUSR) == 0)
        return Fail(ERROR_ACCESS_DENIED);
    if (::unlink(path->c_str()) != 0)
        return FailErrno();
    return 1;
}

BOOL RemoveDirectoryW(const char16_t* pathName)
{
    const std::optional<std::string> native = NativePath(pathName);
    if (!native)
        return 0;
    std::string path = *native;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    struct stat seen{};
    if (::lstat(path.c_str(), &seen) != 0)
        return FailErrno();
    if (S_ISLNK(seen.st_mode)) {
        if (!IsLinkToDirectory(seen, path))
            return Fail(ERROR_DIRECTORY);
        if (::unlink(path.c_str()) != 0)
            return FailErrno();
        return 1;
    }
    if (!S_ISDIR(seen.st_mode))
        return Fail(ERROR_DIRECTORY);
    if (::rmdir(path.c_str()) != 0)
        return FailErrno();
    return 1;
}

} // namespace Platform
