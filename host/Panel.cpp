#include "host/Panel.h"

#include "host/HostText.h"

#if !defined(_WIN32)
#include "framework/PosixNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <chrono>
#include <memory>
#include <set>

namespace Host {

namespace {

// FILETIME counts 100 ns steps from 1601-01-01; the Unix epoch is that many steps later.
constexpr uint64_t UnixEpochAsFileTime = 116444736000000000ULL;

char16_t FoldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Far's name order: letters compared without case; names equal that way
// are ordered by their characters. One pass over the common length.
bool NameLess(const std::u16string& a, const std::u16string& b)
{
    const size_t common = std::min(a.size(), b.size());
    size_t firstDifference = common;
    for (size_t i = 0; i < common; ++i) {
        if (a[i] == b[i])
            continue;
        const char16_t x = FoldAscii(a[i]);
        const char16_t y = FoldAscii(b[i]);
        if (x != y)
            return x < y;
        if (firstDifference == common)
            firstDifference = i;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return firstDifference < common && a[firstDifference] < b[firstDifference];
}

#if defined(_WIN32)

Far3::FILETIME ToFileTime(std::filesystem::file_time_type time)
{
    using namespace std::chrono;
    auto sinceEpoch = duration_cast<duration<int64_t, std::ratio<1, 10000000>>>(
        file_clock::to_sys(time).time_since_epoch());
    uint64_t ticks = static_cast<uint64_t>(sinceEpoch.count() + static_cast<int64_t>(UnixEpochAsFileTime));
    return {static_cast<uint32_t>(ticks & 0xFFFFFFFFu), static_cast<uint32_t>(ticks >> 32)};
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
    auto written = entry.last_write_time(error);
    if (!error) {
        item.LastWriteTime = ToFileTime(written);
        item.CreationTime = item.LastWriteTime;
        item.LastAccessTime = item.LastWriteTime;
        item.ChangeTime = item.LastWriteTime;
    }
    return item;
}

// Appends the folder's entries, unsorted, without "..".
void ListFolder(const std::filesystem::path& folder, std::vector<PanelItem>& items)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        items.push_back(ItemOf(entry));
}

std::optional<Far3::FILETIME> FolderWriteTime(const std::filesystem::path& folder)
{
    std::error_code error;
    auto written = std::filesystem::last_write_time(folder, error);
    if (error)
        return std::nullopt;
    return ToFileTime(written);
}

#else

// A stat time as a FILETIME; nothing for a time too far from 1970 to count
// in nanoseconds (before 1678 or after 2261), which the file clock refuses too.
std::optional<Far3::FILETIME> ToFileTime(const struct timespec& time)
{
    int64_t nanoseconds = 0;
    if (__builtin_mul_overflow(static_cast<int64_t>(time.tv_sec), int64_t{1000000000}, &nanoseconds) ||
        __builtin_add_overflow(nanoseconds, static_cast<int64_t>(time.tv_nsec), &nanoseconds))
        return std::nullopt;
    // Whole 100 ns steps, cut toward zero.
    const auto ticks = static_cast<uint64_t>(nanoseconds / 100 + static_cast<int64_t>(UnixEpochAsFileTime));
    return Far3::FILETIME{static_cast<uint32_t>(ticks & 0xFFFFFFFFu), static_cast<uint32_t>(ticks >> 32)};
}

// One entry of the open folder `folder`. A link is shown as what it leads
// to (a folder, a file's size, date and write permission) and marked as a
// reparse point; a broken one has neither size nor date. One stat per
// entry, relative to the open folder, so the folder's path is not walked
// again for every name; a second one only where the listing does not say
// whether the entry is a link.
PanelItem ItemOf(int folder, const dirent& entry)
{
    PanelItem item;
    item.Name = PosixNames::ToUtf16(entry.d_name);
    bool link = entry.d_type == DT_LNK;
    if (entry.d_type == DT_UNKNOWN) {
        struct stat own{};
        link = ::fstatat(folder, entry.d_name, &own, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(own.st_mode);
    }
    struct stat seen{};
    if (::fstatat(folder, entry.d_name, &seen, 0) == 0) {
        if (S_ISDIR(seen.st_mode))
            item.Attributes |= Far3::FileAttribute::Directory;
        else if (S_ISREG(seen.st_mode))
            item.Size = static_cast<uint64_t>(seen.st_size);
        if ((seen.st_mode & S_IWUSR) == 0)
            item.Attributes |= Far3::FileAttribute::ReadOnly;
        if (const auto written = ToFileTime(seen.st_mtim)) {
            item.LastWriteTime = *written;
            item.CreationTime = item.LastWriteTime;
            item.LastAccessTime = item.LastWriteTime;
            item.ChangeTime = item.LastWriteTime;
        }
    }
    if (link)
        item.Attributes |= Far3::FileAttribute::ReparsePoint;
    if (item.Name.front() == u'.')
        item.Attributes |= Far3::FileAttribute::Hidden;
    return item;
}

struct CloseListing {
    void operator()(DIR* listing) const { ::closedir(listing); }
};

// Appends the folder's entries, unsorted, without "." and ".."; none when
// it cannot be read.
void ListFolder(const std::filesystem::path& folder, std::vector<PanelItem>& items)
{
    const std::unique_ptr<DIR, CloseListing> listing(::opendir(folder.c_str()));
    if (!listing)
        return;
    const int descriptor = ::dirfd(listing.get());
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            items.push_back(ItemOf(descriptor, *entry));
    }
}

std::optional<Far3::FILETIME> FolderWriteTime(const std::filesystem::path& folder)
{
    struct stat seen{};
    if (::stat(folder.c_str(), &seen) != 0)
        return std::nullopt;
    return ToFileTime(seen.st_mtim);
}

#endif

} // namespace

std::vector<PanelItem> ReadFolder(const std::filesystem::path& folder)
{
    std::vector<PanelItem> items;
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    if (!absolute.relative_path().empty()) {
        PanelItem parent;
        parent.Name = u"..";
        parent.Attributes = Far3::FileAttribute::Directory;
        if (const auto written = FolderWriteTime(folder))
            parent.LastWriteTime = *written;
        items.push_back(std::move(parent));
    }
    const size_t first = items.size();
    ListFolder(folder, items);
    std::sort(items.begin() + static_cast<std::ptrdiff_t>(first), items.end(),
              [](const PanelItem& a, const PanelItem& b) {
                  bool aDir = a.Attributes & Far3::FileAttribute::Directory;
                  bool bDir = b.Attributes & Far3::FileAttribute::Directory;
                  if (aDir != bDir)
                      return aDir;
                  return NameLess(a.Name, b.Name);
              });
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
