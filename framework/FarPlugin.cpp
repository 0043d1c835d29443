#include "framework/FarPlugin.h"

#include "framework/FarErrors.h"
#include "platform/Platform.h"

#include <cstring>
#include <memory>

namespace Tessel {

namespace {

TFarPlugin* RegisteredPlugin = nullptr;

// Identity texts handed to the host by GetGlobalInfoW; they stay valid until
// the library is unloaded. A text asked for again is handed out again.
struct IdentityTexts {
    std::vector<std::unique_ptr<char16_t[]>> Copies;

    const char16_t* Keep(const String& text)
    {
        for (const auto& copy : Copies)
            if (text == copy.get())
                return copy.get();
        Copies.emplace_back(TFarModule::NewCString(text));
        return Copies.back().get();
    }
};

IdentityTexts& KeptIdentityTexts()
{
    static IdentityTexts texts;
    return texts;
}

// A menu as the host reads it, owned until it is handed to the cache, so a
// failure half-way through building releases what was built.
class HostMenu {
public:
    explicit HostMenu(const TFarPlugin::TFarPluginMenu& menu)
    {
        if (menu.empty())
            return;
        Guids = std::make_unique<Far3::GUID[]>(menu.size());
        Strings = std::make_unique<const char16_t*[]>(menu.size());
        for (size_t i = 0; i < menu.size(); ++i) {
            Guids[i] = menu[i].MenuGuid;
            Texts.emplace_back(TFarModule::NewCString(menu[i].Text));
            Strings[i] = Texts.back().get();
        }
    }

