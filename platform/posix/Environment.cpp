// Environment variables for the POSIX build: names and values map to bytes
// as file names do.
#include "platform/posix/PosixSupport.h"

#include "base/PosixNames.h"

#include <cstdlib>
#include <string>

namespace Platform {

using namespace Posix;

DWORD GetEnvironmentVariableW(const char16_t* name, char16_t* buffer, DWORD size)
{
    const std::optional<std::string> variable = name != nullptr ? PosixNames::FromUtf16(name) : std::nullopt;
    const char* value = variable ? std::getenv(variable->c_str()) : nullptr;
    if (value == nullptr)
        return Fail(ERROR_ENVVAR_NOT_FOUND);
    const std::u16string text = PosixNames::ToUtf16(value);
    if (buffer == nullptr || size <= text.size())
        return static_cast<DWORD>(text.size() + 1);
    text.copy(buffer, text.size());
    buffer[text.size()] = u'\0';
    return static_cast<DWORD>(text.size());
}

BOOL SetEnvironmentVariableW(const char16_t* name, const char16_t* value)
{
    const std::optional<std::string> variable = name != nullptr ? PosixNames::FromUtf16(name) : std::nullopt;
    if (!variable || variable->empty() || variable->find('=') != std::string::npos)
        return Fail(ERROR_INVALID_PARAMETER);
    if (value == nullptr)
        return ::unsetenv(variable->c_str()) == 0 ? 1 : FailErrno();
    const std::optional<std::string> bytes = PosixNames::FromUtf16(value);
    if (!bytes)
        return Fail(ERROR_INVALID_PARAMETER);
    return ::setenv(variable->c_str(), bytes->c_str(), 1) == 0 ? 1 : FailErrno();
}

} // namespace Platform
