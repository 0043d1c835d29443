// Temporary names and directory trees: the temporary directory, unique
// temporary file names (a file the plugin made at one of them is deleted when
// the plugin library is unloaded), and deleting a directory with all it holds.
#pragma once

#include "base/String.h"

#include <vector>

namespace Zelvane {

using Base::String;

// The system's temporary directory, ending in a separator; empty when the
// system gives none or one longer than a path may be.
String TempDirectory();

// A name the system has just proved unused in `directory`: the first three
// characters of `prefix`, hexadecimal digits and ".tmp". The file the system
// creates for it is deleted at once; only the name is kept. Empty on failure.
String UniqueTempName(const String& directory, const String& prefix);

// A new, empty file of the plugin's own in `directory`, named like
// UniqueTempName but with `extension` (".txt") in place of its own; while
// that name is taken, a counter from 0 goes before the extension. The file is
// created exclusively and remembered as the plugin's, so the clean-up at
// unload deletes it. Raises Base::EFCreateError naming the directory and the
// system's reason when no such file can be made there (no usable temporary
// folder, no free name, a medium that refuses it): a name relative to
// whatever folder is current is never handed out.
String UniqueTempNameWithExt(const String& directory, const String& prefix, const String& extension);

// The names handed out so far, in order (duplicates possible).
std::vector<String> TemporaryNames();

// Deletes the files the plugin made at the names it handed out, when what
// is there now is still that very file (on POSIX the same device, inode and
// owner): never a folder, never a tree, never what someone put at a freed
// name. Ignores failures and forgets the names. Runs by itself when the
// library is unloaded.
void DeleteTemporaryNames();

// Deletes `directory` with everything in it. A link, at any level, goes as
// a link: nothing outside the tree is touched. True when the directory is
// gone (or the name was empty); false leaves it with what could not go.
bool DeleteTree(const String& directory);

} // namespace Zelvane
