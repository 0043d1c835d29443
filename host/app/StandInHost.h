// StandInHost: Far Manager 3 in a box, for one plugin library at a time.
//
// It loads the plugin as Far does (GetGlobalInfoW, SetStartupInfoW,
// GetPluginInfoW), serves its calls (messages, language, panels, settings,
// editor, screen, paths) and lets the caller act as the user: fill the
// panels, choose the menu item (Open), the configuration item (Configure),
// close editors, and unload (ExitFARW, then the library is freed).
//
// Typical end-to-end use:
//
//     Host::ScriptedFrontEnd user;
//     Host::HostOptions options;
//     options.Profile = profileFolder;          // or leave empty: settings in memory
//     Host::StandInHost host(user, options);
//     host.Load(Host::DefaultPluginPath());
//     host.ActivePanel().ShowFolder(folder);
//     host.SelectByName({u"a.txt", u"b.txt"});
//     user.QueueAnswer(0);                     // the first button of the next box
//     host.Open();                             // OpenW from the plugins menu
//     user.Messages(), user.Editors()          // what the user saw
//     host.Panels().Log(), host.StoredSetting({"Options"}, "Mask")
//
// Only one StandInHost may exist at a time (the service table is global).
#pragma once

#include "host/services/AdvControlService.h"
#include "host/services/ConsoleInput.h"
#include "host/services/EditorService.h"
#include "host/frontends/FrontEnd.h"
#include "host/app/HostServices.h"
#include "host/text/Language.h"
#include "host/settings/LocalProfileVariable.h"
#include "host/app/LoadedPlugin.h"
#include "host/services/MessageService.h"
#include "host/files/Panel.h"
#include "host/services/PanelService.h"
#include "host/app/PluginLibrary.h"
#include "host/services/SettingsService.h"
#include "host/dialogs/HistoryStore.h"
#include "host/services/DialogService.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Host {

struct HostOptions {
    // Far's profile folder: settings go to <Profile>/PluginsData/<GUID>.db.
    // Empty: settings live in memory for the life of the host.
    std::filesystem::path Profile;
    // The local profile (PSL_LOCAL, and FARLOCALPROFILE for the process
    // while the host lives); empty: the same folder as Profile. With
    // neither, FARLOCALPROFILE names a temporary folder removed with the host.
    std::filesystem::path LocalProfile;
    // The interface language, for choosing the .lng file.
    std::u16string Language = u"English";
};

class StandInHost : private HostServices {
public:
    // `user` is not owned and must outlive the host.
    explicit StandInHost(FrontEnd& user, HostOptions options = {});
    ~StandInHost() override;
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    // Loads and starts the plugin; throws HostError when Far would refuse it.
    void Load(const std::filesystem::path& path = DefaultPluginPath());
    bool Loaded() const { return Plugin != nullptr; }
    // ExitFARW, editors closed as at Far's exit, library freed. Safe to repeat.
    void Unload();

    const PluginIdentity& Identity() const;
    // As of the last GetPluginInfoW.
    const PluginMenus& Menus() const { return PluginMenuData; }
    const std::u16string& ModuleName() const { return ModulePath; }

    // The user picks item `menuIndex` of the plugin's entries in the F11 menu.
    Far3::HANDLE Open(size_t menuIndex = 0);
    // The user picks configuration item `configIndex`; `structSize` is what
    // ConfigureInfo.StructSize says (a test may pass an older, smaller size).
    intptr_t Configure(size_t structSize = sizeof(Far3::ConfigureInfo), size_t configIndex = 0);

    Panel& ActivePanel() { return Active; }
    Panel& PassivePanel() { return Passive; }
    // Selects the active panel's items of these names; false if one is missing.
    bool SelectByName(const std::vector<std::u16string>& names, bool selected = true);
    PanelService& Panels() { return PanelCalls; }

    EditorService& Editors() { return EditorWindows; }
    bool CloseEditor(intptr_t id) { return EditorWindows.Close(id); }

    SettingsService& Settings() { return SettingsCalls; }
    // A stored value of the (last) loaded plugin, read straight from the
    // store: `keyPath` are subkey names below the plugin's root.
    std::optional<SettingValue> StoredSetting(const std::vector<std::string>& keyPath, const std::string& name,
                                              Far3::FARSETTINGS_SUBFOLDERS place = Far3::PSL_ROAMING);

