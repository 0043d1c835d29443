// TFarPlugin: the base of the single plugin object. Holds private copies of
// the host's service table and standard functions, and the cached menus.
#pragma once

#include "framework/FarModule.h"

#include <optional>
#include <vector>

namespace Tessel {

class TFarPlugin : public TFarModule {
public:
    struct TFarPluginMenuItem {
        String Text;
        Far3::GUID MenuGuid;
    };
    using TFarPluginMenu = std::vector<TFarPluginMenuItem>;

    TFarPlugin();
    virtual ~TFarPlugin();
    TFarPlugin(const TFarPlugin&) = delete;
    TFarPlugin& operator=(const TFarPlugin&) = delete;

    virtual Far3::GUID GetPluginGuid() = 0;
    virtual String GetPluginIdentity(String& description, String& author) = 0;
    virtual void GetMenus(Far3::PLUGIN_FLAGS& flags, TFarPluginMenu& pluginMenu, TFarPluginMenu& configMenu,
                          TFarPluginMenu& diskMenu, String& commandPrefix) = 0;
    virtual Far3::HANDLE Open(int32_t openFrom, const Far3::GUID* guid, intptr_t data) = 0;
    virtual Far3::VersionInfo GetMinFarVersion();
    virtual void Initialize();
    virtual void ExitFar();
    virtual bool Configure(const Far3::GUID* const* guid, intptr_t reserved);
    virtual void Log(const String& text);
    virtual String GetStandardText(int kind);
    virtual Far3::VersionInfo GetVersion();

    static TFarPlugin& GetPlugin();
    static bool HasPlugin();
    static void RegisterPlugin(TFarPlugin* plugin);
    // Clears the registration (library unload, or a test that made its own object).
    static void UnregisterPlugin(TFarPlugin* plugin);
    // The service table; raises EFarPluginError while the host has handed
    // over none (or one this plugin cannot use), so no call goes to a null
    // service.
    static Far3::PluginStartupInfo* StartupInfo();
    static bool HasHostServices();

    // Export bodies, called inside the entry guard. SetStartupInfo raises
    // EFarPluginError for a missing table, or one (or standard functions)
    // shorter than Far Manager 3.0's, and keeps the table it had.
    void SetStartupInfo(const Far3::PluginStartupInfo* info);
    void FillGlobalInfo(Far3::GlobalInfo* info);
    void FillPluginInfo(Far3::PluginInfo* info);

    const Far3::PluginStartupInfo& HostInfo() const { return Info; }
    const Far3::PluginInfo& CachedPluginInfo() const { return PluginInfoCache; }

private:
    void ReleasePluginInfo();

    Far3::PluginStartupInfo Info;
    Far3::FarStandardFunctions StandardFunctions;
    bool PluginInfoReady = false;
    Far3::PluginInfo PluginInfoCache;
    // The library's version, read from its file once per load.
    std::optional<Far3::VersionInfo> VersionCache;
};

} // namespace Tessel
