// Plugin settings kept in memory for the life of the store: the same key
// tree and session rules as the SQLite file, without a file. Tests use it,
// and the Windows build, which has no SQLite.
#pragma once

#include "host/settings/SettingsStore.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace Host {

class MemorySettingsStore : public SettingsStore {
public:
    struct Key {
        SettingsKeyId Parent = 0;
        std::string Name;
    };
    struct Database {
        std::map<SettingsKeyId, Key> Keys;
        std::map<std::pair<SettingsKeyId, std::string>, SettingValue> Values;
        SettingsKeyId NextId = 1;
        SettingsKeyId Root = 0;
        bool InUse = false;
    };

    std::unique_ptr<SettingsSession> Open(const Far3::GUID& plugin, const std::u16string& title,
                                          Far3::FARSETTINGS_SUBFOLDERS place) override;

private:
    std::map<std::string, std::shared_ptr<Database>> Databases;
};

} // namespace Host
