// Reading a real folder into panel items, as Far's file panel shows it.
#pragma once

#include "host/files/Panel.h"

#include <filesystem>
#include <vector>

namespace Host {

// The items of a folder and the store that holds their names.
struct FolderItems {
    std::vector<PanelItem> Items;
    Base::TextStore Names;
};

// The items of `folder` in Far's order (".." first in a non-root folder,
// then folders, then files, by name), nothing selected; none but ".." when
// the folder cannot be read.
FolderItems ReadFolder(const std::filesystem::path& folder);

} // namespace Host
