// Far's dialog services for the plugin: DialogInit checks and copies the
// items, DialogRun runs the dialog with the front end as the user,
// SendDlgMessage and DefDlgProc answer for a live dialog, DialogFree ends
// it. A handle is valid from DialogInit to DialogFree; calls with any other
// handle are refused, never followed. F1 in a dialog shows the topic of the
// plugin's help file (HelpFile.h) that the dialog procedure answers.
#pragma once

#include "host/frontends/FrontEnd.h"
#include "host/dialogs/HistoryStore.h"
#include "host/dialogs/HostDialog.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

class DialogService {
public:
    DialogService(FrontEnd& user, HistoryStore& history) : User(user), Histories(history)
    {
        Clip.Offer = [this](std::u16string_view text) { User.OfferClipboard(text); };
    }
    DialogService(const DialogService&) = delete;
    DialogService& operator=(const DialogService&) = delete;

    // Dialogs are created only for this plugin (Far checks the PluginId).
    void SetPlugin(const Far3::GUID& plugin);
    // Where F1 looks for the plugin's help: the .hlf files of the plugin's
    // folder, for this interface language. Unset: no help file is found.
    void SetHelp(std::filesystem::path pluginFolder, std::u16string language);
    // What Shift+Enter, Ctrl+[ and Ctrl+] insert in edit lines; unset: nothing.
    void SetPanelNames(std::function<std::u16string(PanelText)> names) { PanelNames = std::move(names); }
    // The host's clipboard, shared by all dialogs.
    Clipboard& HostClipboard() { return Clip; }

    Far3::HANDLE Init(const Far3::GUID* pluginId, const Far3::GUID* id, intptr_t x1, intptr_t y1, intptr_t x2,
                      intptr_t y2, const char16_t* helpTopic, const Far3::FarDialogItem* items, size_t count,
                      Far3::FARDIALOGFLAGS flags, Far3::FARWINDOWPROC proc, void* param);
    intptr_t Run(Far3::HANDLE handle);
    void Free(Far3::HANDLE handle);
    intptr_t Send(Far3::HANDLE handle, intptr_t msg, intptr_t param1, void* param2);
    intptr_t DefProc(Far3::HANDLE handle, intptr_t msg, intptr_t param1, void* param2);

    // At unload: the dialogs a plugin forgot to free.
    void FreeAll();
    size_t Count() const { return Dialogs.size(); }
    // The live dialog of a handle; null when there is none.
    HostDialog* Find(Far3::HANDLE handle) const;

private:
    // Shows the topic, or tells the user that the file or topic is missing.
    void ShowHelp(std::u16string_view topic);

    FrontEnd& User;
    HistoryStore& Histories;
    Far3::GUID Plugin{};
    bool HavePlugin = false;
    std::filesystem::path HelpFolder;
    std::u16string HelpLanguage;
    std::vector<std::unique_ptr<HostDialog>> Dialogs;
    Clipboard Clip;
    std::function<std::u16string(PanelText)> PanelNames;
    // Freed while running: removed when its run returns.
    std::vector<HostDialog*> FreeAfterRun;
};

} // namespace Host