    // Writes a value into the (last) loaded plugin's store, as the user's
    // earlier sessions would have left it; false when the store refuses.
    bool StoreSetting(const std::vector<std::string>& keyPath, const std::string& name, const SettingValue& value,
                      Far3::FARSETTINGS_SUBFOLDERS place = Far3::PSL_ROAMING);

    DialogService& Dialogs() { return DialogCalls; }
    HistoryStore& Histories() { return *History; }

    int Redraws() const { return Screen.Redraws(); }
    // Every taskbar progress state the plugin set, in order.
    const std::vector<Far3::TASKBARPROGRESSTATE>& TaskbarStates() const { return Screen.TaskbarStates(); }
    // The folder relative paths are taken from: the active panel's folder.
    std::filesystem::path CurrentDirectory() const;

private:
    // What Shift+Enter, Ctrl+[ and Ctrl+] insert in a dialog's edit line.
    std::u16string PanelName(PanelText which) const;
    intptr_t Message(const Far3::GUID* pluginId, Far3::FARMESSAGEFLAGS flags, const char16_t* const* items,
                     size_t itemsNumber, intptr_t buttonsNumber) override;
    const char16_t* GetMsg(const Far3::GUID* pluginId, intptr_t msgId) override;
    intptr_t PanelControl(Far3::HANDLE panel, Far3::FILE_CONTROL_COMMANDS command, intptr_t param1,
                          void* param2) override;
    intptr_t Editor(const char16_t* fileName, const char16_t* title, intptr_t x1, intptr_t y1, intptr_t x2,
                    intptr_t y2, Far3::EDITOR_FLAGS flags, intptr_t startLine, intptr_t startChar,
                    uintptr_t codePage) override;
    intptr_t EditorControl(intptr_t editorId, Far3::EDITOR_CONTROL_COMMANDS command, intptr_t param1,
                           void* param2) override;
    // Every viewer is modal here: the call returns when the user has closed
    // it, and the file goes then when the flags ask for it.
    intptr_t Viewer(const char16_t* fileName, const char16_t* title, intptr_t x1, intptr_t y1, intptr_t x2,
                    intptr_t y2, Far3::VIEWER_FLAGS flags, uintptr_t codePage) override;
    intptr_t AdvControl(const Far3::GUID* pluginId, Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t param1,
                        void* param2) override;
    intptr_t SettingsControl(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command, intptr_t param1,
                             void* param2) override;
    size_t ConvertPath(Far3::CONVERTPATHMODES mode, const char16_t* source, char16_t* dest,
                       size_t destSize) override;
    Far3::HANDLE DialogInit(const Far3::GUID* pluginId, const Far3::GUID* id, intptr_t x1, intptr_t y1, intptr_t x2,
                            intptr_t y2, const char16_t* helpTopic, const Far3::FarDialogItem* items,
                            size_t itemsNumber, Far3::FARDIALOGFLAGS flags, Far3::FARWINDOWPROC proc,
                            void* param) override;
    intptr_t DialogRun(Far3::HANDLE dialog) override;
    void DialogFree(Far3::HANDLE dialog) override;
    intptr_t SendDlgMessage(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2) override;
    intptr_t DefDlgProc(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2) override;

    LoadedPlugin& RequirePlugin() const;

    HostOptions Options;
    LocalProfileVariable LocalProfileFolder;
    FrontEnd& User;
    std::unique_ptr<SettingsStore> Store;
    MessageService Messages;
    AdvControlService Screen;
    Panel Active;
    Panel Passive;
    PanelService PanelCalls;
    EditorService EditorWindows;
    SettingsService SettingsCalls;
    std::unique_ptr<HistoryStore> History;
    DialogService DialogCalls;
    ConsoleInput Console;
    std::unique_ptr<Language> Texts;
    std::unique_ptr<LoadedPlugin> Plugin;
    PluginIdentity LastIdentity;
    PluginMenus PluginMenuData;
    std::u16string ModulePath;
};

} // namespace Host
