#include "host/services/DialogService.h"

#include "host/text/HostText.h"

#include <algorithm>

namespace Host {

namespace {

// The largest console coordinate: Far's screen positions are 16-bit.
constexpr intptr_t LargestCoordinate = 32767;

// Far's rectangle check: X1 < 0 with X2 = 0 becomes a width of 1; then
// X2 must not be negative, and must be a width (> 0) for a centred
// dialog or not left of X1 otherwise. Likewise for Y. A rectangle no
// console can hold is refused too: its cells could not be counted.
bool ValidExtent(intptr_t start, intptr_t& end)
{
    if (start < 0 && end == 0)
        end = 1;
    if (start > LargestCoordinate || end > LargestCoordinate)
        return false;
    return end >= 0 && (start < 0 ? end > 0 : start <= end);
}

} // namespace

void DialogService::SetPlugin(const Far3::GUID& plugin)
{
    Plugin = plugin;
    HavePlugin = true;
}

void DialogService::SetHelp(std::filesystem::path pluginFolder, std::u16string language)
{
    HelpFolder = std::move(pluginFolder);
    HelpLanguage = std::move(language);
}

void DialogService::ShowHelp(std::u16string_view topic)
{
    // Read at every F1, as Far does: the file may have changed meanwhile.
    const std::optional<HelpFile> help =
        HelpFolder.empty() ? std::nullopt : ChooseHelpFile(HelpFolder, HelpLanguage);
    const HelpTopic* shown = help ? help->Find(topic) : nullptr;
    if (shown) {
        User.ShowHelp(*help, *shown);
        return;
    }
    MessageBox box;
    box.Flags = Far3::FMSG_WARNING;
    box.Title = "Help";
    box.Lines = {help ? "Help topic not found:" : "Help file not found for the topic:", Utf16ToUtf8(topic)};
    box.Buttons = {"OK"};
    User.ShowMessage(box);
}

Far3::HANDLE DialogService::Init(const Far3::GUID* pluginId, const Far3::GUID* id, intptr_t x1, intptr_t y1,
                                 intptr_t x2, intptr_t y2, const char16_t* helpTopic,
                                 const Far3::FarDialogItem* items, size_t count, Far3::FARDIALOGFLAGS flags,
                                 Far3::FARWINDOWPROC proc, void* param)
{
    if (!items || count == 0 || !pluginId || !HavePlugin || !(*pluginId == Plugin))
        return Far3::InvalidHandleValue;
    if (!ValidExtent(x1, x2) || !ValidExtent(y1, y2))
        return Far3::InvalidHandleValue;
    DialogSetup setup;
    setup.PluginId = *pluginId;
    if (id)
        setup.Id = *id;
    setup.X1 = x1;
    setup.Y1 = y1;
    setup.X2 = x2;
    setup.Y2 = y2;
    setup.HelpTopic = PluginText(helpTopic);
    setup.Flags = flags;
    setup.Proc = proc;
    setup.Edits = {&Clip, PanelNames};
    setup.Param = param;
    setup.ShowHelp = [this](std::u16string_view topic) { ShowHelp(topic); };
    std::vector<DialogItem> copies;
    copies.reserve(count);
    for (size_t i = 0; i < count; ++i)
        copies.push_back(DialogItem::FromRecord(items[i]));
    Dialogs.push_back(std::make_unique<HostDialog>(std::move(setup), std::move(copies), User, Histories));
    return Dialogs.back()->Handle();
}

HostDialog* DialogService::Find(Far3::HANDLE handle) const
{
    for (const auto& dialog : Dialogs)
        if (dialog->Handle() == handle)
            return dialog.get();
    return nullptr;
}

intptr_t DialogService::Run(Far3::HANDLE handle)
{
    HostDialog* dialog = Find(handle);
    if (!dialog)
        return -1;
    struct FreeLater {
        DialogService& Service;
        HostDialog* Dialog;
        ~FreeLater()
        {
            auto pending = std::find(Service.FreeAfterRun.begin(), Service.FreeAfterRun.end(), Dialog);
            if (pending == Service.FreeAfterRun.end())
                return;
            Service.FreeAfterRun.erase(pending);
            Service.Free(Dialog->Handle());
        }
    } freeLater{*this, dialog};
    return dialog->Run();
}

void DialogService::Free(Far3::HANDLE handle)
{
    HostDialog* dialog = Find(handle);
    if (!dialog)
        return;
    if (dialog->Running()) {
        FreeAfterRun.push_back(dialog);
        return;
    }
    std::erase_if(Dialogs, [&](const std::unique_ptr<HostDialog>& live) { return live.get() == dialog; });
}

intptr_t DialogService::Send(Far3::HANDLE handle, intptr_t msg, intptr_t param1, void* param2)
{
    HostDialog* dialog = Find(handle);
    if (!dialog)
        return msg == Far3::DM_GETFOCUS || msg == Far3::DM_LISTADDSTR ? -1 : 0;
    return dialog->Send(msg, param1, param2);
}

intptr_t DialogService::DefProc(Far3::HANDLE handle, intptr_t msg, intptr_t param1, void* param2)
{
    HostDialog* dialog = Find(handle);
    return dialog ? dialog->DefaultProc(msg, param1, param2) : 0;
}

void DialogService::FreeAll()
{
    FreeAfterRun.clear();
    std::erase_if(Dialogs, [](const std::unique_ptr<HostDialog>& dialog) { return !dialog->Running(); });
}

} // namespace Host
