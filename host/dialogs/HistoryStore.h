// The edit histories of dialogs: every name (DIF_HISTORY) is one list shared
// by all dialogs that use it. Each entry has its text, the time it was last
// added and a lock; a locked entry is never dropped by the size limit, by
// Shift+Del or by clearing the list. Far keeps them in history.db in the
// local profile; without a profile (or without SQLite, in the Windows build)
// they live in memory for the life of the host. One thread; a store that
// cannot be opened or written keeps nothing and reports no error.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

struct HistoryEntry {
    std::u16string Text;
    bool Locked = false;
    // When the entry was last added: 100-nanosecond ticks since 1601 (UTC).
    int64_t Time = 0;

    bool operator==(const HistoryEntry&) const = default;
};

class HistoryStore {
public:
    // Far's default limit of entries per name (locked entries are kept beyond it).
    static constexpr size_t MaxEntries = 1000;

    virtual ~HistoryStore() = default;
    // Newest first, locks aside: the starting text and the completion use it.
    virtual std::vector<std::u16string> Entries(std::u16string_view name) = 0;
    // As the drop-down list shows them: the locked entries first, each part newest first.
    virtual std::vector<HistoryEntry> Listed(std::u16string_view name) = 0;
    // Puts `text` on top, added now. One equal entry (ignoring ASCII case)
    // goes and hands its lock to the new one; unlocked entries beyond the
    // newest MaxEntries go too.
    virtual void Add(std::u16string_view name, std::u16string_view text) = 0;
    // Deletes the unlocked entries equal to `text` exactly (Shift+Del in a
    // list); false when there was none.
    virtual bool Remove(std::u16string_view name, std::u16string_view text) = 0;
    // Deletes every unlocked entry of the name (Del in the list).
    virtual void ClearUnlocked(std::u16string_view name) = 0;
    // Locks or unlocks the entries equal to `text` exactly (Ins in the list).
    virtual void SetLocked(std::u16string_view name, std::u16string_view text, bool locked) = 0;
};

class MemoryHistoryStore : public HistoryStore {
public:
    std::vector<std::u16string> Entries(std::u16string_view name) override;
    std::vector<HistoryEntry> Listed(std::u16string_view name) override;
    void Add(std::u16string_view name, std::u16string_view text) override;
    bool Remove(std::u16string_view name, std::u16string_view text) override;
    void ClearUnlocked(std::u16string_view name) override;
    void SetLocked(std::u16string_view name, std::u16string_view text, bool locked) override;

private:
    // Newest first.
    std::map<std::u16string, std::vector<HistoryEntry>, std::less<>> Lists;
};

// history.db in `localProfile`, memory when it is empty or SQLite is absent.
std::unique_ptr<HistoryStore> MakeHistoryStore(const std::filesystem::path& localProfile);

// True when the two texts are equal ignoring the case of ASCII letters.
bool SameHistoryText(std::u16string_view a, std::u16string_view b);

// The current time as the histories store it.
int64_t HistoryTimeNow();

} // namespace Host
