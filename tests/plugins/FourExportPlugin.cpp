// A Far Manager 3 plugin of the smallest kind Far loads, to show that the
// stand-in host loads what Far loads: the four exports of Far's own
// samples (GetGlobalInfoW, SetStartupInfoW, GetPluginInfoW, OpenW; no
// ConfigureW, no ExitFARW), the MinFarVersion of a current SDK, and a
// message box with a separator line as its whole work. Built a second time
// with FOUR_EXPORT_MIN_FAR_BUILD set to a build newer than the host's, as a
// plugin the host must refuse.
#include "far3/Plugin3.h"

#include <cstdint>

namespace {

#ifdef FOUR_EXPORT_MIN_FAR_BUILD
constexpr uint32_t MinFarBuild = FOUR_EXPORT_MIN_FAR_BUILD;
#else
constexpr uint32_t MinFarBuild = 6727;
#endif

constexpr Far3::GUID PluginGuid{0x5A1C0D3E, 0x7B21, 0x4C6F, {0x9E, 0x08, 0x31, 0xD4, 0x6A, 0x2B, 0x7C, 0x10}};
constexpr Far3::GUID MenuGuid{0x5A1C0D3E, 0x7B21, 0x4C6F, {0x9E, 0x08, 0x31, 0xD4, 0x6A, 0x2B, 0x7C, 0x11}};
constexpr Far3::GUID MessageGuid{0x5A1C0D3E, 0x7B21, 0x4C6F, {0x9E, 0x08, 0x31, 0xD4, 0x6A, 0x2B, 0x7C, 0x12}};

// The host's services, copied at SetStartupInfoW: Far's record may not outlive the call.
Far3::PluginStartupInfo Services{};

} // namespace

FAR_EXPORT void GetGlobalInfoW(Far3::GlobalInfo* info)
{
    info->StructSize = sizeof *info;
    info->MinFarVersion = Far3::VersionInfo{3, 0, 0, MinFarBuild, Far3::VS_RELEASE};
    info->Version = Far3::VersionInfo{1, 0, 0, 1, Far3::VS_RELEASE};
    info->Guid = PluginGuid;
    info->Title = u"Four exports";
    info->Description = u"The smallest plugin Far loads";
    info->Author = u"Zelvane 3 tests";
}

FAR_EXPORT void SetStartupInfoW(const Far3::PluginStartupInfo* info)
{
    Services = *info;
}

FAR_EXPORT void GetPluginInfoW(Far3::PluginInfo* info)
{
    static const char16_t* const menuStrings[] = {u"Four exports"};
    info->StructSize = sizeof *info;
    info->Flags = Far3::PF_NONE;
    info->PluginMenu.Guids = &MenuGuid;
    info->PluginMenu.Strings = menuStrings;
    info->PluginMenu.Count = 1;
}

FAR_EXPORT Far3::HANDLE OpenW(const Far3::OpenInfo*)
{
    const char16_t* const items[] = {u"Four exports", u"Hello, world", u"\x01", u"from a plugin with four exports",
                                     u"&OK"};
    Services.Message(&PluginGuid, &MessageGuid, 0, nullptr, items, sizeof items / sizeof items[0], 1);
    return nullptr;
}
