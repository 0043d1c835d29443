// The folder `zelvane-host --demo` opens: a dozen files of several kinds
// and a sub-folder, in a fresh folder of its own, so that a first rename
// (select all, F11, Enter, Enter: "file%#.%e") shows renamed files and one
// name clash ("data.txt" would become "file2.txt", which exists).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace Host {

// The names of the files made in the demo folder.
std::vector<std::string> DemoFileNames();

// Makes a new folder "zelvane-demo-<number>" in `parent` and fills it;
// throws HostError when it cannot.
std::filesystem::path MakeDemoFolder(const std::filesystem::path& parent);

} // namespace Host
