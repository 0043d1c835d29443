// Where plugin settings live: per plugin GUID (and roaming/local place) a
// tree of keys holding named values, opened for one SCTL_CREATE..SCTL_FREE
// session at a time. Keys are identified by store ids; the SettingsService
// maps them to the handle-local indices the plugin sees.
#pragma once

#include "far3/Plugin3.h"
#include "host/settings/SettingValue.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Host {

using SettingsKeyId = int64_t;

struct SettingsName {
    std::string Name;
    Far3::FARSETTINGSTYPES Type = Far3::FST_UNKNOWN;
};

// One open session: exclusive use of the plugin's settings; changes become
// durable at Commit and are discarded when the session ends without it.
class SettingsSession {
public:
    virtual ~SettingsSession() = default;

    virtual SettingsKeyId PluginRoot() const = 0;
    virtual std::optional<SettingsKeyId> FindKey(SettingsKeyId parent, const std::string& name) = 0;
    // The existing key of that name, or a new one; empty when the parent is gone.
    virtual std::optional<SettingsKeyId> CreateKey(SettingsKeyId parent, const std::string& name) = 0;
    // Removes the key with its subkeys and values.
    virtual bool DeleteKey(SettingsKeyId key) = 0;

    virtual bool SetValue(SettingsKeyId key, const std::string& name, const SettingValue& value) = 0;
    virtual std::optional<SettingValue> GetValue(SettingsKeyId key, const std::string& name) = 0;
    virtual bool DeleteValue(SettingsKeyId key, const std::string& name) = 0;
    // Subkeys first (FST_SUBKEY), then values.
    virtual std::vector<SettingsName> Enumerate(SettingsKeyId key) = 0;

    virtual bool Commit() = 0;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Null when the settings cannot be opened (damaged, unreadable, in use).
    virtual std::unique_ptr<SettingsSession> Open(const Far3::GUID& plugin, const std::u16string& title,
                                                  Far3::FARSETTINGS_SUBFOLDERS place) = 0;
};

} // namespace Host
