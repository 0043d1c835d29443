#include "host/settings/MemorySettingsStore.h"

#include "host/text/HostText.h"

#include <vector>

namespace Host {

namespace {

// Works on a copy of the database; Commit puts the copy in its place.
class MemorySession : public SettingsSession {
public:
    explicit MemorySession(std::shared_ptr<MemorySettingsStore::Database> database)
        : Stored(std::move(database)), Work(*Stored)
    {
        Stored->InUse = true;
    }
    ~MemorySession() override { Stored->InUse = false; }

    SettingsKeyId PluginRoot() const override { return Work.Root; }

    std::optional<SettingsKeyId> FindKey(SettingsKeyId parent, const std::string& name) override
    {
        for (const auto& [id, key] : Work.Keys)
            if (key.Parent == parent && key.Name == name)
                return id;
        return std::nullopt;
    }

    std::optional<SettingsKeyId> CreateKey(SettingsKeyId parent, const std::string& name) override
    {
        if (!Work.Keys.contains(parent))
            return std::nullopt;
        if (auto existing = FindKey(parent, name))
            return existing;
        SettingsKeyId id = Work.NextId++;
        Work.Keys[id] = {parent, name};
        return id;
    }

    bool DeleteKey(SettingsKeyId key) override
    {
        std::vector<SettingsKeyId> doomed{key};
        for (size_t i = 0; i < doomed.size(); ++i)
            for (const auto& [id, child] : Work.Keys)
                if (child.Parent == doomed[i] && id != doomed[i])
                    doomed.push_back(id);
        for (SettingsKeyId id : doomed) {
            Work.Keys.erase(id);
            std::erase_if(Work.Values, [id](const auto& entry) { return entry.first.first == id; });
        }
        return true;
    }

    bool SetValue(SettingsKeyId key, const std::string& name, const SettingValue& value) override
    {
        if (!Work.Keys.contains(key))
            return false;
        Work.Values[{key, name}] = value;
        return true;
    }

    std::optional<SettingValue> GetValue(SettingsKeyId key, const std::string& name) override
    {
        auto found = Work.Values.find({key, name});
        if (found == Work.Values.end())
            return std::nullopt;
        return found->second;
    }

    bool DeleteValue(SettingsKeyId key, const std::string& name) override
    {
        Work.Values.erase({key, name});
        return true;
    }

    std::vector<SettingsName> Enumerate(SettingsKeyId key) override
    {
        std::vector<SettingsName> names;
        for (const auto& [id, child] : Work.Keys)
            if (child.Parent == key && id != key)
                names.push_back({child.Name, Far3::FST_SUBKEY});
        for (const auto& [where, value] : Work.Values)
            if (where.first == key)
                names.push_back({where.second, SettingType(value)});
        return names;
    }

    bool Commit() override
    {
        Work.InUse = true;
        *Stored = Work;
        return true;
    }

private:
    std::shared_ptr<MemorySettingsStore::Database> Stored;
    MemorySettingsStore::Database Work;
};

} // namespace

std::unique_ptr<SettingsSession> MemorySettingsStore::Open(const Far3::GUID& plugin, const std::u16string&,
                                                           Far3::FARSETTINGS_SUBFOLDERS place)
{
    std::string name = GuidText(plugin) + (place == Far3::PSL_LOCAL ? "/local" : "/roaming");
    auto& database = Databases[name];
    if (!database) {
        database = std::make_shared<Database>();
        database->Keys[0] = {0, ""};
        database->Root = database->NextId++;
        database->Keys[database->Root] = {0, GuidText(plugin)};
    }
    // One session at a time, like the exclusive transaction on Far's file.
    if (database->InUse)
        return nullptr;
    return std::make_unique<MemorySession>(database);
}

} // namespace Host
