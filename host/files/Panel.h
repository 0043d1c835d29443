// One file panel as Far shows it: the items of a real folder (".." first in
// a non-root folder, then folders, then files, by name) or a list a test
// gives, with per-item selection, the cursor and the panel's directory.
#pragma once

#include "base/TextStore.h"
#include "far3/Plugin3.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Host {

// One item of a panel, 40 bytes: a panel of a million files is a few tens
// of megabytes. Its name is held by the panel's text store (see Panel): a
// PanelItem handed to ShowItems may point anywhere, the panel keeps a copy.
// The one date is the last write, which the host also gives as the
// creation, access and change times, as the readers know no other.
struct PanelItem {
    std::u16string_view Name;
    uint64_t Size = 0;
    Far3::FILETIME LastWriteTime{};
    uint32_t Attributes = 0;
    bool Selected = false;

    bool IsParentLink() const { return Name == u".."; }
};

class Panel {
public:
    Panel() = default;
    // The items' names live in the panel's store: a copy would point into
    // the original's.
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    // Shows a real folder; UPDATEPANEL re-reads it.
    void ShowFolder(const std::filesystem::path& folder);
    // Shows the given items (a test's list) under the given directory name;
    // their names are copied.
    void ShowItems(std::u16string directory, std::vector<PanelItem> items);

    // The real folder shown, empty for a list of items.
    const std::filesystem::path& Folder() const { return RealFolder; }
    const std::u16string& Directory() const { return DirectoryName; }
    const std::vector<PanelItem>& Items() const { return Entries; }

    size_t CurrentItem() const { return Cursor; }
    void SetCurrentItem(size_t index);
    // Index of the item of that name, if any.
    std::optional<size_t> Find(std::u16string_view name) const;

    // Out-of-range indices are ignored; ".." is never selected.
    void Select(size_t index, bool selected);
    void ClearSelection();
    size_t SelectedCount() const;
    std::vector<std::u16string> SelectedNames() const;
    // The index of the n-th selected item, if there are that many.
    std::optional<size_t> SelectedIndex(size_t n) const;

    // Far's FCTL_UPDATEPANEL: re-reads the folder, keeping the selection by
    // name when asked; the cursor follows the current item's name.
    void Update(bool keepSelection);

private:
    std::filesystem::path RealFolder;
    std::u16string DirectoryName;
    std::vector<PanelItem> Entries;
    // The items' names, each held once; replaced with the items.
    Base::TextStore Names;
    size_t Cursor = 0;
};

} // namespace Host
