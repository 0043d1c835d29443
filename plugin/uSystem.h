// Temporary names and directory trees: the temporary directory, unique
// temporary file names (every one handed out is deleted when the plugin
// library is unloaded), and deleting a directory with all it holds.
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

// UniqueTempName with `extension` (".txt") in place of its own; while a file
// of that name exists, a counter from 0 goes before the extension. With no
// unique name the result is the extension alone (or counter and extension).
String UniqueTempNameWithExt(const String& directory, const String& prefix, const String& extension);

// The names handed out so far, in order (duplicates possible).
const std::vector<String>& TemporaryNames();

// Deletes every name handed out (a directory as a tree, a file or link as
// itself), ignoring failures, and forgets them. Runs by itself when the
// library is unloaded.
void DeleteTemporaryNames();

// Deletes `directory` with everything in it. A link, at any level, goes as
// a link: nothing outside the tree is touched. True when the directory is
// gone (or the name was empty); false leaves it with what could not go.
bool DeleteTree(const String& directory);

} // namespace Zelvane
