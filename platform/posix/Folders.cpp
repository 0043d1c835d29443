// Making folders for the POSIX build: owner-only, as the plugin's own
// folders (its journal's) hold data of this user alone.
#include "platform/posix/PosixSupport.h"

#include "platform/Faults.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

namespace Platform {

using namespace Posix;

BOOL CreateDirectoryW(const char16_t* pathName)
{
    if (const DWORD error = Faults::Injected(Faults::TCall::Create, pathName))
        return Fail(error);
    const std::optional<std::string> native = NativePath(pathName);
    if (!native)
        return 0;
    if (::mkdir(native->c_str(), 0700) != 0)
        return errno == EEXIST ? Fail(ERROR_ALREADY_EXISTS) : FailErrno();
    return 1;
}

} // namespace Platform
