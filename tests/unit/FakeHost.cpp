#include "FakeHost.h"

#include "platform/Platform.h"

#include <cstring>
#include <random>
#include <stdexcept>

namespace TestSupport {

namespace {

FakeHost* CurrentHost = nullptr;

constexpr const char16_t* LocalProfileVariable = u"FARLOCALPROFILE";

std::optional<String> ReadVariable(const char16_t* name)
{
    const Platform::DWORD needed = Platform::GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0)
        return std::nullopt;
    String value(needed, u'\0');
    value.resize(Platform::GetEnvironmentVariableW(name, value.data(), needed));
    return value;
}

std::filesystem::path MakeLocalProfile()
{
    std::random_device random;
    const auto folder = std::filesystem::temp_directory_path() / ("zelvane-local-" + std::to_string(random()));
    std::filesystem::create_directories(folder);
    return folder;
}

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

Far3::HANDLE HostDialogInit(const Far3::GUID* pluginId, const Far3::GUID* id, intptr_t x1, intptr_t y1,
                            intptr_t x2, intptr_t y2, const char16_t* helpTopic, const Far3::FarDialogItem* items,
                            size_t count, intptr_t, Far3::FARDIALOGFLAGS flags, Far3::FARWINDOWPROC proc,
                            void* param)
{
    auto& host = FakeHost::Current();
    DialogInitCall call;
    call.PluginId = *pluginId;
    call.Id = *id;
    call.X1 = x1;
    call.Y1 = y1;
    call.X2 = x2;
    call.Y2 = y2;
    call.HelpTopic = helpTopic ? helpTopic : u"";
    if (items != nullptr)
        call.Items.assign(items, items + count);
    call.Flags = flags;
    call.DlgProc = proc;
    call.Param = param;
    host.DialogInits.push_back(call);
    return host.DialogInit ? host.DialogInit(call) : Far3::InvalidHandleValue;
}

intptr_t HostDialogRun(Far3::HANDLE dialog)
{
    auto& host = FakeHost::Current();
    host.DialogRuns.push_back(dialog);
    return host.DialogRun ? host.DialogRun(dialog) : 0;
}

void HostDialogFree(Far3::HANDLE dialog)
{
    auto& host = FakeHost::Current();
    host.FreedDialogs.push_back(dialog);
    if (host.DialogFree)
        host.DialogFree(dialog);
}

intptr_t HostSendDlgMessage(Far3::HANDLE dialog, intptr_t msg, intptr_t p1, void* p2)
{
    auto& host = FakeHost::Current();
    host.SentDialogMessages.push_back({dialog, msg, p1, p2});
    return host.SendDlgMessage ? host.SendDlgMessage(dialog, msg, p1, p2) : 0;
}

intptr_t HostDefDlgProc(Far3::HANDLE dialog, intptr_t msg, intptr_t p1, void* p2)
{
    auto& host = FakeHost::Current();
    host.DefaultedMessages.push_back({dialog, msg, p1, p2});
    return host.DefDlgProc ? host.DefDlgProc(dialog, msg, p1, p2) : 0;
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
    Info.DialogInit = HostDialogInit;
    Info.DialogRun = HostDialogRun;
    Info.DialogFree = HostDialogFree;
    Info.SendDlgMessage = HostSendDlgMessage;
    Info.DefDlgProc = HostDefDlgProc;
    Info.FSF = &Functions;
    PluginObject->SetStartupInfo(&Info);

    PreviousLocalProfile = ReadVariable(LocalProfileVariable);
    LocalProfile = MakeLocalProfile();
    Platform::SetEnvironmentVariableW(LocalProfileVariable, LocalProfile.u16string().c_str());
}

FakeHost::~FakeHost()
{
    Platform::SetEnvironmentVariableW(LocalProfileVariable,
                                      PreviousLocalProfile ? PreviousLocalProfile->c_str() : nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(LocalProfile, ignored);
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
