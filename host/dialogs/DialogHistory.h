// The edit histories of dialogs: every name (DIF_HISTORY) is one list shared
// by all dialogs that use it, newest first. Far keeps them in history.db in
// the local profile; without a profile (or without SQLite, in the Windows
// build) they live in memory for the life of the host.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

class DialogHistory {
public:
    // Far's default limit of entries per name.
    static constexpr size_t MaxEntries = 1000;

    virtual ~DialogHistory() = default;
    // Newest first.
    virtual std::vector<std::u16string> Entries(std::u16string_view name) = 0;
    // Puts `text` on top; an equal entry (ignoring ASCII case) moves there.
    virtual void Add(std::u16string_view name, std::u16string_view text) = 0;
    // Deletes the entries equal to `text` exactly (Shift+Del in a list).
    virtual void Remove(std::u16string_view name, std::u16string_view text) = 0;
};

class MemoryDialogHistory : public DialogHistory {
public:
    std::vector<std::u16string> Entries(std::u16string_view name) override;
    void Add(std::u16string_view name, std::u16string_view text) override;
    void Remove(std::u16string_view name, std::u16string_view text) override;

private:
    std::map<std::u16string, std::vector<std::u16string>, std::less<>> Lists;
};

// history.db in `localProfile`, memory when it is empty or SQLite is absent.
std::unique_ptr<DialogHistory> MakeDialogHistory(const std::filesystem::path& localProfile);

// True when the two texts are equal ignoring the case of ASCII letters.
bool SameHistoryText(std::u16string_view a, std::u16string_view b);

} // namespace Host
