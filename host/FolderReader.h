// Reading a real folder into panel items, as Far's file panel shows it.
#pragma once

#include "host/Panel.h"

#include <filesystem>
#include <vector>

namespace Host {

// The items of `folder` in Far's order (".." first in a non-root folder,
// then folders, then files, by name), nothing selected; none but ".." when
// the folder cannot be read.
std::vector<PanelItem> ReadFolder(const std::filesystem::path& folder);

} // namespace Host