    // Hands the arrays and texts to the record; ReleaseHostMenu frees them.
    Far3::PluginMenuItem Release()
    {
        Far3::PluginMenuItem item{};
        item.Count = Texts.size();
        for (auto& text : Texts)
            text.release();
        item.Guids = Guids.release();
        item.Strings = Strings.release();
        return item;
    }

private:
    std::unique_ptr<Far3::GUID[]> Guids;
    std::unique_ptr<const char16_t*[]> Strings;
    std::vector<std::unique_ptr<char16_t[]>> Texts;
};

void ReleaseHostMenu(Far3::PluginMenuItem& item)
{
    auto* strings = const_cast<const char16_t**>(item.Strings);
    auto* guids = const_cast<Far3::GUID*>(item.Guids);
    for (size_t i = 0; i < item.Count; ++i) {
        if (strings != nullptr) {
            auto* text = const_cast<char16_t*>(strings[i]);
            TFarModule::FreeCString(text);
            strings[i] = nullptr;
        }
        if (guids != nullptr)
            guids[i] = Far3::GUID{};
    }
    delete[] strings;
    delete[] guids;
    item = Far3::PluginMenuItem{};
}

} // namespace

TFarPlugin::TFarPlugin()
{
    std::memset(&Info, 0, sizeof(Info));
    std::memset(&StandardFunctions, 0, sizeof(StandardFunctions));
    std::memset(&PluginInfoCache, 0, sizeof(PluginInfoCache));
}

TFarPlugin::~TFarPlugin()
{
    ReleasePluginInfo();
    if (RegisteredPlugin == this)
        RegisteredPlugin = nullptr;
}

void TFarPlugin::ReleasePluginInfo()
{
    if (!PluginInfoReady)
        return;
    ReleaseHostMenu(PluginInfoCache.DiskMenu);
    ReleaseHostMenu(PluginInfoCache.PluginMenu);
    ReleaseHostMenu(PluginInfoCache.PluginConfig);
    auto* prefix = const_cast<char16_t*>(PluginInfoCache.CommandPrefix);
    FreeCString(prefix);
    std::memset(&PluginInfoCache, 0, sizeof(PluginInfoCache));
    PluginInfoReady = false;
}

Far3::VersionInfo TFarPlugin::GetMinFarVersion()
{
    return Far3::VersionInfo{3, 0, 0, 0, Far3::VS_RELEASE};
}

void TFarPlugin::Initialize()
{
}

void TFarPlugin::ExitFar()
{
}

bool TFarPlugin::Configure(const Far3::GUID* const* /*guid*/, intptr_t /*reserved*/)
{
    return false;
}

void TFarPlugin::Log(const String& /*text*/)
{
}

String TFarPlugin::GetStandardText(int kind)
{
    switch (kind) {
    case 0: {
        String description, author;
        return GetPluginIdentity(description, author);
    }
    case 1:
        return u"Exception occurred in function %s";
    case 2:
        return u"&OK";
    case 3:
        return u"&Cancel";
    case 4:
        return u"&Yes";
    case 5:
        return u"&No";
    default:
        return String();
    }
}

Far3::VersionInfo TFarPlugin::GetVersion()
{
    Far3::VersionInfo version{0, 0, 0, 0, Far3::VS_RELEASE};
    char16_t moduleName[4096] = {};
    static const int anchor = 0;
    if (Platform::GetModuleFileNameW(&anchor, moduleName, 4096) == 0)
        return version;
    Platform::DWORD handle = 0;
    const Platform::DWORD size = Platform::GetFileVersionInfoSizeW(moduleName, &handle);
    if (size == 0)
        return version;
    std::vector<unsigned char> block(size);
    if (!Platform::GetFileVersionInfoW(moduleName, handle, size, block.data()))
        return version;
    void* fixed = nullptr;
    Platform::UINT length = 0;
    if (!Platform::VerQueryValueW(block.data(), u"\\", &fixed, &length) || fixed == nullptr ||
        length < sizeof(Platform::VS_FIXEDFILEINFO))
        return version;
    const auto* info = static_cast<const Platform::VS_FIXEDFILEINFO*>(fixed);
    version.Major = info->dwFileVersionMS >> 16;
    version.Minor = info->dwFileVersionMS & 0xFFFF;
    version.Revision = info->dwFileVersionLS >> 16;
    version.Build = info->dwFileVersionLS & 0xFFFF;
    return version;
}

TFarPlugin& TFarPlugin::GetPlugin()
{
    if (RegisteredPlugin == nullptr)
        throw EFarPluginError(u"The plugin has not been initialized yet");
    return *RegisteredPlugin;
}

bool TFarPlugin::HasPlugin()
{
    return RegisteredPlugin != nullptr;
}

void TFarPlugin::RegisterPlugin(TFarPlugin* plugin)
{
    if (RegisteredPlugin != nullptr)
        throw EFarPluginError(u"The plugin has already been initialized");
    RegisteredPlugin = plugin;
}

void TFarPlugin::UnregisterPlugin(TFarPlugin* plugin)
{
    if (RegisteredPlugin == plugin)
        RegisteredPlugin = nullptr;
}

Far3::PluginStartupInfo* TFarPlugin::StartupInfo()
{
    TFarPlugin& plugin = GetPlugin();
    if (plugin.Info.StructSize == 0)
        throw EFarPluginError(u"The host has not handed over its services");
    return &plugin.Info;
}

bool TFarPlugin::HasHostServices()
{
    return RegisteredPlugin != nullptr && RegisteredPlugin->Info.StructSize != 0;
}

void TFarPlugin::SetStartupInfo(const Far3::PluginStartupInfo* info)
{
    // A shorter table is from a host before the settled 3.0 layout: its
    // fields are elsewhere, and reading ours would go past its end.
    if (info == nullptr || info->StructSize < sizeof(Far3::PluginStartupInfo) || info->FSF == nullptr ||
        info->FSF->StructSize < sizeof(Far3::FarStandardFunctions))
        throw EFarPluginError(u"The host's service table is missing or older than Far Manager 3.0's");
    // Exactly the 3.0 prefix of both records, however much longer the host's are.
    std::memcpy(&Info, info, sizeof(Far3::PluginStartupInfo));
    std::memcpy(&StandardFunctions, info->FSF, sizeof(Far3::FarStandardFunctions));
    Info.FSF = &StandardFunctions;
    Initialize();
}

void TFarPlugin::FillGlobalInfo(Far3::GlobalInfo* info)
{
    String description, author;
    const String title = GetPluginIdentity(description, author);
    std::memset(info, 0, sizeof(Far3::GlobalInfo));
    info->StructSize = sizeof(Far3::GlobalInfo);
    info->MinFarVersion = GetMinFarVersion();
    if (!VersionCache)
        VersionCache = GetVersion();
    info->Version = *VersionCache;
    info->Guid = GetPluginGuid();
    auto& kept = KeptIdentityTexts();
    info->Title = kept.Keep(title);
    info->Description = kept.Keep(description);
    info->Author = kept.Keep(author);
}

void TFarPlugin::FillPluginInfo(Far3::PluginInfo* info)
{
    if (!PluginInfoReady) {
        Far3::PLUGIN_FLAGS flags = 0;
        TFarPluginMenu pluginMenu, configMenu, diskMenu;
        String prefix;
        GetMenus(flags, pluginMenu, configMenu, diskMenu, prefix);
        HostMenu disk(diskMenu);
        HostMenu plugin(pluginMenu);
        HostMenu config(configMenu);
        std::unique_ptr<char16_t[]> commandPrefix(prefix.empty() ? nullptr : NewCString(prefix));
        Far3::PluginInfo built{};
        built.StructSize = sizeof(Far3::PluginInfo);
        built.Flags = flags;
        built.DiskMenu = disk.Release();
        built.PluginMenu = plugin.Release();
        built.PluginConfig = config.Release();
        built.CommandPrefix = commandPrefix.release();
        PluginInfoCache = built;
        PluginInfoReady = true;
    }
    std::memcpy(info, &PluginInfoCache, sizeof(Far3::PluginInfo));
}

} // namespace Tessel
