// Another program run on a file while the host waits, as Far and mc run an
// external editor: the command line comes from the user's environment
// (VISUAL, else EDITOR, as Unix tools read them) and goes through the shell,
// which gets the file name as its first argument ("$1"), so no character of
// the name is ever read as shell syntax. Interrupt and quit signals reach
// the program, not the host, while it runs. One thread; on Windows no
// program is run.
#pragma once

#include <filesystem>
#include <string>

namespace Host {

// The external editor the environment names; empty when none is set.
std::string ExternalEditorCommand();

// Runs `command` (shell text, e.g. "vim" or "code --wait") on `file` and
// waits for it: its exit status, or -1 when it could not be started or did
// not exit normally; 127 is the shell's "command not found".
int RunWithFile(const std::string& command, const std::filesystem::path& file);

} // namespace Host
