// The preview of a rename run, F3 in the rename dialog: every file the run
// would take, in panel order, with the name it would get or the reason it
// would fail. The new names come from the template and starting number as
// the dialog holds them, worked out exactly as the run works them out: the
// same expansion, the same name rule, a counter value given back after each
// would-be failure, and names compared as the folder's file system compares
// them. Nothing is renamed and nothing is saved. As long as nothing else
// changes the folder in between, the run that follows does what the preview
// shows. Main thread only, like every host service it uses.
#pragma once

#include "base/String.h"
#include "plugin/uMessages.h"
#include "plugin/uRenamePlan.h"

#include <vector>

namespace Zelvane {

using Base::String;

struct TPreviewLine {
    String OldName;
    // The name the run makes when the file is renamed; the name as expanded
    // when it fails.
    String NewName;
    TPreviewReason Reason = TPreviewReason::None;
};

// A file's times as the panel shows them (FILETIME values; 0 when unknown).
struct TRunFileTimes {
    uint64_t Modified = 0;
    uint64_t Created = 0;
};

// What a run starts from.
struct TRunInput {
    String Directory;              // the panel's folder in the host's native form
    std::vector<String> FileNames; // the run's files, in panel order
    // Their times, in the same order; empty when no template needs them.
    std::vector<TRunFileTimes> FileTimes;
    String FileNameTemplate;
    String StartingNumber;         // as typed ("007")
};

// The run's outcome file by file. Reads the folder's names (and a photo's
// first bytes for the date taken); raises Base::EConvertError as the run does
// when the starting number is no number, and ETemplateError when a regular
// expression of the template does not compile.
// When the user stops it (Esc, then Yes), the lines end with the last file
// worked out, so there are fewer of them than files.
std::vector<TPreviewLine> PreviewRun(const TRunInput& run);

// The preview as text: the heading with the counts, then one line per file,
// `"old" -> "new"`, a failing one followed by two blanks and the reason in
// parentheses; lines end in CR LF.
std::vector<String> PreviewText(const std::vector<TPreviewLine>& lines);

// The text shown beside a file that fails for `reason` (TMessage::None for
// TPreviewReason::None).
TMessage ReasonMessage(TPreviewReason reason);

// Writes the preview to a UTF-8 file in the temporary folder and shows it in
// the host's viewer, which deletes the file when the user closes it; returns
// then. Raises when the file cannot be written.
void ShowPreview(const std::vector<TPreviewLine>& lines);

} // namespace Zelvane
