#include "host/settings/SqliteSettingsStore.h"

#if !defined(ZELVANE_HOST_NO_SQLITE)

#include "host/text/HostText.h"
#include "host/settings/SqliteStatement.h"

namespace Host {

namespace {

constexpr const char* Schema =
    "CREATE TABLE IF NOT EXISTS table_keys("
    "id INTEGER PRIMARY KEY, parent_id INTEGER NOT NULL, name TEXT NOT NULL, description TEXT, "
    "FOREIGN KEY(parent_id) REFERENCES table_keys(id) ON UPDATE CASCADE ON DELETE CASCADE, "
    "UNIQUE (parent_id,name));"
    "CREATE TABLE IF NOT EXISTS table_values("
    "key_id INTEGER NOT NULL, name TEXT NOT NULL, value BLOB, "
    "FOREIGN KEY(key_id) REFERENCES table_keys(id) ON UPDATE CASCADE ON DELETE CASCADE, "
    "PRIMARY KEY (key_id, name), CHECK (key_id <> 0));"
    "INSERT OR IGNORE INTO table_keys VALUES (0, 0, '', 'Root - do not edit');";

class SqliteSession : public SettingsSession {
public:
    SqliteSession(sqlite3* db, SettingsKeyId root) : Db(db), Root(root) {}
    ~SqliteSession() override
    {
        if (!Committed)
            Execute(Db, "ROLLBACK");
        sqlite3_close(Db);
    }

    SettingsKeyId PluginRoot() const override { return Root; }

    std::optional<SettingsKeyId> FindKey(SettingsKeyId parent, const std::string& name) override
    {
        Statement find(Db, "SELECT id FROM table_keys WHERE parent_id=?1 AND name=?2 AND id<>0");
        find.Bind(1, parent).Bind(2, name);
        if (find.Step() != SQLITE_ROW)
            return std::nullopt;
        return find.Integer(0);
    }

    std::optional<SettingsKeyId> CreateKey(SettingsKeyId parent, const std::string& name) override
    {
        if (auto existing = FindKey(parent, name))
            return existing;
        Statement insert(Db, "INSERT INTO table_keys(parent_id, name) VALUES (?1, ?2)");
        if (!insert.Bind(1, parent).Bind(2, name).Run())
            return std::nullopt;
        return sqlite3_last_insert_rowid(Db);
    }

    bool DeleteKey(SettingsKeyId key) override
    {
        Statement remove(Db, "DELETE FROM table_keys WHERE id=?1 AND id<>0");
        return remove.Bind(1, key).Run();
    }

    bool SetValue(SettingsKeyId key, const std::string& name, const SettingValue& value) override
    {
        Statement replace(Db, "REPLACE INTO table_values(key_id, name, value) VALUES (?1, ?2, ?3)");
        replace.Bind(1, key).Bind(2, name);
        if (auto number = std::get_if<int64_t>(&value))
            replace.Bind(3, *number);
        else if (auto text = std::get_if<std::string>(&value))
            replace.Bind(3, *text);
        else
            replace.BindBlob(3, std::get<SettingBlob>(value).Bytes);
        return replace.Run();
    }

    std::optional<SettingValue> GetValue(SettingsKeyId key, const std::string& name) override
    {
        Statement select(Db, "SELECT value FROM table_values WHERE key_id=?1 AND name=?2");
        select.Bind(1, key).Bind(2, name);
        if (select.Step() != SQLITE_ROW)
            return std::nullopt;
        switch (select.Type(0)) {
        case SQLITE_INTEGER: return select.Integer(0);
        case SQLITE_BLOB: return SettingBlob{select.Blob(0)};
        default: return select.Text(0);
        }
    }

    bool DeleteValue(SettingsKeyId key, const std::string& name) override
    {
        Statement remove(Db, "DELETE FROM table_values WHERE key_id=?1 AND name=?2");
        return remove.Bind(1, key).Bind(2, name).Run();
    }

    std::vector<SettingsName> Enumerate(SettingsKeyId key) override
    {
        std::vector<SettingsName> names;
        Statement keys(Db, "SELECT name FROM table_keys WHERE parent_id=?1 AND id<>?1");
        keys.Bind(1, key);
        while (keys.Step() == SQLITE_ROW)
            names.push_back({keys.Text(0), Far3::FST_SUBKEY});
        Statement values(Db, "SELECT name, value FROM table_values WHERE key_id=?1");
        values.Bind(1, key);
        while (values.Step() == SQLITE_ROW) {
            switch (values.Type(1)) {
            case SQLITE_INTEGER: names.push_back({values.Text(0), Far3::FST_QWORD}); break;
            case SQLITE_TEXT: names.push_back({values.Text(0), Far3::FST_STRING}); break;
            case SQLITE_BLOB: names.push_back({values.Text(0), Far3::FST_DATA}); break;
            default: break;
            }
        }
        return names;
    }

    bool Commit() override
    {
        Committed = Execute(Db, "END");
        return Committed;
    }

private:
    sqlite3* Db;
    SettingsKeyId Root;
    bool Committed = false;
};

} // namespace

SqliteSettingsStore::SqliteSettingsStore(std::filesystem::path roamingProfile, std::filesystem::path localProfile)
    : Roaming(std::move(roamingProfile)), Local(std::move(localProfile))
{
}

std::filesystem::path SqliteSettingsStore::DatabasePath(const Far3::GUID& plugin,
                                                        Far3::FARSETTINGS_SUBFOLDERS place) const
{
    return (place == Far3::PSL_LOCAL ? Local : Roaming) / "PluginsData" / (GuidText(plugin) + ".db");
}

std::unique_ptr<SettingsSession> SqliteSettingsStore::Open(const Far3::GUID& plugin, const std::u16string& title,
                                                           Far3::FARSETTINGS_SUBFOLDERS place)
{
    std::filesystem::path path = DatabasePath(plugin, place);
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.string().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
            SQLITE_OK ||
        sqlite3_db_readonly(db, "main") != 0) {
        sqlite3_close(db);
        return nullptr;
    }
    // Far's settings are read and written inside one exclusive transaction;
    // any failure here (damaged file, another user) leaves the file as it was.
    bool ready = Execute(db, "PRAGMA foreign_keys = ON") && Execute(db, "BEGIN EXCLUSIVE");
    if (!ready) {
        sqlite3_close(db);
        return nullptr;
    }
    std::string rootName = GuidText(plugin);
    std::optional<SettingsKeyId> root;
    if (Execute(db, Schema)) {
        Statement insert(db, "INSERT OR IGNORE INTO table_keys(parent_id, name, description) VALUES (0, ?1, ?2)");
        Statement find(db, "SELECT id FROM table_keys WHERE parent_id=0 AND name=?1 AND id<>0");
        if (insert.Bind(1, rootName).Bind(2, Utf16ToUtf8(title)).Run() && find.Bind(1, rootName).Step() == SQLITE_ROW)
            root = find.Integer(0);
    }
    if (!root) {
        Execute(db, "ROLLBACK");
        sqlite3_close(db);
        return nullptr;
    }
    return std::make_unique<SqliteSession>(db, *root);
}

} // namespace Host

#endif
