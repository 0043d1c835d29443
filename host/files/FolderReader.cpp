#include "host/files/FolderReader.h"

#include "base/Ascii.h"
#include "base/FileTime.h"
#include "host/text/HostText.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include "base/PosixNames.h"
#include "base/ScopeGuard.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>
#endif

#include <algorithm>
#include <chrono>
#include <iterator>
#include <memory>
#include <optional>

namespace Host {

namespace {

// Far's name order: letters compared without case; names equal that way
// are ordered by their characters. One pass over the common length.
bool NameLess(std::u16string_view a, std::u16string_view b)
{
    const size_t common = std::min(a.size(), b.size());
    size_t firstDifference = common;
    for (size_t i = 0; i < common; ++i) {
        if (a[i] == b[i])
            continue;
        const char16_t x = Base::AsciiLower(a[i]);
        const char16_t y = Base::AsciiLower(b[i]);
        if (x != y)
            return x < y;
        if (firstDifference == common)
            firstDifference = i;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return firstDifference < common && a[firstDifference] < b[firstDifference];
}

// Folders before files, each by name. A type rather than a function, so
// that the sorts inline it.
struct PanelOrder {
    bool operator()(const PanelItem& a, const PanelItem& b) const
    {
        const bool aFolder = a.Attributes & Far3::FileAttribute::Directory;
        const bool bFolder = b.Attributes & Far3::FileAttribute::Directory;
        if (aFolder != bFolder)
            return aFolder;
        return NameLess(a.Name, b.Name);
    }
};

Far3::FILETIME FileTimeOf(uint64_t ticks)
{
    return {static_cast<uint32_t>(ticks & 0xFFFFFFFFu), static_cast<uint32_t>(ticks >> 32)};
}

#if defined(_WIN32)

// A file clock time as a FILETIME; nothing for a time a FILETIME cannot hold.
std::optional<Far3::FILETIME> ToFileTime(std::filesystem::file_time_type time)
{
    const std::optional<uint64_t> ticks =
        Base::FileTimeFromUnixTime(Base::UnixTimeOf(std::chrono::file_clock::to_sys(time)));
    if (!ticks)
        return std::nullopt;
    return FileTimeOf(*ticks);
}

PanelItem ItemOf(const std::filesystem::directory_entry& entry, Base::TextStore& names)
{
    PanelItem item;
    item.Name = names.Keep(PathToUtf16(entry.path().filename()));
    std::error_code error;
    const bool link = entry.is_symlink(error);
    if (link)
        item.Attributes |= Far3::FileAttribute::ReparsePoint;
    // A link has no size of its own, as Windows lists it and as
    // GetFileAttributesExW reads it (undo knows a file by both).
    if (entry.is_directory(error))
        item.Attributes |= Far3::FileAttribute::Directory;
    else if (!link)
        item.Size = entry.file_size(error);
    if (error)
        item.Size = 0;
    auto status = entry.status(error);
    if (!error && (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        item.Attributes |= Far3::FileAttribute::ReadOnly;
    // The date as the system keeps it, in 100 ns steps, as Far shows it:
    // the C runtime's stat behind std::filesystem counts whole seconds.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExW(entry.path().c_str(), GetFileExInfoStandard, &data)) {
        item.LastWriteTime = {data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime};
    } else {
        const auto written = entry.last_write_time(error);
        const std::optional<Far3::FILETIME> time = error ? std::nullopt : ToFileTime(written);
        if (time)
            item.LastWriteTime = *time;
    }
    return item;
}

// Appends the folder's entries in panel order, without "..".
void ListFolder(const std::filesystem::path& folder, FolderItems& read)
{
    std::vector<PanelItem>& items = read.Items;
    const auto first = static_cast<std::ptrdiff_t>(items.size());
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        items.push_back(ItemOf(entry, read.Names));
    std::sort(items.begin() + first, items.end(), PanelOrder{});
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

// A stat time as a FILETIME; nothing for a time a FILETIME cannot hold
// (before 1601, or beyond the year 30828).
std::optional<Far3::FILETIME> ToFileTime(const struct timespec& time)
{
    const std::optional<uint64_t> ticks =
        Base::FileTimeFromUnixTime({static_cast<int64_t>(time.tv_sec), static_cast<int64_t>(time.tv_nsec)});
    if (!ticks)
        return std::nullopt;
    return FileTimeOf(*ticks);
}

// An entry as the listing gives it: its name and, where the file system
// says, its type (DT_UNKNOWN where it does not).
struct ListedEntry {
    std::string Name;
    unsigned char Type = DT_UNKNOWN;
};

// One entry of the open folder `folder`. A link is marked as a reparse
// point with its own date and no size, as Windows lists a link and as the
// plugin's GetFileAttributesExW reads it (undo knows a file by both), and
// shows as a folder and with the write permission of what it leads to. One
// stat per entry, relative to the open folder, so the folder's path is not
// walked again for every name; another one for a link, and where the
// listing does not say whether the entry is a link.
PanelItem ItemOf(int folder, const ListedEntry& entry, Base::TextStore& names)
{
    PanelItem item;
    item.Name = names.Keep(PosixNames::ToUtf16(entry.Name));
    bool link = entry.Type == DT_LNK;
    struct stat own{};
    if (link || entry.Type == DT_UNKNOWN)
        link = ::fstatat(folder, entry.Name.c_str(), &own, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(own.st_mode);
    struct stat seen{};
    if (::fstatat(folder, entry.Name.c_str(), &seen, 0) == 0) {
        if (S_ISDIR(seen.st_mode))
            item.Attributes |= Far3::FileAttribute::Directory;
        else if (S_ISREG(seen.st_mode) && !link)
            item.Size = static_cast<uint64_t>(seen.st_size);
        if ((seen.st_mode & S_IWUSR) == 0)
            item.Attributes |= Far3::FileAttribute::ReadOnly;
        if (const auto written = ToFileTime(seen.st_mtim); written && !link)
            item.LastWriteTime = *written;
    }
    if (link) {
        item.Attributes |= Far3::FileAttribute::ReparsePoint;
        if (const auto written = ToFileTime(own.st_mtim))
            item.LastWriteTime = *written;
    }
    if (item.Name.front() == u'.')
        item.Attributes |= Far3::FileAttribute::Hidden;
    return item;
}

struct CloseListing {
    void operator()(DIR* listing) const { ::closedir(listing); }
};

// In a large folder the stat of every entry is most of the reading, so it
// is shared out: the listing hands its entries over in batches, and up to
// four threads (the reading one once the listing is done) take them as they
// come. A batch is big enough that taking one costs little next to its
// stats, small enough that a helper starts early.
constexpr size_t EntriesPerBatch = 1024;
constexpr unsigned MostThreads = 4;

using Batch = std::vector<ListedEntry>;

// The batches listed and not yet taken.
class BatchQueue {
public:
    void Push(Batch batch)
    {
        {
            const std::lock_guard lock(Mutex);
            Waiting.push_back(std::move(batch));
        }
        Ready.notify_one();
    }

    // No more batches come; the threads take what is left and stop.
    void Finish()
    {
        {
            const std::lock_guard lock(Mutex);
            Finished = true;
        }
        Ready.notify_all();
    }

    // The next batch; nothing once the listing is finished and all are taken.
    std::optional<Batch> Take()
    {
        std::unique_lock lock(Mutex);
        Ready.wait(lock, [this] { return !Waiting.empty() || Finished; });
        if (Waiting.empty())
            return std::nullopt;
        Batch batch = std::move(Waiting.front());
        Waiting.pop_front();
        return batch;
    }

private:
    std::mutex Mutex;
    std::condition_variable Ready;
    std::deque<Batch> Waiting;
    bool Finished = false;
};

// Describes batches until none are left; its items come back in panel
// order, so the threads sort their own shares side by side. Each thread
// keeps the names it makes in a store of its own.
FolderItems DescribeBatches(int folder, BatchQueue& queue)
{
    FolderItems read;
    while (const std::optional<Batch> batch = queue.Take())
        for (const ListedEntry& entry : *batch)
            read.Items.push_back(ItemOf(folder, entry, read.Names));
    std::sort(read.Items.begin(), read.Items.end(), PanelOrder{});
    return read;
}

// Appends the threads' sorted runs to `items` as one run in panel order.
// The last merge goes straight into `items`, so a large folder's entries
// are not held a third time on the way.
void AppendMerged(std::vector<PanelItem>& items, std::vector<std::vector<PanelItem>> runs)
{
    while (runs.size() > 2) {
        std::vector<PanelItem>& first = runs[runs.size() - 2];
        std::vector<PanelItem>& second = runs.back();
        std::vector<PanelItem> both;
        both.reserve(first.size() + second.size());
        std::merge(first.begin(), first.end(), second.begin(), second.end(), std::back_inserter(both), PanelOrder{});
        runs.pop_back();
        runs.back() = std::move(both);
    }
    size_t total = 0;
    for (const std::vector<PanelItem>& run : runs)
        total += run.size();
    items.reserve(items.size() + total);
    if (runs.size() == 1)
        items.insert(items.end(), runs.front().begin(), runs.front().end());
    else
        std::merge(runs[0].begin(), runs[0].end(), runs[1].begin(), runs[1].end(), std::back_inserter(items),
                   PanelOrder{});
}

// Appends the folder's entries in panel order, without "." and ".."; none
// when it cannot be read.
void ListFolder(const std::filesystem::path& folder, FolderItems& read)
{
    const std::unique_ptr<DIR, CloseListing> listing(::opendir(folder.c_str()));
    if (!listing)
        return;
    const int descriptor = ::dirfd(listing.get());
    size_t helpersWanted = std::clamp(std::thread::hardware_concurrency(), 1u, MostThreads) - 1;

    BatchQueue queue;
    std::vector<std::future<FolderItems>> helpers;
    // Room for all, so that keeping a started helper's future cannot fail.
    helpers.reserve(helpersWanted);
    // Declared after the helpers, so it lets them finish before their futures wait for them.
    const Base::ScopeGuard finish([&queue] { queue.Finish(); });
    Batch batch;
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        batch.push_back({std::string(name), entry->d_type});
        if (batch.size() < EntriesPerBatch)
            continue;
        queue.Push(std::move(batch));
        batch = {};
        if (helpers.size() < helpersWanted) {
            try {
                helpers.push_back(std::async(std::launch::async, DescribeBatches, descriptor, std::ref(queue)));
            } catch (const std::system_error&) {
                // No thread to be had: the reading thread does the helper's share.
                helpersWanted = helpers.size();
            }
        }
    }
    if (!batch.empty())
        queue.Push(std::move(batch));
    queue.Finish();

    std::vector<std::vector<PanelItem>> runs;
    FolderItems own = DescribeBatches(descriptor, queue);
    runs.push_back(std::move(own.Items));
    read.Names.Adopt(std::move(own.Names));
    for (std::future<FolderItems>& helper : helpers) {
        FolderItems share = helper.get();
        runs.push_back(std::move(share.Items));
        read.Names.Adopt(std::move(share.Names));
    }
    AppendMerged(read.Items, std::move(runs));
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

FolderItems ReadFolder(const std::filesystem::path& folder)
{
    FolderItems read;
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    if (!absolute.relative_path().empty()) {
        PanelItem parent;
        parent.Name = u"..";
        parent.Attributes = Far3::FileAttribute::Directory;
        if (const auto written = FolderWriteTime(folder))
            parent.LastWriteTime = *written;
        read.Items.push_back(parent);
    }
    ListFolder(folder, read);
    return read;
}

} // namespace Host
