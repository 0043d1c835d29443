#include "framework/FarPanel.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "base/ScopeGuard.h"
#include "framework/FarPlugin.h"

#include <algorithm>
#include <cstring>

namespace Tessel {

// What the snapshot promises about its size: an item's fields in 88 bytes.
static_assert(sizeof(TFarPanel::TItem) <= 88);

namespace {

intptr_t PanelControl(Far3::HANDLE panel, Far3::FILE_CONTROL_COMMANDS command, intptr_t param1, void* param2)
{
    return TFarPlugin::StartupInfo()->PanelControl(panel, command, param1, param2);
}

// A zero-filled block of `size` bytes, aligned for the host's records.
std::vector<uint64_t> HostBuffer(size_t size)
{
    return std::vector<uint64_t>((size + sizeof(uint64_t) - 1) / sizeof(uint64_t), 0);
}

} // namespace

// Item `index`, by Far's size-then-data protocol, read through `buffer`,
// which grows to the largest item and is reused for the next one. A refused
// size query leaves the item with its index and nothing else.
const char16_t* TFarPanel::Keep(const char16_t* text)
{
    if (text == nullptr || *text == u'\0')
        return u"";
    return Names.Keep(text).data();
}

TFarPanel::TItem TFarPanel::ReadItem(int32_t index, std::vector<uint64_t>& buffer)
{
    TItem result(index);
    const intptr_t size = PanelControl(Handle, Far3::FCTL_GETPANELITEM, index, nullptr);
    if (size <= 0)
        return result;
    // Never smaller than the record itself, so reading its fields stays inside the buffer.
    const size_t bytes = std::max(static_cast<size_t>(size), sizeof(Far3::PluginPanelItem));
    if (buffer.size() * sizeof(uint64_t) < bytes)
        buffer = HostBuffer(bytes);
    auto* item = reinterpret_cast<Far3::PluginPanelItem*>(buffer.data());
    // The record starts zero-filled for every item, as a fresh block would:
    // what a host leaves unset reads as nothing, never as the previous item.
    std::memset(item, 0, sizeof(Far3::PluginPanelItem));
    Far3::FarGetPluginPanelItem request{sizeof(Far3::FarGetPluginPanelItem), buffer.size() * sizeof(uint64_t), item};
    PanelControl(Handle, Far3::FCTL_GETPANELITEM, index, &request);

    result.CreationTime = item->CreationTime;
    result.LastAccessTime = item->LastAccessTime;
    result.LastWriteTime = item->LastWriteTime;
    result.ChangeTime = item->ChangeTime;
    result.FileSize = item->FileSize;
    result.AllocationSize = item->AllocationSize;
    // Copied at once: the host's texts live only as long as the buffer.
    result.NameData = Keep(item->FileName);
    const TItem::TRareTexts rare{Keep(item->AlternateFileName), Keep(item->Description), Keep(item->Owner)};
    if (*rare.AlternateFileName != u'\0' || *rare.Description != u'\0' || *rare.Owner != u'\0')
        result.Texts = &RareTexts.emplace_back(rare);
    result.Flags = item->Flags;
    result.FileAttributes = static_cast<uint32_t>(item->FileAttributes);
    result.NumberOfLinks = static_cast<uint32_t>(item->NumberOfLinks);
    result.CRC32 = static_cast<uint32_t>(item->CRC32);
    return result;
}

void TFarPanel::TItem::SetFlag(uint32_t flags, bool on)
{
    if (on)
        Flags |= flags;
    else
        Flags &= ~static_cast<uint64_t>(flags);
}

TFarPanel::TFarPanel(bool active, bool loadItems)
{
    ReadPanel(active ? Far3::PANEL_ACTIVE : Far3::PANEL_PASSIVE, loadItems);
}

TFarPanel::TItem& TFarPanel::GetItem(int32_t index)
{
    if (index < 0 || index >= Count())
        throw Base::EListError(Base::Format(u"List index out of bounds (%d)", {index}));
    return Items[static_cast<size_t>(index)];
}

const TFarPanel::TItem& TFarPanel::GetItem(int32_t index) const
{
    return const_cast<TFarPanel*>(this)->GetItem(index);
}

void TFarPanel::ReadPanel(Far3::HANDLE handle, bool loadItems)
{
    Far3::PanelInfo info{};
    info.StructSize = sizeof(Far3::PanelInfo);
    if (PanelControl(handle, Far3::FCTL_GETPANELINFO, 0, &info) == 0)
        return;

    Handle = handle;
    PluginHandle = info.PluginHandle;
    OwnerGuid = info.OwnerGuid;
    Flags = info.Flags;
    PanelRect = info.PanelRect;
    SelectedItemsNumber = static_cast<intptr_t>(info.SelectedItemsNumber);
    CurrentItem = static_cast<intptr_t>(info.CurrentItem);
    TopPanelItem = static_cast<intptr_t>(info.TopPanelItem);
    ViewMode = info.ViewMode;
    SortMode = info.SortMode;
    PanelType = info.PanelType;

    Items.clear();
    Names.Clear();
    if (loadItems) {
        const auto count = static_cast<int32_t>(info.ItemsNumber);
        Items.reserve(count > 0 ? static_cast<size_t>(count) : 0);
        std::vector<uint64_t> buffer;
        for (int32_t i = 0; i < count; ++i)
            Items.push_back(ReadItem(i, buffer));
    }
    ReadDirectory();
}

void TFarPanel::ReadDirectory()
{
    Directory.clear();
    Param.clear();
    File.clear();
    PluginId = Far3::GUID{};

    const intptr_t size = PanelControl(Handle, Far3::FCTL_GETPANELDIRECTORY, 0, nullptr);
    if (size <= 0)
        return;
    const size_t bytes = std::max(static_cast<size_t>(size), sizeof(Far3::FarPanelDirectory));
    auto buffer = HostBuffer(bytes);
    auto* directory = reinterpret_cast<Far3::FarPanelDirectory*>(buffer.data());
    directory->StructSize = sizeof(Far3::FarPanelDirectory);
    PanelControl(Handle, Far3::FCTL_GETPANELDIRECTORY, static_cast<intptr_t>(bytes), directory);
    Directory = StringFromPtr(directory->Name);
    Param = StringFromPtr(directory->Param);
    PluginId = directory->PluginId;
    File = StringFromPtr(directory->File);
}

void TFarPanel::ApplySelection()
{
    PanelControl(Handle, Far3::FCTL_BEGINSELECTION, 0, nullptr);
    const Base::ScopeGuard endAndRedraw([this] {
        PanelControl(Handle, Far3::FCTL_ENDSELECTION, 0, nullptr);
        PanelControl(Handle, Far3::FCTL_REDRAWPANEL, 0, nullptr);
    });
    for (const TItem& item : Items) {
        const bool selected = item.HasFlag(static_cast<uint32_t>(Far3::PPIF_SELECTED));
        PanelControl(Handle, Far3::FCTL_SETSELECTION, item.Index, reinterpret_cast<void*>(selected ? 1 : 0));
    }
}

void TFarPanel::Reread(bool active)
{
    const Far3::HANDLE panel = active ? Far3::PANEL_ACTIVE : Far3::PANEL_PASSIVE;
    constexpr intptr_t KeepSelection = 1;
    PanelControl(panel, Far3::FCTL_UPDATEPANEL, KeepSelection, nullptr);
    PanelControl(panel, Far3::FCTL_REDRAWPANEL, 0, nullptr);
}

} // namespace Tessel
