// TPlugin: the renamer's plugin class, the one plugin object of the library.
#pragma once

#include "framework/Tessel.h"
#include "plugin/uMessages.h"

namespace Zelvane {

using Base::String;

class TPlugin : public Tessel::TFarPlugin {
public:
    TPlugin();
    ~TPlugin() override;

    Far3::GUID GetPluginGuid() override;
    String GetPluginIdentity(String& description, String& author) override;
    void GetMenus(Far3::PLUGIN_FLAGS& flags, TFarPluginMenu& pluginMenu, TFarPluginMenu& configMenu,
                  TFarPluginMenu& diskMenu, String& commandPrefix) override;
    Far3::HANDLE Open(int32_t openFrom, const Far3::GUID* guid, intptr_t data) override;
    bool Configure(const Far3::GUID* const* guid, intptr_t reserved) override;
    void Log(const String& text) override;
    String GetStandardText(int kind) override;
};

} // namespace Zelvane
