// The name rule of a rename run: what a name the template expanded to
// becomes before it is handed to MoveFileW, or that it is not handed over at
// all. The host gives the plugin verbatim paths (\\?\C:\...), and through
// them Windows normalises nothing: it would make names that Explorer and
// most programs can neither open nor delete. So the run applies Windows'
// own rules itself, the same on every build, and everything that shows a
// run's outcome beforehand uses this very function.
#pragma once

#include "base/String.h"

#include <optional>

namespace Zelvane {

using Base::String;

// `expanded` with its trailing dots and blanks dropped, as Windows would
// drop them; nothing when Windows cannot hold the name: nothing is left, a
// part of it names a device (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, in any
// case, before the first dot and its trailing blanks: "con.txt", "Nul .txt",
// "com1.tar.gz"), or it holds a character Windows refuses in file names
// (< > : " / | ? * and codes 0-31). A backslash separates folders, as it
// does when the name is joined to the panel's folder; an empty part, "." or
// ".." is refused too, since the host's verbatim paths never resolve them.
std::optional<String> UsableFileName(const String& expanded);

// What a run does with the file `oldName` whose template gave `expanded`:
// keep it (the name stays, and the file counts as renamed without a call),
// refuse it (Windows cannot hold the name), or move it to `Target`.
struct TNewName {
    enum class TAction { Keep, Refuse, Move };
    TAction Action = TAction::Refuse;
    String Target;
};
TNewName DecideNewName(Base::StringView oldName, const String& expanded);

} // namespace Zelvane
