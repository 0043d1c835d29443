#include "host/dialogs/HistoryStore.h"

#include "base/Ascii.h"
#include "base/FileTime.h"
#include "host/text/HostText.h"

#if !defined(ZELVANE_HOST_NO_SQLITE)
#include "host/settings/SqliteStatement.h"
#endif

#include <algorithm>
#include <chrono>

namespace Host {

namespace {

#if !defined(ZELVANE_HOST_NO_SQLITE)

// Dialog histories are kind 3 in Far's history table; the key is the name.
constexpr int64_t DialogHistoryKind = 3;

constexpr const char* Schema =
    "CREATE TABLE IF NOT EXISTS history("
    "id INTEGER PRIMARY KEY, kind INTEGER NOT NULL, key TEXT NOT NULL, type INTEGER NOT NULL, "
    "lock INTEGER NOT NULL, name TEXT NOT NULL, time INTEGER NOT NULL, guid TEXT NOT NULL, "
    "file TEXT NOT NULL, data TEXT NOT NULL);";

class SqliteHistoryStore : public HistoryStore {
public:
    explicit SqliteHistoryStore(std::filesystem::path file) : File(std::move(file)) {}

    std::vector<std::u16string> Entries(std::u16string_view name) override
    {
        std::vector<std::u16string> entries;
        for (HistoryEntry& entry : Read(name, "ORDER BY time DESC, id DESC"))
            entries.push_back(std::move(entry.Text));
        return entries;
    }

    std::vector<HistoryEntry> Listed(std::u16string_view name) override
    {
        return Read(name, "ORDER BY lock DESC, time DESC, id DESC");
    }

    void Add(std::u16string_view name, std::u16string_view text) override
    {
        sqlite3* db = Open();
        if (!db)
            return;
        const std::string key = Utf16ToUtf8(name);
        if (Execute(db, "BEGIN IMMEDIATE")) {
            bool done = true;
            {
                // One equal entry goes; its lock stays with the text.
                Statement same(db, "SELECT id, name, lock FROM history WHERE kind=?1 AND key=?2 "
                                   "ORDER BY lock DESC, time DESC, id DESC");
                same.Bind(1, DialogHistoryKind).Bind(2, key);
                int64_t equal = -1;
                int64_t lock = 0;
                while (equal < 0 && same.Step() == SQLITE_ROW)
                    if (SameHistoryText(Utf8ToUtf16(same.Text(1)), text)) {
                        equal = same.Integer(0);
                        lock = same.Integer(2) != 0 ? 1 : 0;
                    }
                if (equal >= 0) {
                    Statement remove(db, "DELETE FROM history WHERE id=?1");
                    done = remove.Bind(1, equal).Run() && done;
                }
                Statement insert(db, "INSERT INTO history(kind, key, type, lock, name, time, guid, file, data) "
                                     "VALUES (?1, ?2, 0, ?3, ?4, ?5, '', '', '')");
                done = insert.Bind(1, DialogHistoryKind).Bind(2, key).Bind(3, lock).Bind(4, Utf16ToUtf8(text))
                           .Bind(5, HistoryTimeNow()).Run() && done;
                Statement trim(db, "DELETE FROM history WHERE kind=?1 AND key=?2 AND lock=0 AND id NOT IN "
                                   "(SELECT id FROM history WHERE kind=?1 AND key=?2 "
                                   "ORDER BY time DESC, id DESC LIMIT ?3)");
                done = trim.Bind(1, DialogHistoryKind).Bind(2, key).Bind(3, static_cast<int64_t>(MaxEntries))
                           .Run() && done;
            }
            Execute(db, done ? "COMMIT" : "ROLLBACK");
        }
        sqlite3_close(db);
    }

    bool Remove(std::u16string_view name, std::u16string_view text) override
    {
        sqlite3* db = Open();
        if (!db)
            return false;
        bool removed = false;
        {
            Statement remove(db, "DELETE FROM history WHERE kind=?1 AND key=?2 AND name=?3 AND lock=0");
            removed = remove.Bind(1, DialogHistoryKind).Bind(2, Utf16ToUtf8(name)).Bind(3, Utf16ToUtf8(text)).Run() &&
                      sqlite3_changes(db) > 0;
        }
        sqlite3_close(db);
        return removed;
    }

    void ClearUnlocked(std::u16string_view name) override
    {
        sqlite3* db = Open();
        if (!db)
            return;
        {
            Statement clear(db, "DELETE FROM history WHERE kind=?1 AND key=?2 AND lock=0");
            clear.Bind(1, DialogHistoryKind).Bind(2, Utf16ToUtf8(name)).Run();
        }
        sqlite3_close(db);
    }

