#include "FakeHost.h"

#include <cstring>
#include <stdexcept>

namespace TestSupport {

namespace {

FakeHost* CurrentHost = nullptr;

const char16_t* HostGetMsg(const Far3::GUID*, intptr_t id)
{
    auto& host = FakeHost::Current();
    ++host.GetMsgCalls;
    if (host.GetMsg)
        return host.GetMsg(id);
    const auto it = host.Messages.find(id);
    return it == host.Messages.end() ? u"" : it->second.c_str();
}

intptr_t HostMessage(const Far3::GUID*, const Far3::GUID*, Far3::FARMESSAGEFLAGS flags, const char16_t*,
                     const char16_t* const* items, size_t count, intptr_t buttons)
{
    auto& host = FakeHost::Current();
    ShownMessage shown;
    shown.Flags = flags;
    shown.Buttons = buttons;
    for (size_t i = 0; i < count; ++i)
        shown.Items.emplace_back(items[i] ? items[i] : u"");
    host.ShownMessages.push_back(shown);
    return host.Message ? host.Message(shown) : 0;
}

intptr_t HostPanelControl(Far3::HANDLE panel, Far3::FILE_CONTROL_COMMANDS command, intptr_t p1, void* p2)
{
    auto& host = FakeHost::Current();
    return host.PanelControl ? host.PanelControl(panel, command, p1, p2) : 0;
}

intptr_t HostSettingsControl(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command, intptr_t p1,
                             void* p2)
{
    auto& host = FakeHost::Current();
    return host.SettingsControl ? host.SettingsControl(handle, command, p1, p2) : 0;
}

intptr_t HostAdvControl(const Far3::GUID*, Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t p1, void* p2)
{
    auto& host = FakeHost::Current();
    return host.AdvControl ? host.AdvControl(command, p1, p2) : 0;
}

intptr_t HostEditor(const char16_t* file, const char16_t* title, intptr_t x1, intptr_t y1, intptr_t x2,
                    intptr_t y2, Far3::EDITOR_FLAGS flags, intptr_t line, intptr_t chr, uintptr_t cp)
{
    auto& host = FakeHost::Current();
    return host.Editor ? host.Editor(file, title, x1, y1, x2, y2, flags, line, chr, cp) : 0;
}

intptr_t HostEditorControl(intptr_t id, Far3::EDITOR_CONTROL_COMMANDS command, intptr_t p1, void* p2)
{
    auto& host = FakeHost::Current();
    return host.EditorControl ? host.EditorControl(id, command, p1, p2) : 0;
}

size_t HostConvertPath(Far3::CONVERTPATHMODES mode, const char16_t* src, char16_t* dest, size_t size)
{
    auto& host = FakeHost::Current();
    ++host.ConvertPathCalls;
    if (host.ConvertPath)
        return host.ConvertPath(mode, src, dest, size);
    // Default: the path as it is.
    const size_t length = std::char_traits<char16_t>::length(src);
    if (dest != nullptr && size != 0) {
        const size_t n = std::min(length, size - 1);
        std::memcpy(dest, src, n * sizeof(char16_t));
        dest[n] = 0;
    }
    return length + 1;
}

} // namespace

FakeHost::FakeHost(Tessel::TFarPlugin* plugin)
{
    if (CurrentHost != nullptr)
        throw std::logic_error("only one FakeHost at a time");
    CurrentHost = this;
    if (plugin == nullptr) {
        OwnedPlugin = std::make_unique<TestPlugin>();
        plugin = OwnedPlugin.get();
    }
    PluginObject = plugin;
    Tessel::TFarPlugin::RegisterPlugin(PluginObject);

    Functions.StructSize = sizeof(Functions);
    Functions.ConvertPath = HostConvertPath;
    Info.StructSize = sizeof(Info);
    Info.GetMsg = HostGetMsg;
    Info.Message = HostMessage;
    Info.PanelControl = HostPanelControl;
    Info.SettingsControl = HostSettingsControl;
    Info.AdvControl = HostAdvControl;
    Info.Editor = HostEditor;
    Info.EditorControl = HostEditorControl;
    Info.FSF = &Functions;
    PluginObject->SetStartupInfo(&Info);
}

FakeHost::~FakeHost()
{
    Tessel::TFarPlugin::UnregisterPlugin(PluginObject);
    CurrentHost = nullptr;
}

FakeHost& FakeHost::Current()
{
    if (CurrentHost == nullptr)
        throw std::logic_error("no FakeHost");
    return *CurrentHost;
}

} // namespace TestSupport
