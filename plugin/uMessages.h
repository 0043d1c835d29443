// Message numbers of the plugin's language files (ZelvaneEng.lng and its siblings).
#pragma once

#include <cstdint>

namespace Zelvane {

enum class TMessage : uint8_t {
    Title = 0,
    Ok = 1,
    Cancel = 2,
    Yes = 3,
    No = 4,
    ExceptionCaption = 5,
    NothingToRename = 6,
    FailureListHeading = 8,
    TemplateLabel = 9,
    StartingNumberLabel = 10,
    RememberCounter = 11,
    ForgetPattern = 12,
    AllowRenameUnderCursor = 13,
    RememberCounterByDefault = 14,
    // The preview of a run (F3 in the rename dialog): its heading with the
    // counts, and the reason beside each failing file.
    PreviewHeading = 15,
    ReasonTargetExists = 16,
    ReasonTakenEarlier = 17,
    ReasonNameRefused = 18,
    // Undoing the last run: the plugins-menu item and its messages.
    UndoMenuItem = 19,
    NothingToUndo = 20,
    UndoQuestion = 21,
    UndoFailureListHeading = 22,
    UndoJournalDamaged = 23,
    UndoJournalNotWritten = 24,
    // The progress box of a long run, preview or undo.
    ProgressRenaming = 25,
    ProgressPreviewing = 26,
    ProgressUndoing = 27,
    // The preview's reason for a new name in a folder that is not there.
    ReasonFolderMissing = 28,
    // The undo journal's single writer, and what undo says when it cannot go on.
    JournalBusy = 29,
    JournalCannotBeMade = 30,
    UndoFolderMissing = 31,
    UndoJournalNotUpdated = 32,
    // Esc during a long run, preview or undo: whether to stop it.
    StopRenaming = 33,
    StopPreviewing = 34,
    StopUndoing = 35,
    // A template's regular expression that does not compile, and the
    // preview's reasons for a file without the date the template uses.
    BadExpression = 36,
    ReasonNoDateTaken = 37,
    ReasonNoDate = 38,
    // Editing the names in the editor: the plugins-menu item, the editor's
    // title, the questions on the text saved, and the reasons of an edit
    // run's failures that a template run does not have.
    EditMenuItem = 39,
    EditorTitle = 40,
    LineCountDiffers = 41,
    EditAgain = 42,
    EditQuestion = 43,
    RenameButton = 44,
    PreviewButton = 45,
    ReasonSameNewName = 46,
    ReasonTargetStays = 47,
    ReasonCycleCannotComplete = 48,
    ReasonAmbiguousName = 49,
    // A changed line of the names file saved in another encoding than UTF-8.
    LineNotUtf8 = 50,
    None = 255,
};

} // namespace Zelvane
