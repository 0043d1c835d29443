#include "plugin/uUndo.h"

#include "base/Format.h"
#include "framework/FarModule.h"
#include "framework/FarPanel.h"
#include "platform/Platform.h"
#include "plugin/uFailureList.h"
#include "plugin/uProgress.h"
#include "plugin/uStrings.h"

#include <algorithm>
#include <optional>

namespace Zelvane {

namespace {

// Whether `stamp` is the file the entry renamed: its ID (when recorded),
// size and last-write time.
bool IsTheFile(const TFileStamp& stamp, const TJournalEntry& entry)
{
    return stamp.Size == entry.Size && stamp.LastWriteTime == entry.LastWriteTime &&
           (!entry.HasIdentity || stamp.Identity == entry.Identity);
}

// An entry an undo still has to take back.
bool IsPending(const TJournalEntry& entry)
{
    return entry.State != TEntryState::NotDone && !entry.Undone;
}

void Tell(TMessage text, Far3::FARMESSAGEFLAGS flags)
{
    const std::vector<String> items{MessageText(TMessage::Title), MessageText(text), MessageText(TMessage::Ok)};
    Tessel::TFarModule::ShowMessage(items, 2, flags, 1);
}

// A warning with a name in it.
void ShowNamed(TMessage text, const String& name)
{
    const std::vector<String> items{MessageText(TMessage::Title), Base::Format(MessageText(text), {name}),
                                    MessageText(TMessage::Ok)};
    Tessel::TFarModule::ShowMessage(items, 2, Far3::FMSG_WARNING, 1);
}

bool AskToUndo(const TJournal& journal, size_t pending)
{
    const auto count = static_cast<long long>(pending);
    const std::vector<String> items{MessageText(TMessage::Title),
                                    Base::Format(MessageText(TMessage::UndoQuestion), {count, journal.Folder}),
                                    MessageText(TMessage::Yes), MessageText(TMessage::No)};
    return Tessel::TFarModule::ShowMessage(items, 3, Far3::FMSG_WARNING, 2) == 0;
}

// The folder as the file calls take it, ending in a separator; empty when
// it is no folder (any more).
String ExistingFolder(const String& folder)
{
    String directory = Tessel::TFarModule::NativePath(folder);
    if (directory.empty())
        return {};
    const Platform::DWORD attributes = Platform::GetFileAttributesW(directory.c_str());
    if (attributes == Platform::InvalidFileAttributes || (attributes & Platform::FileAttribute::Directory) == 0)
        return {};
    // A folder the host gives with '/' at its end has its separator already.
    return FolderWithSeparator(std::move(directory), u"\\/");
}

} // namespace

TUndoOutcome UndoEntry(const String& directory, const TJournalEntry& entry)
{
    const String from = directory + entry.NewName;
    const String to = directory + entry.OldName;
    const std::optional<TFileStamp> atNew = ReadFileStamp(from);
    const bool newIsIt = atNew && IsTheFile(*atNew, entry);
    const bool mayMove = entry.State == TEntryState::Renamed || !entry.Tried;
    // The move itself refuses an old name that is taken, with no gap
    // between a look and the rename.
    if (newIsIt && mayMove && Platform::MoveFileW(from.c_str(), to.c_str()) != 0)
        return TUndoOutcome::MovedBack;
    // The old name is looked at only now: a look for a name that is not
    // there costs a search of the whole folder where names are compared
    // without regard to case. The same file under both names (a new
    // spelling of its name) is no sign that it went back.
    const std::optional<TFileStamp> atOld = ReadFileStamp(to);
    const bool oldIsIt = atOld && IsTheFile(*atOld, entry) && !(atNew && atNew->Identity == atOld->Identity);
    return oldIsIt ? TUndoOutcome::AlreadyBack : TUndoOutcome::LeftAlone;
}

void ShowJournalNotWritten()
{
    Tell(TMessage::UndoJournalNotWritten, Far3::FMSG_WARNING);
}

void ShowJournalBusy()
{
    Tell(TMessage::JournalBusy, Far3::FMSG_WARNING);
}

bool AskToRenameUnrecorded()
{
    const std::vector<String> items{MessageText(TMessage::Title), MessageText(TMessage::JournalCannotBeMade),
                                    MessageText(TMessage::Yes), MessageText(TMessage::No)};
    return Tessel::TFarModule::ShowMessage(items, 3, Far3::FMSG_WARNING, 2) == 0;
}

void UndoLastRun()
{
    const String fileName = JournalFileName();
    const TJournalHold hold(fileName);
    if (hold.State() == TJournalHold::TState::Busy) {
        ShowJournalBusy();
        return;
    }
    TJournal journal;
    uint32_t version = JournalVersion;
    switch (ReadJournalFile(fileName, journal, &version)) {
    case TJournalRead::Missing:
        Tell(TMessage::NothingToUndo, Far3::FMSG_NONE);
        return;
    case TJournalRead::Damaged:
        ShowNamed(TMessage::UndoJournalDamaged, fileName);
        return;
    case TJournalRead::Read:
        break;
    }
    const size_t pending = static_cast<size_t>(std::count_if(journal.Entries.begin(), journal.Entries.end(), IsPending));
    if (pending == 0) {
        if (hold.State() == TJournalHold::TState::Held)
            DeleteJournalFile(fileName);
        Tell(TMessage::NothingToUndo, Far3::FMSG_NONE);
        return;
    }
    const String directory = ExistingFolder(journal.Folder);
    if (directory.empty()) {
        ShowNamed(TMessage::UndoFolderMissing, journal.Folder);
        return;
    }
    if (!AskToUndo(journal, pending))
        return;

    // A journal without records is first rewritten in the current version,
    // so the undo can note its progress in it; kept as it is when that fails.
    bool recorded = hold.State() == TJournalHold::TState::Held &&
                    (version >= FirstRecordVersion || ReplaceJournalFile(fileName, journal));
    TFailureList failures(TMessage::UndoFailureListHeading);
    std::vector<size_t> leftAlone;
    bool stopped = false;
    {
        std::optional<TUndoJournal> progressLog;
        if (recorded)
            progressLog.emplace(fileName);
        TProgress progress(TMessage::ProgressUndoing, pending);
        uint64_t done = 0;
        for (size_t i = journal.Entries.size(); i-- > 0;) {
            const TJournalEntry& entry = journal.Entries[i];
            if (!IsPending(entry))
                continue;
            // Entries a stopped undo does not reach stay in the journal as
            // they are, for the next undo; they are not listed.
            if (progress.Step(done++)) {
                stopped = true;
                break;
            }
            if (UndoEntry(directory, entry) == TUndoOutcome::LeftAlone)
                leftAlone.push_back(i);
            else if (progressLog)
                progressLog->Undone(i);
        }
        if (progressLog)
            recorded = progressLog->Finish();
    }
    // A journal with nothing left to undo goes; one that could not note
    // what this undo did stays as it was, and the next undo finds the files
    // back under their old names.
    if (recorded && leftAlone.empty() && !stopped)
        recorded = DeleteJournalFile(fileName);
    Tessel::TFarPanel::Reread(true);
    Tessel::TFarPanel::Reread(false);
    if (!recorded)
        ShowNamed(TMessage::UndoJournalNotUpdated, fileName);
    for (auto it = leftAlone.rbegin(); it != leftAlone.rend(); ++it)
        failures.Add(journal.Entries[*it].NewName, journal.Entries[*it].OldName);
    failures.Show();
}

} // namespace Zelvane
