#include "host/app/ServiceTable.h"

namespace Host {

namespace {

HostServices* Current = nullptr;

// Runs a service on the current host. Nothing may unwind into the plugin:
// an exception, or no host at all, answers with the refusal value.
template <typename Result, typename Call>
Result Serve(Result refusal, Call call) noexcept
{
    if (!Current)
        return refusal;
    try {
        return call(*Current);
    } catch (...) {
        return refusal;
    }
}

intptr_t ServeMessage(const Far3::GUID* pluginId, const Far3::GUID*, Far3::FARMESSAGEFLAGS flags, const char16_t*,
                      const char16_t* const* items, size_t itemsNumber, intptr_t buttonsNumber)
{
    return Serve<intptr_t>(-1, [&](HostServices& host) {
        return host.Message(pluginId, flags, items, itemsNumber, buttonsNumber);
    });
}

const char16_t* ServeGetMsg(const Far3::GUID* pluginId, intptr_t msgId)
{
    return Serve<const char16_t*>(u"", [&](HostServices& host) { return host.GetMsg(pluginId, msgId); });
}

intptr_t ServePanelControl(Far3::HANDLE panel, Far3::FILE_CONTROL_COMMANDS command, intptr_t param1, void* param2)
{
    return Serve<intptr_t>(0, [&](HostServices& host) { return host.PanelControl(panel, command, param1, param2); });
}

intptr_t ServeEditor(const char16_t* fileName, const char16_t* title, intptr_t x1, intptr_t y1, intptr_t x2,
                     intptr_t y2, Far3::EDITOR_FLAGS flags, intptr_t startLine, intptr_t startChar,
                     uintptr_t codePage)
{
    return Serve<intptr_t>(Far3::EEC_OPEN_ERROR, [&](HostServices& host) {
        return host.Editor(fileName, title, x1, y1, x2, y2, flags, startLine, startChar, codePage);
    });
}

intptr_t ServeViewer(const char16_t* fileName, const char16_t* title, intptr_t x1, intptr_t y1, intptr_t x2,
                     intptr_t y2, Far3::VIEWER_FLAGS flags, uintptr_t codePage)
{
    return Serve<intptr_t>(0, [&](HostServices& host) {
        return host.Viewer(fileName, title, x1, y1, x2, y2, flags, codePage);
    });
}

intptr_t ServeEditorControl(intptr_t editorId, Far3::EDITOR_CONTROL_COMMANDS command, intptr_t param1, void* param2)
{
    return Serve<intptr_t>(0,
                           [&](HostServices& host) { return host.EditorControl(editorId, command, param1, param2); });
}

intptr_t ServeAdvControl(const Far3::GUID* pluginId, Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t param1,
                         void* param2)
{
    return Serve<intptr_t>(0, [&](HostServices& host) { return host.AdvControl(pluginId, command, param1, param2); });
}

intptr_t ServeSettingsControl(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command, intptr_t param1,
                              void* param2)
{
    return Serve<intptr_t>(
        0, [&](HostServices& host) { return host.SettingsControl(handle, command, param1, param2); });
}

size_t ServeConvertPath(Far3::CONVERTPATHMODES mode, const char16_t* source, char16_t* dest, size_t destSize)
{
    return Serve<size_t>(0, [&](HostServices& host) { return host.ConvertPath(mode, source, dest, destSize); });
}

Far3::HANDLE ServeDialogInit(const Far3::GUID* pluginId, const Far3::GUID* id, intptr_t x1, intptr_t y1,
                             intptr_t x2, intptr_t y2, const char16_t* helpTopic, const Far3::FarDialogItem* items,
                             size_t itemsNumber, intptr_t, Far3::FARDIALOGFLAGS flags, Far3::FARWINDOWPROC proc,
                             void* param)
{
    return Serve<Far3::HANDLE>(Far3::InvalidHandleValue, [&](HostServices& host) {
        return host.DialogInit(pluginId, id, x1, y1, x2, y2, helpTopic, items, itemsNumber, flags, proc, param);
    });
}

intptr_t ServeDialogRun(Far3::HANDLE dialog)
{
    return Serve<intptr_t>(-1, [&](HostServices& host) { return host.DialogRun(dialog); });
}

void ServeDialogFree(Far3::HANDLE dialog)
{
    Serve<int>(0, [&](HostServices& host) {
        host.DialogFree(dialog);
        return 0;
    });
}

intptr_t ServeSendDlgMessage(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2)
{
    return Serve<intptr_t>(0, [&](HostServices& host) { return host.SendDlgMessage(dialog, msg, param1, param2); });
}

intptr_t ServeDefDlgProc(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2)
{
    return Serve<intptr_t>(0, [&](HostServices& host) { return host.DefDlgProc(dialog, msg, param1, param2); });
}

// Services this host does not offer. Each refuses the way the plugin reads
// as "nothing happened": menus are cancelled, screens are not saved.
Far3::HANDLE RefuseSaveScreen(intptr_t, intptr_t, intptr_t, intptr_t)
{
    return nullptr;
}
void IgnoreRestoreScreen(Far3::HANDLE) {}

// Menu(): -1 is Far's "nothing chosen". Called through the generic slot type.
intptr_t CancelMenu()
{
    return -1;
}
// Every other slot: 0 is FALSE / NULL / "not done" for all of them.
intptr_t Refuse()
{
    return 0;
}

Far3::FARAPIGENERIC Generic(intptr_t (*function)())
{
    return reinterpret_cast<Far3::FARAPIGENERIC>(function);
}

} // namespace

void SetCurrentHost(HostServices* host)
{
    Current = host;
}

HostServices* CurrentHost()
{
    return Current;
}

Far3::FarStandardFunctions MakeStandardFunctions()
{
    Far3::FarStandardFunctions table{};
    table.StructSize = sizeof table;
    for (auto& slot : table.Slots1To42)
        slot = Generic(Refuse);
    table.ConvertPath = ServeConvertPath;
    table.GetReparsePointInfo = Generic(Refuse);
    table.GetCurrentDirectory = Generic(Refuse);
    table.FormatFileSize = Generic(Refuse);
    return table;
}

Far3::PluginStartupInfo MakeStartupInfo(const char16_t* moduleName, Far3::FarStandardFunctions* standardFunctions)
{
    Far3::PluginStartupInfo info{};
    info.StructSize = sizeof info;
    info.ModuleName = moduleName;
    info.Menu = Generic(CancelMenu);
    info.Message = ServeMessage;
    info.GetMsg = ServeGetMsg;
    info.PanelControl = ServePanelControl;
    info.SaveScreen = RefuseSaveScreen;
    info.RestoreScreen = IgnoreRestoreScreen;
    info.GetDirList = Generic(Refuse);
    info.GetPluginDirList = Generic(Refuse);
    info.FreeDirList = Generic(Refuse);
    info.FreePluginDirList = Generic(Refuse);
    info.Viewer = ServeViewer;
    info.Editor = ServeEditor;
    info.Text = Generic(Refuse);
    info.EditorControl = ServeEditorControl;
    info.FSF = standardFunctions;
    info.ShowHelp = Generic(Refuse);
    info.AdvControl = ServeAdvControl;
    info.InputBox = Generic(Refuse);
    info.ColorDialog = Generic(Refuse);
    info.DialogInit = ServeDialogInit;
    info.DialogRun = ServeDialogRun;
    info.DialogFree = ServeDialogFree;
    info.SendDlgMessage = ServeSendDlgMessage;
    info.DefDlgProc = ServeDefDlgProc;
    info.ViewerControl = Generic(Refuse);
    info.PluginsControl = Generic(Refuse);
    info.FileFilterControl = Generic(Refuse);
    info.RegExpControl = Generic(Refuse);
    info.MacroControl = Generic(Refuse);
    info.SettingsControl = ServeSettingsControl;
    info.Private = nullptr;
    return info;
}

} // namespace Host
