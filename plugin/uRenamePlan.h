// TRenamePlan: the one step that works out what a rename run does with a
// file before anything touches it: the template's expansion (reading the
// photo's date taken when the template uses it), the name rule, and the
// counter value the file takes or gives back. The run and the F3 preview
// both go through it, so the preview predicts what the run does.
//
// Planning is optimistic: a file that can go ahead (moved, or keeping its
// name) takes the counter's value as it is planned; a file that fails here
// (a name Windows cannot hold, a date it does not have) gives it back at
// once. A file planned to move whose move then fails is fed back with
// GiveBack; the counter returns to that file's value, and the files planned
// after it are planned again. So a batch can be planned ahead and replanned
// from the first surprise.
//
// Ownership: the plan owns its compiled template. Main thread only (the
// template's expressions are); reads files only for the date taken, at most
// DateTakenReadLimit bytes each. Never raises for any name.
#pragma once

#include "base/String.h"
#include "plugin/uNameRule.h"
#include "plugin/uTemplate.h"

#include <cstdint>

namespace Zelvane {

using Base::String;

// Why a file is not renamed.
enum class TPreviewReason {
    None,          // it is renamed (or keeps its name)
    TargetExists,  // a file of that name is in the folder
    TakenEarlier,  // an earlier file of this run takes that name
    NameRefused,   // Windows cannot hold the name
    FolderMissing, // the name leads into a folder that is not there
    NoDateTaken,   // the template uses the date taken and the file has none
    NoDate,        // the template uses a time of the file that has no date
    // The reasons only a run of names edited as text has:
    SameNewName,         // another line gives the same name
    TargetStays,         // a file of the run holds the new name and keeps it
    CycleCannotComplete, // part of a cycle of renames that cannot be completed
    AmbiguousName,       // another file of the run has this name to the file system
};

// What the panel says of one file of the run.
struct TPlanFile {
    Base::StringView Name;
    uint64_t Modified = 0; // last-write time (FILETIME); 0 when unknown
    uint64_t Created = 0;  // creation time
};

// One file's outcome as planned.
struct TPlannedFile {
    String Expanded;   // the name the template gave (what a failure lists)
    TNewName Decision; // keep, move to Decision.Target, or refuse
    // None: the file goes ahead (Decision says how); otherwise it fails
    // without a file system call.
    TPreviewReason Reason = TPreviewReason::None;
    int32_t Counter = 0; // the counter value the file was planned with

    bool GoesAhead() const { return Reason == TPreviewReason::None; }
};

class TRenamePlan {
public:
    // A run over the folder `directory` (the host's native form, ending in
    // a separator; empty when the files cannot be reached) of `total` files
    // whose counter starts at `start`.
    TRenamePlan(TTemplate nameTemplate, String directory, int32_t start, int32_t total);

    // The next file's outcome with the counter as it stands.
    TPlannedFile Next(const TPlanFile& file);
    // A file planned to go ahead did not: its counter value is free again,
    // and every file planned after it must be planned again.
    void GiveBack(const TPlannedFile& file);
    // Every file planned from here on is planned again, the next of them
    // with the counter value `next` (as the files really renamed left it).
    void Replan(int32_t next) { NextValue = next; }
    // The value the next file gets.
    int32_t Counter() const { return NextValue; }

private:
    TTemplate Template;
    String Directory;
    String FolderName;
    int32_t NextValue;
    int32_t Total;
    String Path; // the file's full name for the date taken, built in one buffer
};

// The counter's step to the next file: 32 bits that wrap instead of
// overflowing (2147483647 is followed by -2147483648).
int32_t NextCounterValue(int32_t value);

} // namespace Zelvane
