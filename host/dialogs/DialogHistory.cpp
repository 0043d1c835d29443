#include "host/dialogs/DialogHistory.h"

#include "base/Ascii.h"
#include "base/FileTime.h"
#include "host/HostText.h"

#if !defined(ZELVANE_HOST_NO_SQLITE)
#include "host/SqliteStatement.h"
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

// 100-nanosecond ticks since 1601-01-01, as Far stores times.
int64_t FileTimeNow()
{
    const std::optional<uint64_t> ticks =
        Base::FileTimeFromUnixTime(Base::UnixTimeOf(std::chrono::system_clock::now()));
    return static_cast<int64_t>(ticks.value_or(0));
}

class SqliteDialogHistory : public DialogHistory {
public:
    explicit SqliteDialogHistory(std::filesystem::path file) : File(std::move(file)) {}

    std::vector<std::u16string> Entries(std::u16string_view name) override
    {
        std::vector<std::u16string> entries;
        sqlite3* db = Open();
        if (!db)
            return entries;
        {
            Statement select(db, "SELECT name FROM history WHERE kind=?1 AND key=?2 ORDER BY time DESC, id DESC");
            select.Bind(1, DialogHistoryKind).Bind(2, Utf16ToUtf8(name));
            while (select.Step() == SQLITE_ROW)
                entries.push_back(Utf8ToUtf16(select.Text(0)));
        }
        sqlite3_close(db);
        return entries;
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
                Statement same(db, "SELECT id, name FROM history WHERE kind=?1 AND key=?2");
                same.Bind(1, DialogHistoryKind).Bind(2, key);
                std::vector<int64_t> equal;
                while (same.Step() == SQLITE_ROW)
                    if (SameHistoryText(Utf8ToUtf16(same.Text(1)), text))
                        equal.push_back(same.Integer(0));
                for (int64_t id : equal) {
                    Statement remove(db, "DELETE FROM history WHERE id=?1");
                    done = remove.Bind(1, id).Run() && done;
                }
                Statement insert(db, "INSERT INTO history(kind, key, type, lock, name, time, guid, file, data) "
                                     "VALUES (?1, ?2, 0, 0, ?3, ?4, '', '', '')");
                done = insert.Bind(1, DialogHistoryKind).Bind(2, key).Bind(3, Utf16ToUtf8(text))
                           .Bind(4, FileTimeNow()).Run() && done;
                Statement trim(db, "DELETE FROM history WHERE kind=?1 AND key=?2 AND id NOT IN "
                                   "(SELECT id FROM history WHERE kind=?1 AND key=?2 "
                                   "ORDER BY time DESC, id DESC LIMIT ?3)");
                done = trim.Bind(1, DialogHistoryKind).Bind(2, key).Bind(3, static_cast<int64_t>(MaxEntries))
                           .Run() && done;
            }
            Execute(db, done ? "COMMIT" : "ROLLBACK");
        }
        sqlite3_close(db);
    }

    void Remove(std::u16string_view name, std::u16string_view text) override
    {
        sqlite3* db = Open();
        if (!db)
            return;
        {
            Statement remove(db, "DELETE FROM history WHERE kind=?1 AND key=?2 AND name=?3");
            remove.Bind(1, DialogHistoryKind).Bind(2, Utf16ToUtf8(name)).Bind(3, Utf16ToUtf8(text)).Run();
        }
        sqlite3_close(db);
    }

private:
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

std::vector<std::u16string> MemoryDialogHistory::Entries(std::u16string_view name)
{
    auto found = Lists.find(name);
    return found == Lists.end() ? std::vector<std::u16string>{} : found->second;
}

void MemoryDialogHistory::Add(std::u16string_view name, std::u16string_view text)
{
    auto& list = Lists[std::u16string(name)];
    std::erase_if(list, [&](const std::u16string& entry) { return SameHistoryText(entry, text); });
    list.insert(list.begin(), std::u16string(text));
    if (list.size() > MaxEntries)
        list.resize(MaxEntries);
}

void MemoryDialogHistory::Remove(std::u16string_view name, std::u16string_view text)
{
    const auto found = Lists.find(name);
    if (found != Lists.end())
        std::erase_if(found->second, [&](const std::u16string& entry) { return entry == text; });
}

std::unique_ptr<DialogHistory> MakeDialogHistory(const std::filesystem::path& localProfile)
{
#if !defined(ZELVANE_HOST_NO_SQLITE)
    if (!localProfile.empty())
        return std::make_unique<SqliteDialogHistory>(localProfile / "history.db");
#else
    (void)localProfile;
#endif
    return std::make_unique<MemoryDialogHistory>();
}

} // namespace Host
