#include "host/app/StandInHost.h"

#include "host/app/HostError.h"
#include "host/text/HostText.h"
#include "host/settings/MemorySettingsStore.h"
#include "host/files/PathConversion.h"
#include "host/app/ServiceTable.h"
#include "host/settings/SqliteSettingsStore.h"

namespace Host {

namespace {

std::unique_ptr<SettingsStore> MakeStore(const HostOptions& options)
{
#if !defined(ZELVANE_HOST_NO_SQLITE)
    if (!options.Profile.empty())
        return std::make_unique<SqliteSettingsStore>(
            options.Profile, options.LocalProfile.empty() ? options.Profile : options.LocalProfile);
#else
    (void)options;
#endif
    return std::make_unique<MemorySettingsStore>();
}

} // namespace

StandInHost::StandInHost(FrontEnd& user, HostOptions options)
    : Options(std::move(options)),
      LocalProfileFolder(Options.LocalProfile.empty() ? Options.Profile : Options.LocalProfile), User(user), Store(MakeStore(Options)), Messages(User),
      Screen(User), PanelCalls(Active, Passive, User), EditorWindows(User, Messages), SettingsCalls(*Store),
      History(MakeHistoryStore(Options.LocalProfile.empty() ? Options.Profile : Options.LocalProfile)),
      DialogCalls(User, *History), Console(User)
{
    if (CurrentHost())
        throw HostError("Only one stand-in host may exist at a time");
    SetCurrentHost(this);
    DialogCalls.SetPanelNames([this](PanelText which) { return PanelName(which); });
    Messages.SetClipboard(&DialogCalls.HostClipboard());
}

std::u16string StandInHost::PanelName(PanelText which) const
{
    // The active panel is the left one.
    const Panel& panel = which == PanelText::ActiveFile || which == PanelText::LeftFolder ? Active : Passive;
    if (which == PanelText::ActiveFile || which == PanelText::PassiveFile) {
        if (panel.CurrentItem() >= panel.Items().size() || panel.Items()[panel.CurrentItem()].IsParentLink())
            return {};
        return std::u16string(panel.Items()[panel.CurrentItem()].Name);
    }
    // A folder is inserted with its closing separator, as Far does.
    std::u16string folder = panel.Directory();
    if (!folder.empty() && folder.back() != u'/' && folder.back() != u'\\')
        folder += folder.find(u'\\') != std::u16string::npos ? u'\\' : u'/';
    return folder;
}

StandInHost::~StandInHost()
{
    Unload();
    SetCurrentHost(nullptr);
}

void StandInHost::Load(const std::filesystem::path& path)
{
    if (Plugin)
        throw HostError("A plugin is already loaded");
    auto plugin = std::make_unique<LoadedPlugin>(path);
    LastIdentity = plugin->Identity();
    SettingsCalls.SetPlugin(LastIdentity.Guid, LastIdentity.Title);
    DialogCalls.SetPlugin(LastIdentity.Guid);
    Texts = std::make_unique<Language>(plugin->Path().parent_path(), Options.Language);
    DialogCalls.SetHelp(plugin->Path().parent_path(), Options.Language);
    ModulePath = PathToUtf16(plugin->Path());
    Plugin = std::move(plugin);

    // Both tables are temporaries, as in Far: the plugin must copy them.
    Far3::FarStandardFunctions standardFunctions = MakeStandardFunctions();
    Far3::PluginStartupInfo startupInfo = MakeStartupInfo(ModulePath.c_str(), &standardFunctions);
    Plugin->SetStartupInfo(startupInfo);
    PluginMenuData = Plugin->QueryPluginInfo();
}

void StandInHost::Unload()
{
    if (!Plugin)
        return;
    EditorWindows.CloseAll();
    Plugin->ExitFar();
    // Far destroys the dialogs a plugin forgot to free when it unloads it.
    DialogCalls.FreeAll();
    SettingsCalls.DiscardAll();
    Plugin.reset();
    Texts.reset();
}

LoadedPlugin& StandInHost::RequirePlugin() const
{
    if (!Plugin)
        throw HostError("No plugin is loaded");
    return *Plugin;
}

const PluginIdentity& StandInHost::Identity() const
{
    return RequirePlugin().Identity();
}

Far3::HANDLE StandInHost::Open(size_t menuIndex)
{
    LoadedPlugin& plugin = RequirePlugin();
    // Far builds the F11 menu from a fresh GetPluginInfoW first.
    PluginMenuData = plugin.QueryPluginInfo();
    if (menuIndex >= PluginMenuData.PluginMenu.size())
        throw HostError("The plugin has no plugins-menu item " + std::to_string(menuIndex));
    Far3::GUID guid = PluginMenuData.PluginMenu[menuIndex].Guid;
    Console.Deliver();
    return plugin.Open(Far3::OPEN_PLUGINSMENU, guid, 0);
}

intptr_t StandInHost::Configure(size_t structSize, size_t configIndex)
{
    LoadedPlugin& plugin = RequirePlugin();
    PluginMenuData = plugin.QueryPluginInfo();
    if (configIndex >= PluginMenuData.PluginConfig.size())
        throw HostError("The plugin has no configuration item " + std::to_string(configIndex));
    Far3::GUID guid = PluginMenuData.PluginConfig[configIndex].Guid;
    intptr_t changed = plugin.Configure(guid, structSize);
    if (changed && Plugin)
        PluginMenuData = Plugin->QueryPluginInfo();
    return changed;
}

bool StandInHost::SelectByName(const std::vector<std::u16string>& names, bool selected)
{
    bool allFound = true;
    for (const std::u16string& name : names) {
        std::optional<size_t> index = Active.Find(name);
        if (index)
            Active.Select(*index, selected);
        else
            allFound = false;
    }
    return allFound;
}

std::optional<SettingValue> StandInHost::StoredSetting(const std::vector<std::string>& keyPath,
                                                       const std::string& name, Far3::FARSETTINGS_SUBFOLDERS place)
{
    if (IsNullGuid(LastIdentity.Guid))
        return std::nullopt;
    std::unique_ptr<SettingsSession> session = Store->Open(LastIdentity.Guid, LastIdentity.Title, place);
    if (!session)
        return std::nullopt;
    SettingsKeyId key = session->PluginRoot();
    for (const std::string& part : keyPath) {
        std::optional<SettingsKeyId> child = session->FindKey(key, part);
        if (!child)
            return std::nullopt;
        key = *child;
    }
    return session->GetValue(key, name);
}

bool StandInHost::StoreSetting(const std::vector<std::string>& keyPath, const std::string& name,
                               const SettingValue& value, Far3::FARSETTINGS_SUBFOLDERS place)
{
    if (IsNullGuid(LastIdentity.Guid))
        return false;
    std::unique_ptr<SettingsSession> session = Store->Open(LastIdentity.Guid, LastIdentity.Title, place);
    if (!session)
        return false;
    SettingsKeyId key = session->PluginRoot();
    for (const std::string& part : keyPath) {
        std::optional<SettingsKeyId> child = session->CreateKey(key, part);
        if (!child)
            return false;
        key = *child;
    }
    return session->SetValue(key, name, value) && session->Commit();
}

std::filesystem::path StandInHost::CurrentDirectory() const
{
    if (!Active.Folder().empty())
        return Active.Folder();
    std::error_code error;
    return std::filesystem::current_path(error);
}

intptr_t StandInHost::Message(const Far3::GUID*, Far3::FARMESSAGEFLAGS flags, const char16_t* const* items,
                              size_t itemsNumber, intptr_t buttonsNumber)
{
    return Messages.Message(flags, items, itemsNumber, buttonsNumber);
}

const char16_t* StandInHost::GetMsg(const Far3::GUID* pluginId, intptr_t msgId)
{
    if (!Plugin || !Texts || !pluginId || !(*pluginId == Plugin->Identity().Guid))
        return u"";
    Language::Lookup found = Texts->Message(msgId);
    if (found.Result == Language::Status::OutOfRange)
        Messages.Show({Far3::FMSG_WARNING, "Error",
                       {"Bad language file: message " + std::to_string(msgId) + " not found"}, {"Ok", "Quit"}});
    return found.Text;
}

intptr_t StandInHost::PanelControl(Far3::HANDLE panel, Far3::FILE_CONTROL_COMMANDS command, intptr_t param1,
                                   void* param2)
{
    return PanelCalls.Control(panel, command, param1, param2);
}

intptr_t StandInHost::Editor(const char16_t* fileName, const char16_t* title, intptr_t x1, intptr_t y1, intptr_t x2,
                             intptr_t y2, Far3::EDITOR_FLAGS flags, intptr_t startLine, intptr_t startChar,
                             uintptr_t codePage)
{
    EditorWindow request;
    request.FileName = PathFromUtf16(PluginText(fileName));
    request.Title = Utf16ToUtf8(PluginText(title));
    request.X1 = x1;
    request.Y1 = y1;
    request.X2 = x2;
    request.Y2 = y2;
    request.Flags = flags;
    request.StartLine = startLine;
    request.StartChar = startChar;
    request.CodePage = codePage;
    return EditorWindows.Open(request, CurrentDirectory());
}

intptr_t StandInHost::Viewer(const char16_t* fileName, const char16_t* title, intptr_t x1, intptr_t y1, intptr_t x2,
                             intptr_t y2, Far3::VIEWER_FLAGS flags, uintptr_t codePage)
{
    ViewerWindow viewer;
    viewer.FileName = PathFromUtf16(PluginText(fileName));
    if (viewer.FileName.empty())
        return 0;
    if (viewer.FileName.is_relative())
        viewer.FileName = CurrentDirectory() / viewer.FileName;
    viewer.FileName = viewer.FileName.lexically_normal();
    viewer.Title = Utf16ToUtf8(PluginText(title));
    viewer.X1 = x1;
    viewer.Y1 = y1;
    viewer.X2 = x2;
    viewer.Y2 = y2;
    viewer.Flags = flags;
    viewer.CodePage = codePage;
    std::error_code error;
    if (!std::filesystem::is_regular_file(viewer.FileName, error))
        return 0;
    User.ShowViewer(viewer);
    if (flags & (Far3::VF_DELETEONCLOSE | Far3::VF_DELETEONLYFILEONCLOSE)) {
        std::filesystem::remove(viewer.FileName, error);
        // VF_DELETEONCLOSE also takes the folder when the file was its last.
        if ((flags & Far3::VF_DELETEONCLOSE) && std::filesystem::is_empty(viewer.FileName.parent_path(), error))
            std::filesystem::remove(viewer.FileName.parent_path(), error);
    }
    return 1;
}

intptr_t StandInHost::EditorControl(intptr_t editorId, Far3::EDITOR_CONTROL_COMMANDS command, intptr_t param1,
                                    void* param2)
{
    return EditorWindows.Control(editorId, command, param1, param2);
}

intptr_t StandInHost::AdvControl(const Far3::GUID*, Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t param1,
                                 void* param2)
{
    return Screen.Control(command, param1, param2);
}

intptr_t StandInHost::SettingsControl(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command,
                                      intptr_t param1, void* param2)
{
    return SettingsCalls.Control(handle, command, param1, param2);
}

size_t StandInHost::ConvertPath(Far3::CONVERTPATHMODES mode, const char16_t* source, char16_t* dest,
                                size_t destSize)
{
    return Host::ConvertPath(mode, source, dest, destSize, PathToUtf16(CurrentDirectory()));
}

Far3::HANDLE StandInHost::DialogInit(const Far3::GUID* pluginId, const Far3::GUID* id, intptr_t x1, intptr_t y1,
                                     intptr_t x2, intptr_t y2, const char16_t* helpTopic,
                                     const Far3::FarDialogItem* items, size_t itemsNumber,
                                     Far3::FARDIALOGFLAGS flags, Far3::FARWINDOWPROC proc, void* param)
{
    return DialogCalls.Init(pluginId, id, x1, y1, x2, y2, helpTopic, items, itemsNumber, flags, proc, param);
}

intptr_t StandInHost::DialogRun(Far3::HANDLE dialog)
{
    const intptr_t result = DialogCalls.Run(dialog);
    // What the user typed after the dialog reaches the plugin's console.
    Console.Deliver();
    return result;
}

void StandInHost::DialogFree(Far3::HANDLE dialog)
{
    DialogCalls.Free(dialog);
}

intptr_t StandInHost::SendDlgMessage(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2)
{
    return DialogCalls.Send(dialog, msg, param1, param2);
}

intptr_t StandInHost::DefDlgProc(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2)
{
    return DialogCalls.DefProc(dialog, msg, param1, param2);
}

} // namespace Host
