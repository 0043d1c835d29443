// The plugin's shared library, loaded the way the operating system loads it
// for Far: dlopen on Linux, LoadLibraryW on Windows. Owning the handle means
// the library is really unloaded (its static destructors run) when this
// object goes away. This is the only place that touches the loader API.
#pragma once

#include <filesystem>
#include <string>

namespace Host {

class PluginLibrary {
public:
    // Throws HostError with the loader's reason when the library cannot be loaded.
    explicit PluginLibrary(const std::filesystem::path& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // The exported symbol, or null when the library has no such export.
    void* Symbol(const char* name) const;
    const std::filesystem::path& Path() const { return LibraryPath; }

private:
    std::filesystem::path LibraryPath;
    void* Handle = nullptr;
};

// The folder of the running executable.
std::filesystem::path ExecutableFolder();

// The plugin beside the running executable (Zelvane3.so / Zelvane3.dll), or
// where an installed zelvane-host finds it: ../lib/zelvane3/Zelvane3.so.
std::filesystem::path DefaultPluginPath();

} // namespace Host
