// The library's entry-point module: the one plugin object, alive from load
// to unload, and the six exports Far Manager calls.
#include "framework/FarEntry.h"
#include "framework/FarPlugin.h"
#include "plugin/uPlugin.h"

namespace {

// Registered at load; at unload the object is destroyed while still
// registered (its options may still talk to the host), and its base class
// clears the registration last.
struct PluginInstance {
    Zelvane::TPlugin Plugin;

    PluginInstance() { Tessel::TFarPlugin::RegisterPlugin(&Plugin); }
};

PluginInstance Instance;

} // namespace

FAR_EXPORT void SetStartupInfoW(const Far3::PluginStartupInfo* info)
{
    Tessel::Entry::SetStartupInfoW(info);
}

FAR_EXPORT void GetGlobalInfoW(Far3::GlobalInfo* info)
{
    Tessel::Entry::GetGlobalInfoW(info);
}

FAR_EXPORT void GetPluginInfoW(Far3::PluginInfo* info)
{
    Tessel::Entry::GetPluginInfoW(info);
}

FAR_EXPORT Far3::HANDLE OpenW(const Far3::OpenInfo* info)
{
    return Tessel::Entry::OpenW(info);
}

FAR_EXPORT intptr_t ConfigureW(const Far3::ConfigureInfo* info)
{
    return Tessel::Entry::ConfigureW(info);
}

FAR_EXPORT void ExitFARW(const Far3::ExitInfo* info)
{
    Tessel::Entry::ExitFARW(info);
}
