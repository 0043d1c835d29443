// The temporary folder and temporary names for the POSIX build. A new
// temporary file is created exclusively, mode 0600, never through a link at
// its name: the temporary folder is shared by all users.
#include "platform/posix/PosixSupport.h"

#include "base/PosixNames.h"
#include "base/Utf.h"
#include "platform/Faults.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace Platform {

using namespace Posix;
using Base::String;

namespace {

String HexDigits(UINT value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X", value);
    return Base::FromUtf8(digits);
}

} // namespace

DWORD GetTempPathW(DWORD bufferLength, char16_t* buffer)
{
    if (const DWORD error = Faults::Injected(Faults::TCall::TempPath, nullptr))
        return Fail(error);
    const char* variable = std::getenv("TMPDIR");
    std::string directory = variable != nullptr && *variable != '\0' ? variable : "/tmp";
    if (directory.back() != '/')
        directory += '/';
    const String path = PosixNames::ToUtf16(directory);
    if (buffer == nullptr || bufferLength <= path.size())
        return static_cast<DWORD>(path.size() + 1);
    path.copy(buffer, path.size());
    buffer[path.size()] = u'\0';
    return static_cast<DWORD>(path.size());
}

UINT GetTempFileNameW(const char16_t* pathName, const char16_t* prefix, UINT unique, char16_t* tempFileName)
{
    if (pathName == nullptr || tempFileName == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (const DWORD error = Faults::Injected(Faults::TCall::TempFileName, pathName))
        return Fail(error);
    String base = pathName;
    if (!base.empty() && !IsSeparator(base.back()))
        base += u'/';
    if (prefix != nullptr)
        base += String(prefix).substr(0, 3);

    auto nameFor = [&base](UINT number) { return base + HexDigits(number) + u".tmp"; };
    auto hand = [tempFileName](const String& name) {
        name.copy(tempFileName, name.size());
        tempFileName[name.size()] = u'\0';
    };

    if (unique != 0) { // the caller's number: the name only, nothing is created
        const String name = nameFor(unique & 0xFFFF);
        if (name.size() >= MaxPath)
            return Fail(ERROR_BUFFER_OVERFLOW);
        hand(name);
        return unique & 0xFFFF;
    }
    const UINT start = std::random_device{}() & 0xFFFF;
    for (UINT step = 0; step < 0x10000; ++step) {
        const UINT number = (start + step) & 0xFFFF;
        if (number == 0)
            continue;
        const String name = nameFor(number);
        if (name.size() >= MaxPath)
            return Fail(ERROR_BUFFER_OVERFLOW);
        const std::optional<std::string> native = NativePath(name.c_str());
        if (!native)
            return 0;
        const int descriptor = ::open(native->c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor >= 0) {
            ::close(descriptor);
            hand(name);
            return number;
        }
        if (errno != EEXIST)
            return FailErrno();
    }
    return Fail(ERROR_FILE_EXISTS);
}

} // namespace Platform
