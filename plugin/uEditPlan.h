// The order of an edit run: the files of one folder, each with the new name
// its line in the names file gave (after DecideNewName), turned into renames
// that each go to a name that is free when it is made, so that no rename ever
// needs to replace a file.
//
//  - A kept name is no rename.
//  - A rename whose target no file holds is made as it is. When the target is
//    held by another file of the run that is renamed away (a chain a->b,
//    b->c), that file goes first (b->c, then a->b).
//  - A cycle (a->b, b->a, or longer) goes through a temporary name: its first
//    member in panel order goes to a temporary name, the others follow the
//    chain back, and the temporary name goes to that first member's target.
//    The temporary name is not chosen here: the run takes one from the
//    helpers that never take an existing name, in the same folder, and keeps
//    it for the file's next step.
//  - A letter-case change (photo.JPG -> photo.jpg where the file system
//    compares names without regard to case) is one step, marked CaseOnly: a
//    file system that keeps the old case needs the run to check after the
//    rename and go through a temporary name.
//  - A rename into a subfolder (a target holding '\') comes before every
//    rename inside the folder, so it goes into the subfolder the folder held
//    when the run started, and its old name is free for the renames after it.
//
// What fails is listed, in panel order, with the reason, and never started:
// a refused line, a target held by a file outside the run, two lines giving
// one name (all of them fail), a target that a file of the run keeps (its
// line is unchanged, or it fails itself: so a chain fails from its end back),
// and every other member of a cycle that has a failing member. Two files of
// the run whose names are one name to the file system (possible only where a
// folder tells apart what the comparison does not) keep their names.
//
// Work and memory are linear in the number of files: names are looked up by
// their key in one flat hash table, each file is visited a bounded number of
// times.
// Pure: the file system is seen only through the two functions passed in.
// Plain values; safe from any thread as long as those functions are.
#pragma once

#include "base/String.h"
#include "plugin/uNameRule.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace Zelvane {

using Base::String;

// Why a file of an edit run is not renamed.
enum class TEditReason : uint8_t {
    Refused,             // its line was refused before planning (the name rule, a missing folder)
    TargetExists,        // a file outside the run holds the new name
    SameNewName,         // another line gives the same name, as the file system compares names
    TargetStays,         // a file of the run holds the new name and keeps it
    CycleCannotComplete, // part of a cycle that cannot be completed
    // another file of the run has a name the file system takes for this one
    // (a folder on Windows that tells letter case apart): neither is renamed
    AmbiguousName,
};

struct TEditFailure {
    size_t File = 0; // index into the run's files
    TEditReason Reason = TEditReason::Refused;
};

enum class TEditStepKind : uint8_t {
    Direct,        // From -> To
    ToTemporary,   // From -> the file's temporary name (To is empty)
    FromTemporary, // the file's temporary name -> To (From is empty)
};

// From and To view the names given to PlanEditRun (an old name, a target),
// so a step is valid as long as those are.
struct TEditStep {
    size_t File = 0; // index into the run's files
    TEditStepKind Kind = TEditStepKind::Direct;
    Base::StringView From;
    Base::StringView To;
    // From and To are one name to the file system: only the letter case
    // changes, which some file systems ignore.
    bool CaseOnly = false;
};

struct TEditPlan {
    std::vector<TEditStep> Steps;       // in the order they are to be made
    std::vector<TEditFailure> Failures; // in panel order
    size_t Renamed = 0;                 // the files the steps rename
};

// The form in which the file system compares names: two names are one name
// exactly when their keys are equal (FileSystemNameKeyInto on a real folder).
// Writes the key of `name` over `key`, a buffer the caller reuses for every
// name, so that keying a large run allocates nothing per name.
using TNameKey = std::function<void(Base::StringView name, String& key)>;
// Whether a file outside the run holds `name` (a name in the folder, or a
// path into a subfolder). Asked only for targets that no file of the run
// holds, at most once per file.
using THeldOutside = std::function<bool(const String& name)>;

// The steps and failures for the files `oldNames` (names in one folder, in
// panel order) and their new names (`newNames[i]` for `oldNames[i]`). Raises
// Base::EListError when the two differ in length.
TEditPlan PlanEditRun(const std::vector<String>& oldNames, const std::vector<TNewName>& newNames,
                      const TNameKey& key, const THeldOutside& heldOutside);

// The key the platform's file system gives `name`: the name itself on POSIX,
// its upper case on Windows.
String FileSystemNameKey(Base::StringView name);
// The same key written over `key` (a TNameKey).
void FileSystemNameKeyInto(Base::StringView name, String& key);

} // namespace Zelvane
