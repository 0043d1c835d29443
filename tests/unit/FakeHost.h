// A fake host for unit tests, benchmarks and fuzz targets: a registered
// plugin object whose service table forwards every call to std::function
// hooks a test can set, and records what it was asked. Only one FakeHost
// exists at a time. Like Far, it names a machine-local profile folder in
// FARLOCALPROFILE while it lives: a fresh temporary one, removed afterwards.
#pragma once

#include "framework/FarPlugin.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <map>
#include <memory>
#include <vector>

namespace TestSupport {

using Base::String;

// A shown message box, as the host received it.
struct ShownMessage {
    Far3::FARMESSAGEFLAGS Flags = 0;
    std::vector<String> Items;
    intptr_t Buttons = 0;
};

// A DialogInit call, with a copy of the item records it was given.
struct DialogInitCall {
    Far3::GUID PluginId{};
    Far3::GUID Id{};
    intptr_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    String HelpTopic;
    std::vector<Far3::FarDialogItem> Items;
    Far3::FARDIALOGFLAGS Flags = 0;
    Far3::FARWINDOWPROC DlgProc = nullptr;
    void* Param = nullptr;
};

// A message sent to a host dialog (SendDlgMessage) or passed to the host's
// default processing (DefDlgProc).
struct DialogMessage {
    Far3::HANDLE Dialog = nullptr;
    intptr_t Msg = 0;
    intptr_t Param1 = 0;
    void* Param2 = nullptr;
};

class TestPlugin : public Tessel::TFarPlugin {
public:
    Far3::GUID GetPluginGuid() override { return Guid; }
    String GetPluginIdentity(String& description, String& author) override
    {
        description = u"Test plugin";
        author = u"Tests";
        return u"TestTitle";
    }
    void GetMenus(Far3::PLUGIN_FLAGS&, TFarPluginMenu&, TFarPluginMenu&, TFarPluginMenu&, String&) override {}
    Far3::HANDLE Open(int32_t, const Far3::GUID*, intptr_t) override { return OnOpen ? OnOpen() : nullptr; }
    bool Configure(const Far3::GUID* const*, intptr_t) override
    {
        ++ConfigureCalls;
        return OnConfigure ? OnConfigure() : false;
    }
    void Log(const String& text) override { LogLines.push_back(text); }
    String GetStandardText(int kind) override
    {
        const auto it = StandardTexts.find(kind);
        return it != StandardTexts.end() ? it->second : TFarPlugin::GetStandardText(kind);
    }

    std::function<Far3::HANDLE()> OnOpen;
    std::function<bool()> OnConfigure;
    std::map<int, String> StandardTexts;
    int ConfigureCalls = 0;

    Far3::GUID Guid{0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
    std::vector<String> LogLines;
};

class FakeHost {
public:
    // Registers `plugin` (a TestPlugin when null) and hands it the fake service table.
    explicit FakeHost(Tessel::TFarPlugin* plugin = nullptr);
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    static FakeHost& Current();

    Tessel::TFarPlugin& Plugin() { return *PluginObject; }
    TestPlugin* Test() { return OwnedPlugin.get(); }

    // Hooks; unset ones answer 0 (refusal) and record nothing else.
    std::function<const char16_t*(intptr_t)> GetMsg;
    std::function<intptr_t(const ShownMessage&)> Message;
    std::function<intptr_t(Far3::HANDLE, Far3::FILE_CONTROL_COMMANDS, intptr_t, void*)> PanelControl;
    std::function<intptr_t(Far3::HANDLE, Far3::FAR_SETTINGS_CONTROL_COMMANDS, intptr_t, void*)> SettingsControl;
    std::function<intptr_t(Far3::ADVANCED_CONTROL_COMMANDS, intptr_t, void*)> AdvControl;
    std::function<intptr_t(const char16_t*, const char16_t*, intptr_t, intptr_t, intptr_t, intptr_t,
                           Far3::EDITOR_FLAGS, intptr_t, intptr_t, uintptr_t)>
        Editor;
    std::function<intptr_t(intptr_t, Far3::EDITOR_CONTROL_COMMANDS, intptr_t, void*)> EditorControl;
    std::function<size_t(Far3::CONVERTPATHMODES, const char16_t*, char16_t*, size_t)> ConvertPath;
    // Dialogs; an unset DialogInit refuses (InvalidHandleValue).
    std::function<Far3::HANDLE(const DialogInitCall&)> DialogInit;
    std::function<intptr_t(Far3::HANDLE)> DialogRun;
    std::function<void(Far3::HANDLE)> DialogFree;
    std::function<intptr_t(Far3::HANDLE, intptr_t, intptr_t, void*)> SendDlgMessage;
    std::function<intptr_t(Far3::HANDLE, intptr_t, intptr_t, void*)> DefDlgProc;

    // Messages of the language file by number (used when GetMsg is not set).
    std::map<intptr_t, String> Messages;
    std::vector<ShownMessage> ShownMessages;
    int ConvertPathCalls = 0;
    int GetMsgCalls = 0;
    std::vector<DialogInitCall> DialogInits;
    std::vector<Far3::HANDLE> DialogRuns;
    std::vector<Far3::HANDLE> FreedDialogs;
    std::vector<DialogMessage> SentDialogMessages;
    std::vector<DialogMessage> DefaultedMessages;

    Far3::PluginStartupInfo Info{};
    Far3::FarStandardFunctions Functions{};

    // The folder FARLOCALPROFILE names while the host lives.
    std::filesystem::path LocalProfile;

private:
    std::optional<String> PreviousLocalProfile;
    std::unique_ptr<TestPlugin> OwnedPlugin;
    Tessel::TFarPlugin* PluginObject = nullptr;
};

} // namespace TestSupport
