// Plugin settings in Far 3's own files: <profile>/PluginsData/<GUID>.db, one
// SQLite database per plugin with Far's schema, so the files are
// interchangeable with Far's. A session holds BEGIN EXCLUSIVE until it ends,
// so another process cannot use the file meanwhile. Not in the Windows
// build (no SQLite there).
#pragma once

#if !defined(ZELVANE_HOST_NO_SQLITE)

#include "host/settings/SettingsStore.h"

#include <filesystem>

namespace Host {

class SqliteSettingsStore : public SettingsStore {
public:
    // PSL_ROAMING uses `roamingProfile`, PSL_LOCAL `localProfile`.
    SqliteSettingsStore(std::filesystem::path roamingProfile, std::filesystem::path localProfile);

    // The database file of a plugin's settings.
    std::filesystem::path DatabasePath(const Far3::GUID& plugin, Far3::FARSETTINGS_SUBFOLDERS place) const;

    std::unique_ptr<SettingsSession> Open(const Far3::GUID& plugin, const std::u16string& title,
                                          Far3::FARSETTINGS_SUBFOLDERS place) override;

private:
    std::filesystem::path Roaming;
    std::filesystem::path Local;
};

} // namespace Host

#endif
