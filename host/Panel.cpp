#include "host/Panel.h"

#include "host/HostText.h"

#include <algorithm>
#include <chrono>
#include <set>

namespace Host {

namespace {

// FILETIME counts 100 ns steps from 1601-01-01; the Unix epoch is that many steps later.
constexpr uint64_t UnixEpochAsFileTime = 116444736000000000ULL;

Far3::FILETIME ToFileTime(std::filesystem::file_time_type time)
{
    using namespace std::chrono;
    auto sinceEpoch = duration_cast<duration<int64_t, std::ratio<1, 10000000>>>(
        file_clock::to_sys(time).time_since_epoch());
    uint64_t ticks = static_cast<uint64_t>(sinceEpoch.count() + static_cast<int64_t>(UnixEpochAsFileTime));
    return {static_cast<uint32_t>(ticks & 0xFFFFFFFFu), static_cast<uint32_t>(ticks >> 32)};
}

char16_t FoldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool NameLess(const std::u16string& a, const std::u16string& b)
{
    auto folded = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                               [](char16_t x, char16_t y) { return FoldAscii(x) < FoldAscii(y); });
    if (folded)
        return true;
    auto reverse = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                [](char16_t x, char16_t y) { return FoldAscii(x) < FoldAscii(y); });
    return !reverse && a < b;
}

PanelItem ItemOf(const std::filesystem::directory_entry& entry)
{
    PanelItem item;
    item.Name = PathToUtf16(entry.path().filename());
    std::error_code error;
    if (entry.is_directory(error))
        item.Attributes |= Far3::FileAttribute::Directory;
    else
        item.Size = entry.file_size(error);
    if (error)
        item.Size = 0;
    if (entry.is_symlink(error))
        item.Attributes |= Far3::FileAttribute::ReparsePoint;
    auto status = entry.status(error);
    if (!error && (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        item.Attributes |= Far3::FileAttribute::ReadOnly;
#if !defined(_WIN32)
    if (!item.Name.empty() && item.Name.front() == u'.')
        item.Attributes |= Far3::FileAttribute::Hidden;
#endif
    auto written = entry.last_write_time(error);
    if (!error) {
        item.LastWriteTime = ToFileTime(written);
        item.CreationTime = item.LastWriteTime;
        item.LastAccessTime = item.LastWriteTime;
        item.ChangeTime = item.LastWriteTime;
    }
    return item;
}

} // namespace

std::vector<PanelItem> ReadFolder(const std::filesystem::path& folder)
{
    std::vector<PanelItem> items;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        items.push_back(ItemOf(entry));
    std::sort(items.begin(), items.end(), [](const PanelItem& a, const PanelItem& b) {
        bool aDir = a.Attributes & Far3::FileAttribute::Directory;
        bool bDir = b.Attributes & Far3::FileAttribute::Directory;
        if (aDir != bDir)
            return aDir;
        return NameLess(a.Name, b.Name);
    });
    std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    if (!absolute.relative_path().empty()) {
        PanelItem parent;
        parent.Name = u"..";
        parent.Attributes = Far3::FileAttribute::Directory;
        auto written = std::filesystem::last_write_time(folder, error);
        if (!error)
            parent.LastWriteTime = ToFileTime(written);
        items.insert(items.begin(), parent);
    }
    return items;
}

void Panel::ShowFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    RealFolder = std::filesystem::absolute(folder, error).lexically_normal();
    if (RealFolder.has_relative_path() && !RealFolder.has_filename())
        RealFolder = RealFolder.parent_path();
    DirectoryName = PathToUtf16(RealFolder);
    Entries = ReadFolder(RealFolder);
    Cursor = 0;
}

void Panel::ShowItems(std::u16string directory, std::vector<PanelItem> items)
{
    RealFolder.clear();
    DirectoryName = std::move(directory);
    Entries = std::move(items);
    for (PanelItem& item : Entries)
        if (item.IsParentLink())
            item.Selected = false;
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
            names.push_back(item.Name);
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
        currentName = Entries[Cursor].Name;
        currentWasSelected = Entries[Cursor].Selected;
    }
    std::vector<std::u16string> selectedNames = SelectedNames();
    std::set<std::u16string> selected(selectedNames.begin(), selectedNames.end());
    size_t oldCursor = Cursor;

    Entries = ReadFolder(RealFolder);
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
