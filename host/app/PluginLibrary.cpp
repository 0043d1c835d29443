#include "host/app/PluginLibrary.h"

#include "host/app/HostError.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <vector>

namespace Host {

#if defined(_WIN32)

namespace {

std::string LastErrorText()
{
    return "Windows error " + std::to_string(static_cast<unsigned long>(GetLastError()));
}

} // namespace

PluginLibrary::PluginLibrary(const std::filesystem::path& path) : LibraryPath(std::filesystem::absolute(path))
{
    // Dependent libraries beside the plugin are found, as Far loads it.
    HMODULE module = LoadLibraryExW(LibraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
        throw HostError("Cannot load the plugin library " + LibraryPath.string() + ": " + LastErrorText());
    Handle = reinterpret_cast<void*>(module);
}

PluginLibrary::~PluginLibrary()
{
    if (Handle)
        FreeLibrary(reinterpret_cast<HMODULE>(Handle));
}

void* PluginLibrary::Symbol(const char* name) const
{
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(Handle), name));
}

std::filesystem::path ExecutableFolder()
{
    std::vector<wchar_t> buffer(512);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::filesystem::current_path();
        if (length < buffer.size())
            return std::filesystem::path(std::wstring(buffer.data(), length)).parent_path();
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path DefaultPluginPath()
{
    return ExecutableFolder() / L"Zelvane3.dll";
}

#else

PluginLibrary::PluginLibrary(const std::filesystem::path& path) : LibraryPath(std::filesystem::absolute(path))
{
    // RTLD_LOCAL: the plugin's symbols stay its own, as with a Windows DLL.
    Handle = dlopen(LibraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!Handle) {
        const char* reason = dlerror();
        throw HostError("Cannot load the plugin library " + LibraryPath.string() + ": " +
                        (reason ? reason : "unknown reason"));
    }
}

PluginLibrary::~PluginLibrary()
{
    if (Handle)
        dlclose(Handle);
}

void* PluginLibrary::Symbol(const char* name) const
{
    return dlsym(Handle, name);
}

std::filesystem::path ExecutableFolder()
{
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path();
    return exe.parent_path();
}

std::filesystem::path DefaultPluginPath()
{
    // Beside the program in a build folder; in lib/zelvane3 when installed.
    const std::filesystem::path beside = ExecutableFolder() / "Zelvane3.so";
    const std::filesystem::path installed = ExecutableFolder().parent_path() / "lib" / "zelvane3" / "Zelvane3.so";
    std::error_code error;
    return std::filesystem::exists(beside, error) || !std::filesystem::exists(installed, error) ? beside : installed;
}

#endif

} // namespace Host
