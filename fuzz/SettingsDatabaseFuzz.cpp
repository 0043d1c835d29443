// A plugin's settings database as the host finds it on disk: whatever the
// file holds, opening it and reading every key and value neither crashes
// nor hangs (a damaged file is simply not opened).
#include "FuzzSupport.h"
#include "host/settings/SqliteSettingsStore.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

void ReadAll(Host::SettingsSession& session, Host::SettingsKeyId key, int depth)
{
    for (const Host::SettingsName& entry : session.Enumerate(key)) {
        if (entry.Type == Far3::FST_SUBKEY) {
            if (depth < 8)
                if (const auto child = session.FindKey(key, entry.Name))
                    ReadAll(session, *child, depth + 1);
        } else {
            session.GetValue(key, entry.Name);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Far3::GUID plugin{0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
    Host::SqliteSettingsStore store(Fuzz::Folder(), Fuzz::Folder());
    const std::filesystem::path file = store.DatabasePath(plugin, Far3::PSL_ROAMING);
    std::filesystem::create_directories(file.parent_path());
    std::filesystem::remove(file.string() + "-journal");
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (auto session = store.Open(plugin, u"Fuzz", Far3::PSL_ROAMING))
        ReadAll(*session, session->PluginRoot(), 0);
    return 0;
}
