#include "host/settings/LocalProfileVariable.h"

#include "host/app/HostError.h"

#include <random>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace Host {

namespace {

using Text = std::filesystem::path::string_type;

#if defined(_WIN32)
constexpr const wchar_t* VariableName = L"FARLOCALPROFILE";

std::optional<Text> Read()
{
    const DWORD needed = ::GetEnvironmentVariableW(VariableName, nullptr, 0);
    if (needed == 0)
        return std::nullopt;
    Text value(needed, L'\0');
    value.resize(::GetEnvironmentVariableW(VariableName, value.data(), needed));
    return value;
}

void Write(const std::optional<Text>& value)
{
    ::SetEnvironmentVariableW(VariableName, value ? value->c_str() : nullptr);
}
#else
constexpr const char* VariableName = "FARLOCALPROFILE";

std::optional<Text> Read()
{
    const char* value = std::getenv(VariableName);
    return value != nullptr ? std::optional<Text>(value) : std::nullopt;
}

void Write(const std::optional<Text>& value)
{
    if (value)
        ::setenv(VariableName, value->c_str(), 1);
    else
        ::unsetenv(VariableName);
}
#endif

std::filesystem::path MakeTemporaryFolder()
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::error_code error;
        const auto folder =
            std::filesystem::temp_directory_path(error) / ("zelvane-host-local-" + std::to_string(random()));
        if (!error && std::filesystem::create_directory(folder, error) && !error)
            return folder;
    }
    throw HostError("Cannot make a temporary local profile folder");
}

} // namespace

LocalProfileVariable::LocalProfileVariable(const std::filesystem::path& folder) : Previous(Read())
{
    Temporary = folder.empty();
    Path = Temporary ? MakeTemporaryFolder() : std::filesystem::absolute(folder);
    // Far's profile folders exist while it runs, whether or not anything
    // was stored in them yet.
    std::error_code ignored;
    std::filesystem::create_directories(Path, ignored);
    Write(Path.native());
}

LocalProfileVariable::~LocalProfileVariable()
{
    Write(Previous);
    if (Temporary) {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
}

} // namespace Host
