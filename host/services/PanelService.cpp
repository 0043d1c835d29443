#include "host/services/PanelService.h"

#include <cstring>

namespace Host {

intptr_t PanelService::Control(Far3::HANDLE handle, Far3::FILE_CONTROL_COMMANDS command, intptr_t param1,
                               void* param2)
{
    bool passive = handle == Far3::PANEL_PASSIVE;
    if (handle != nullptr && handle != Far3::PANEL_ACTIVE && !passive)
        return 0; // no plugin panels in this host
    Panel& panel = passive ? Passive : Active;
    if (RecordCalls) {
        intptr_t param2Value = command == Far3::FCTL_SETSELECTION ? reinterpret_cast<intptr_t>(param2) : 0;
        Calls.push_back({command, passive, param1, param2Value});
    }

    switch (command) {
    case Far3::FCTL_GETPANELINFO: return PanelInfo(panel, passive, static_cast<Far3::PanelInfo*>(param2));
    case Far3::FCTL_GETPANELITEM:
        if (param1 < 0)
            return 0;
        return PanelItem(panel, static_cast<size_t>(param1), static_cast<Far3::FarGetPluginPanelItem*>(param2));
    case Far3::FCTL_GETSELECTEDPANELITEM: {
        if (param1 < 0)
            return 0;
        std::optional<size_t> index = panel.SelectedIndex(static_cast<size_t>(param1));
        if (!index && panel.SelectedCount() == 0 && param1 == 0)
            index = panel.CurrentItem();
        if (!index)
            return 0;
        return PanelItem(panel, *index, static_cast<Far3::FarGetPluginPanelItem*>(param2));
    }
    case Far3::FCTL_GETCURRENTPANELITEM:
        return PanelItem(panel, panel.CurrentItem(), static_cast<Far3::FarGetPluginPanelItem*>(param2));
    case Far3::FCTL_GETPANELDIRECTORY:
        if (param1 < 0)
            return 0;
        return Directory(panel, static_cast<size_t>(param1), static_cast<Far3::FarPanelDirectory*>(param2));
    case Far3::FCTL_BEGINSELECTION:
    case Far3::FCTL_ENDSELECTION: return 1;
    case Far3::FCTL_SETSELECTION:
        if (param1 >= 0)
            panel.Select(static_cast<size_t>(param1), param2 != nullptr);
        return 1;
    case Far3::FCTL_CLEARSELECTION:
        if (param1 >= 0)
            if (auto index = panel.SelectedIndex(static_cast<size_t>(param1)))
                panel.Select(*index, false);
        return 1;
    case Far3::FCTL_REDRAWPANEL: {
        if (auto* redraw = static_cast<const Far3::PanelRedrawInfo*>(param2))
            panel.SetCurrentItem(redraw->CurrentItem);
        ++RedrawCount;
        return 1;
    }
    case Far3::FCTL_UPDATEPANEL: panel.Update(param1 != 0); return 1;
    default: return 0;
    }
}

intptr_t PanelService::PanelInfo(Panel& panel, bool passive, Far3::PanelInfo* info)
{
    if (Failures.RefusePanelInfo || !info || info->StructSize < sizeof(Far3::PanelInfo))
        return 0;
    std::memset(info, 0, sizeof(Far3::PanelInfo));
    info->StructSize = sizeof(Far3::PanelInfo);
    info->Flags = Far3::PFLAGS_REALNAMES | Far3::PFLAGS_VISIBLE;
    if (!passive)
        info->Flags |= Far3::PFLAGS_FOCUS | Far3::PFLAGS_PANELLEFT;
    info->ItemsNumber = panel.Items().size();
    size_t selected = panel.SelectedCount();
    if (selected == 0 && panel.CurrentItem() < panel.Items().size())
        selected = panel.Items()[panel.CurrentItem()].IsParentLink() ? 0 : 1;
    info->SelectedItemsNumber = selected;
    ScreenSize size = Screen.Screen().value_or(ScreenSize{});
    int32_t half = size.Width / 2;
    info->PanelRect = passive ? Far3::RECT{half, 0, size.Width - 1, size.Height - 2}
                              : Far3::RECT{0, 0, half - 1, size.Height - 2};
    info->CurrentItem = panel.CurrentItem();
    info->PanelType = Far3::PTYPE_FILEPANEL;
    info->SortMode = Far3::SM_NAME;
    return 1;
}

intptr_t PanelService::PanelItem(const Panel& panel, size_t index, Far3::FarGetPluginPanelItem* request)
{
    if (index >= panel.Items().size() || Failures.FailItemSizeQuery == index)
        return 0;
    const Host::PanelItem& item = panel.Items()[index];
    size_t nameBytes = (item.Name.size() + 1) * sizeof(char16_t);
    size_t needed = sizeof(Far3::PluginPanelItem) + nameBytes;
    // Far fills only a block big enough for the record and its strings.
    if (!request || !request->Item || request->Size < needed)
        return static_cast<intptr_t>(needed);

    Far3::PluginPanelItem* out = request->Item;
    std::memset(out, 0, sizeof(Far3::PluginPanelItem));
    auto* name = reinterpret_cast<char16_t*>(reinterpret_cast<char*>(out) + sizeof(Far3::PluginPanelItem));
    std::memcpy(name, item.Name.data(), item.Name.size() * sizeof(char16_t));
    name[item.Name.size()] = u'\0';
    out->CreationTime = item.LastWriteTime;
    out->LastAccessTime = item.LastWriteTime;
    out->LastWriteTime = item.LastWriteTime;
    out->ChangeTime = item.LastWriteTime;
    out->FileSize = item.Size;
    out->AllocationSize = item.Size;
    out->FileName = name;
    out->Flags = item.Selected ? Far3::PPIF_SELECTED : 0;
    out->FileAttributes = item.Attributes;
    out->NumberOfLinks = 1;
    return static_cast<intptr_t>(needed);
}

intptr_t PanelService::Directory(const Panel& panel, size_t bufferSize, Far3::FarPanelDirectory* directory)
{
    if (Failures.RefuseDirectory)
        return 0;
    const std::u16string& name = panel.Directory();
    size_t nameBytes = (name.size() + 1) * sizeof(char16_t);
    size_t needed = sizeof(Far3::FarPanelDirectory) + nameBytes + 2 * sizeof(char16_t);
    if (!directory || bufferSize < needed || directory->StructSize < sizeof(Far3::FarPanelDirectory))
        return static_cast<intptr_t>(needed);

    char* block = reinterpret_cast<char*>(directory);
    auto* nameOut = reinterpret_cast<char16_t*>(block + sizeof(Far3::FarPanelDirectory));
    std::memcpy(nameOut, name.c_str(), nameBytes);
    auto* fileOut = reinterpret_cast<char16_t*>(block + sizeof(Far3::FarPanelDirectory) + nameBytes);
    auto* paramOut = fileOut + 1;
    *fileOut = 0;
    *paramOut = 0;
    directory->StructSize = sizeof(Far3::FarPanelDirectory);
    directory->Name = nameOut;
    directory->File = fileOut;
    directory->Param = paramOut;
    directory->PluginId = Far3::GUID{};
    return static_cast<intptr_t>(needed);
}

} // namespace Host
