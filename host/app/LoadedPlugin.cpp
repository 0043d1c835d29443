#include "host/app/LoadedPlugin.h"

#include "host/app/HostError.h"
#include "host/text/HostText.h"

#include <tuple>

namespace Host {

namespace {

template <typename Function>
Function ExportOf(const PluginLibrary& library, const char* name)
{
    return reinterpret_cast<Function>(library.Symbol(name));
}

std::string VersionText(const Far3::VersionInfo& v)
{
    return std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." + std::to_string(v.Revision) + "." +
           std::to_string(v.Build);
}

std::vector<PluginMenuEntry> CopyMenu(const Far3::PluginMenuItem& menu)
{
    std::vector<PluginMenuEntry> entries;
    if (!menu.Strings)
        return entries;
    for (size_t i = 0; i < menu.Count; ++i) {
        PluginMenuEntry entry;
        entry.Text = std::u16string(PluginText(menu.Strings[i]));
        if (menu.Guids)
            entry.Guid = menu.Guids[i];
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace

bool VersionNotAbove(const Far3::VersionInfo& version, const Far3::VersionInfo& limit)
{
    return std::tie(version.Major, version.Minor, version.Build, version.Revision) <=
           std::tie(limit.Major, limit.Minor, limit.Build, limit.Revision);
}

LoadedPlugin::LoadedPlugin(const std::filesystem::path& path) : Library(path)
{
    // As Far: only GetGlobalInfoW is required; the other entry points are
    // called when the plugin has them.
    GetGlobalInfoW = ExportOf<Far3::GetGlobalInfoWFunc>(Library, "GetGlobalInfoW");
    if (!GetGlobalInfoW)
        throw HostError(Library.Path().string() + " is not a Far Manager 3 plugin: it has no GetGlobalInfoW export");
    SetStartupInfoW = ExportOf<Far3::SetStartupInfoWFunc>(Library, "SetStartupInfoW");
    GetPluginInfoW = ExportOf<Far3::GetPluginInfoWFunc>(Library, "GetPluginInfoW");
    OpenW = ExportOf<Far3::OpenWFunc>(Library, "OpenW");
    ConfigureW = ExportOf<Far3::ConfigureWFunc>(Library, "ConfigureW");
    ExitFARW = ExportOf<Far3::ExitFARWFunc>(Library, "ExitFARW");

    Far3::GlobalInfo info{};
    info.StructSize = sizeof info;
    GetGlobalInfoW(&info);
    std::string refusal;
    if (info.StructSize == 0)
        refusal = "GlobalInfo.StructSize was cleared";
    else if (PluginText(info.Title).empty())
        refusal = "it gives no Title";
    else if (PluginText(info.Description).empty())
        refusal = "it gives no Description";
    else if (PluginText(info.Author).empty())
        refusal = "it gives no Author";
    else if (IsNullGuid(info.Guid))
        refusal = "its GUID is all zero";
    else if (!VersionNotAbove(info.MinFarVersion, HostFarVersion))
        refusal = "it needs Far " + VersionText(info.MinFarVersion) + ", the host is " + VersionText(HostFarVersion);
    if (!refusal.empty())
        throw HostError("Far Manager 3 refuses the plugin " + Library.Path().string() + ": " + refusal);

    PluginId.Title = PluginText(info.Title);
    PluginId.Description = PluginText(info.Description);
    PluginId.Author = PluginText(info.Author);
    PluginId.Version = info.Version;
    PluginId.MinFarVersion = info.MinFarVersion;
    PluginId.Guid = info.Guid;
}

void LoadedPlugin::SetStartupInfo(const Far3::PluginStartupInfo& info)
{
    if (SetStartupInfoW)
        SetStartupInfoW(&info);
}

PluginMenus LoadedPlugin::QueryPluginInfo()
{
    PluginMenus menus;
    if (!GetPluginInfoW)
        return menus;
    Far3::PluginInfo info{};
    info.StructSize = sizeof info;
    GetPluginInfoW(&info);
    menus.Flags = info.Flags;
    menus.DiskMenu = CopyMenu(info.DiskMenu);
    menus.PluginMenu = CopyMenu(info.PluginMenu);
    menus.PluginConfig = CopyMenu(info.PluginConfig);
    menus.CommandPrefix = PluginText(info.CommandPrefix);
    return menus;
}

Far3::HANDLE LoadedPlugin::Open(Far3::OPENFROM openFrom, const Far3::GUID& menuGuid, intptr_t data)
{
    if (!OpenW)
        return nullptr;
    Far3::OpenInfo info{};
    info.StructSize = sizeof info;
    info.OpenFrom = openFrom;
    info.Guid = &menuGuid;
    info.Data = data;
    return OpenW(&info);
}

intptr_t LoadedPlugin::Configure(const Far3::GUID& menuGuid, size_t structSize)
{
    if (!ConfigureW)
        return 0;
    Far3::ConfigureInfo info{};
    info.StructSize = structSize;
    info.Guid = &menuGuid;
    return ConfigureW(&info);
}

void LoadedPlugin::ExitFar()
{
    if (!ExitFARW)
        return;
    Far3::ExitInfo info{};
    info.StructSize = sizeof info;
    ExitFARW(&info);
}

} // namespace Host
