#include "host/files/Panel.h"

#include "host/files/FolderReader.h"
#include "host/text/HostText.h"

#include <algorithm>
#include <set>

namespace Host {

void Panel::ShowFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    RealFolder = std::filesystem::absolute(folder, error).lexically_normal();
    if (RealFolder.has_relative_path() && !RealFolder.has_filename())
        RealFolder = RealFolder.parent_path();
    DirectoryName = PathToUtf16(RealFolder);
    Entries.clear();
    FolderItems read = ReadFolder(RealFolder);
    Entries = std::move(read.Items);
    Names = std::move(read.Names);
    Cursor = 0;
}

void Panel::ShowItems(std::u16string directory, std::vector<PanelItem> items)
{
    RealFolder.clear();
    DirectoryName = std::move(directory);
    Base::TextStore names;
    for (PanelItem& item : items) {
        item.Name = names.Keep(item.Name);
        if (item.IsParentLink())
            item.Selected = false;
    }
    Entries = std::move(items);
    Names = std::move(names);
    Cursor = 0;
}

void Panel::SetCurrentItem(size_t index)
{
    if (index < Entries.size())
        Cursor = index;
}

std::optional<size_t> Panel::Find(std::u16string_view name) const
{
    for (size_t i = 0; i < Entries.size(); ++i)
        if (Entries[i].Name == name)
            return i;
    return std::nullopt;
}

void Panel::Select(size_t index, bool selected)
{
    if (index < Entries.size() && !Entries[index].IsParentLink())
        Entries[index].Selected = selected;
}

void Panel::ClearSelection()
{
    for (PanelItem& item : Entries)
        item.Selected = false;
}

size_t Panel::SelectedCount() const
{
    return static_cast<size_t>(std::count_if(Entries.begin(), Entries.end(), [](const PanelItem& i) { return i.Selected; }));
}

std::vector<std::u16string> Panel::SelectedNames() const
{
    std::vector<std::u16string> names;
    for (const PanelItem& item : Entries)
        if (item.Selected)
            names.emplace_back(item.Name);
    return names;
}

std::optional<size_t> Panel::SelectedIndex(size_t n) const
{
    for (size_t i = 0; i < Entries.size(); ++i)
        if (Entries[i].Selected && n-- == 0)
            return i;
    return std::nullopt;
}

void Panel::Update(bool keepSelection)
{
    if (RealFolder.empty()) {
        if (!keepSelection)
            ClearSelection();
        return;
    }
    std::optional<std::u16string> currentName;
    bool currentWasSelected = false;
    if (Cursor < Entries.size()) {
        currentName = std::u16string(Entries[Cursor].Name);
        currentWasSelected = Entries[Cursor].Selected;
    }
    std::vector<std::u16string> selectedNames = SelectedNames();
    std::set<std::u16string, std::less<>> selected(selectedNames.begin(), selectedNames.end());
    size_t oldCursor = Cursor;

    FolderItems read = ReadFolder(RealFolder);
    Entries = std::move(read.Items);
    Names = std::move(read.Names);
    if (keepSelection)
        for (PanelItem& item : Entries)
            item.Selected = !item.IsParentLink() && selected.contains(item.Name);

    if (auto same = currentName ? Find(*currentName) : std::nullopt) {
        Cursor = *same;
        return;
    }
    Cursor = Entries.empty() ? 0 : std::min(oldCursor, Entries.size() - 1);
    if (currentWasSelected)
        for (size_t i = Cursor; i < Entries.size(); ++i)
            if (!Entries[i].Selected) {
                Cursor = i;
                break;
            }
}

} // namespace Host
