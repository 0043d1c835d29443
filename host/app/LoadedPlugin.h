// A plugin library after Far's loading checks: GetGlobalInfoW is required,
// the other entry points are called only when the plugin exports them (a
// missing one does nothing: no menus, no panel, not changed), in Far's order
// (GetGlobalInfoW at construction, then Start = SetStartupInfoW +
// GetPluginInfoW), with the identity and menus copied out of the plugin's
// records so they stay valid whatever the plugin does with its memory.
#pragma once

#include "far3/Plugin3.h"
#include "host/app/PluginLibrary.h"

#include <filesystem>
#include <string>
#include <vector>

namespace Host {

// The Far version the stand-in host reports: the Far 3.0 build whose
// behaviour it follows.
constexpr Far3::VersionInfo HostFarVersion{3, 0, 0, 6727, Far3::VS_RELEASE};

// Far orders versions by Major, Minor, Build, then Revision.
bool VersionNotAbove(const Far3::VersionInfo& version, const Far3::VersionInfo& limit);

struct PluginIdentity {
    std::u16string Title;
    std::u16string Description;
    std::u16string Author;
    Far3::VersionInfo Version{};
    Far3::VersionInfo MinFarVersion{};
    Far3::GUID Guid{};
};

struct PluginMenuEntry {
    std::u16string Text;
    Far3::GUID Guid{};
};

struct PluginMenus {
    Far3::PLUGIN_FLAGS Flags = 0;
    std::vector<PluginMenuEntry> DiskMenu;
    std::vector<PluginMenuEntry> PluginMenu;
    std::vector<PluginMenuEntry> PluginConfig;
    std::u16string CommandPrefix;
};

class LoadedPlugin {
public:
    // Loads the library, finds the exports and calls GetGlobalInfoW.
    // Throws HostError (library unloaded again) when Far would refuse it.
    explicit LoadedPlugin(const std::filesystem::path& path);
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    const PluginIdentity& Identity() const { return PluginId; }
    const std::filesystem::path& Path() const { return Library.Path(); }

    // SetStartupInfoW with the host's table (a temporary the plugin copies).
    void SetStartupInfo(const Far3::PluginStartupInfo& info);
    // GetPluginInfoW with a zero-filled record, copied out.
    PluginMenus QueryPluginInfo();
    Far3::HANDLE Open(Far3::OPENFROM openFrom, const Far3::GUID& menuGuid, intptr_t data);
    intptr_t Configure(const Far3::GUID& menuGuid, size_t structSize);
    void ExitFar();

private:
    PluginLibrary Library;
    PluginIdentity PluginId;
    Far3::GetGlobalInfoWFunc GetGlobalInfoW = nullptr;
    Far3::SetStartupInfoWFunc SetStartupInfoW = nullptr;
    Far3::GetPluginInfoWFunc GetPluginInfoW = nullptr;
    Far3::OpenWFunc OpenW = nullptr;
    Far3::ConfigureWFunc ConfigureW = nullptr;
    Far3::ExitFARWFunc ExitFARW = nullptr;
};

} // namespace Host