    void SetLocked(std::u16string_view name, std::u16string_view text, bool locked) override
    {
        sqlite3* db = Open();
        if (!db)
            return;
        {
            Statement lock(db, "UPDATE history SET lock=?4 WHERE kind=?1 AND key=?2 AND name=?3");
            lock.Bind(1, DialogHistoryKind).Bind(2, Utf16ToUtf8(name)).Bind(3, Utf16ToUtf8(text))
                .Bind(4, int64_t{locked ? 1 : 0}).Run();
        }
        sqlite3_close(db);
    }

private:
    // The entries of `name` in the given order ("ORDER BY ...").
    std::vector<HistoryEntry> Read(std::u16string_view name, const std::string& order)
    {
        std::vector<HistoryEntry> entries;
        sqlite3* db = Open();
        if (!db)
            return entries;
        {
            const std::string sql = "SELECT name, lock, time FROM history WHERE kind=?1 AND key=?2 " + order;
            Statement select(db, sql.c_str());
            select.Bind(1, DialogHistoryKind).Bind(2, Utf16ToUtf8(name));
            while (select.Step() == SQLITE_ROW)
                entries.push_back({Utf8ToUtf16(select.Text(0)), select.Integer(1) != 0, select.Integer(2)});
        }
        sqlite3_close(db);
        return entries;
    }

    // A history that cannot be opened is simply not kept: never an error.
    sqlite3* Open()
    {
        std::error_code ignored;
        std::filesystem::create_directories(File.parent_path(), ignored);
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(File.string().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
                SQLITE_OK ||
            sqlite3_busy_timeout(db, 2000) != SQLITE_OK || !Execute(db, Schema)) {
            sqlite3_close(db);
            return nullptr;
        }
        return db;
    }

    std::filesystem::path File;
};

#endif

} // namespace

bool SameHistoryText(std::u16string_view a, std::u16string_view b)
{
    return Base::EqualsIgnoringAsciiCase(a, b);
}

int64_t HistoryTimeNow()
{
    const std::optional<uint64_t> ticks =
        Base::FileTimeFromUnixTime(Base::UnixTimeOf(std::chrono::system_clock::now()));
    return static_cast<int64_t>(ticks.value_or(0));
}

std::vector<std::u16string> MemoryHistoryStore::Entries(std::u16string_view name)
{
    std::vector<std::u16string> entries;
    if (const auto found = Lists.find(name); found != Lists.end())
        for (const HistoryEntry& entry : found->second)
            entries.push_back(entry.Text);
    return entries;
}

std::vector<HistoryEntry> MemoryHistoryStore::Listed(std::u16string_view name)
{
    const auto found = Lists.find(name);
    if (found == Lists.end())
        return {};
    std::vector<HistoryEntry> entries = found->second;
    std::stable_partition(entries.begin(), entries.end(), [](const HistoryEntry& entry) { return entry.Locked; });
    return entries;
}

void MemoryHistoryStore::Add(std::u16string_view name, std::u16string_view text)
{
    auto& list = Lists[std::u16string(name)];
    bool locked = false;
    const auto equal = std::find_if(list.begin(), list.end(),
                                    [&](const HistoryEntry& entry) { return SameHistoryText(entry.Text, text); });
    if (equal != list.end()) {
        locked = equal->Locked;
        list.erase(equal);
    }
    list.insert(list.begin(), HistoryEntry{std::u16string(text), locked, HistoryTimeNow()});
    for (size_t i = list.size(); i > MaxEntries; --i)
        if (!list[i - 1].Locked)
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i - 1));
}

bool MemoryHistoryStore::Remove(std::u16string_view name, std::u16string_view text)
{
    const auto found = Lists.find(name);
    if (found == Lists.end())
        return false;
    return std::erase_if(found->second, [&](const HistoryEntry& entry) { return !entry.Locked && entry.Text == text; }) > 0;
}

void MemoryHistoryStore::ClearUnlocked(std::u16string_view name)
{
    if (const auto found = Lists.find(name); found != Lists.end())
        std::erase_if(found->second, [](const HistoryEntry& entry) { return !entry.Locked; });
}

void MemoryHistoryStore::SetLocked(std::u16string_view name, std::u16string_view text, bool locked)
{
    if (const auto found = Lists.find(name); found != Lists.end())
        for (HistoryEntry& entry : found->second)
            if (entry.Text == text)
                entry.Locked = locked;
}

std::unique_ptr<HistoryStore> MakeHistoryStore(const std::filesystem::path& localProfile)
{
#if !defined(ZELVANE_HOST_NO_SQLITE)
    if (!localProfile.empty())
        return std::make_unique<SqliteHistoryStore>(localProfile / "history.db");
#else
    (void)localProfile;
#endif
    return std::make_unique<MemoryHistoryStore>();
}

} // namespace Host
