// Far's SettingsControl: handles from SCTL_CREATE to SCTL_FREE over a
// SettingsStore session, handle-local key indices (0 = the plugin's root,
// then a new index on every CREATESUBKEY/OPENSUBKEY call), and the texts,
// data and name arrays handed to the plugin, kept until SCTL_FREE.
#pragma once

#include "host/settings/SettingsStore.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Host {

class SettingsService {
public:
    explicit SettingsService(SettingsStore& store) : Store(store) {}

    // The plugin whose GUID SCTL_CREATE accepts; its title describes the root key.
    void SetPlugin(const Far3::GUID& guid, std::u16string title);

    intptr_t Control(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command, intptr_t param1,
                     void* param2);

    size_t OpenHandles() const { return Handles.size(); }
    // Ends every open session without committing (the plugin never freed them).
    void DiscardAll() { Handles.clear(); }

private:
    struct OpenSettings {
        std::unique_ptr<SettingsSession> Session;
        std::vector<SettingsKeyId> Keys;
        std::deque<std::u16string> Texts;
        std::deque<std::string> Data;
        std::deque<std::vector<Far3::FarSettingsName>> NameLists;
    };

    intptr_t Create(Far3::FarSettingsCreate* create, intptr_t place);
    intptr_t Set(OpenSettings& open, const Far3::FarSettingsItem* item);
    intptr_t Get(OpenSettings& open, Far3::FarSettingsItem* item);
    intptr_t Enumerate(OpenSettings& open, Far3::FarSettingsEnum* list);
    intptr_t Delete(OpenSettings& open, const Far3::FarSettingsValue* value);
    intptr_t SubKey(OpenSettings& open, const Far3::FarSettingsValue* value, bool create);
    const SettingsKeyId* Key(const OpenSettings& open, size_t index) const;

    SettingsStore& Store;
    Far3::GUID PluginGuid{};
    std::u16string PluginTitle;
    bool HasPlugin = false;
    std::map<Far3::HANDLE, std::unique_ptr<OpenSettings>> Handles;
};

} // namespace Host
