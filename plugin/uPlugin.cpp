#include "plugin/uPlugin.h"

#include "plugin/uPluginConsts.h"

namespace Zelvane {

namespace {

String Msg(TMessage id)
{
    if (id == TMessage::None)
        return String();
    return Tessel::TFarModule::GetMsg(static_cast<intptr_t>(id));
}

} // namespace

TPlugin::TPlugin() = default;

TPlugin::~TPlugin() = default;

Far3::GUID TPlugin::GetPluginGuid()
{
    return PluginGuid;
}

String TPlugin::GetPluginIdentity(String& description, String& author)
{
    description = u"Zelvane 3";
    author = u"The Zelvane developers, https://zelvane.example.org";
    return u"Zelvane3";
}

void TPlugin::GetMenus(Far3::PLUGIN_FLAGS& /*flags*/, TFarPluginMenu& pluginMenu, TFarPluginMenu& configMenu,
                       TFarPluginMenu& /*diskMenu*/, String& /*commandPrefix*/)
{
    pluginMenu.push_back({Msg(TMessage::Title), PluginMenuGuid});
    configMenu.push_back({Msg(TMessage::Title), ConfigMenuGuid});
}

Far3::HANDLE TPlugin::Open(int32_t /*openFrom*/, const Far3::GUID* /*guid*/, intptr_t /*data*/)
{
    const std::vector<String> items{Msg(TMessage::Title), Msg(TMessage::NothingToRename), Msg(TMessage::Ok)};
    ShowMessage(items, 2, Far3::FMSG_WARNING, 1);
    return nullptr;
}

bool TPlugin::Configure(const Far3::GUID* const* /*guid*/, intptr_t /*reserved*/)
{
    return false;
}

void TPlugin::Log(const String& /*text*/)
{
}

String TPlugin::GetStandardText(int kind)
{
    switch (kind) {
    case 0:
        return Msg(TMessage::Title);
    case 1:
        return Msg(TMessage::ExceptionCaption);
    case 2:
        return Msg(TMessage::Ok);
    case 3:
        return Msg(TMessage::Cancel);
    case 4:
        return Msg(TMessage::Yes);
    case 5:
        return Msg(TMessage::No);
    default:
        return TFarPlugin::GetStandardText(kind);
    }
}

} // namespace Zelvane
