#include "plugin/uUndo.h"

#include "base/Format.h"
#include "framework/FarModule.h"
#include "framework/FarPanel.h"
#include "platform/Platform.h"
#include "plugin/uFailureList.h"
#include "plugin/uProgress.h"
#include "plugin/uStrings.h"

#include <algorithm>

namespace Zelvane {

namespace {

uint64_t TimeValue(const Platform::FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Whether the file at `name` is still the one the run renamed, as far as
// its size and last-write time tell.
bool IsUnchanged(const String& name, const TJournalEntry& entry)
{
    Platform::WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!Platform::GetFileAttributesExW(name.c_str(), &data))
        return false;
    const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return size == entry.Size && TimeValue(data.ftLastWriteTime) == entry.LastWriteTime;
}

void Tell(TMessage text, Far3::FARMESSAGEFLAGS flags)
{
    const std::vector<String> items{MessageText(TMessage::Title), MessageText(text), MessageText(TMessage::Ok)};
    Tessel::TFarModule::ShowMessage(items, 2, flags, 1);
}

void ShowDamaged(const String& fileName)
{
    const std::vector<String> items{MessageText(TMessage::Title),
                                    Base::Format(MessageText(TMessage::UndoJournalDamaged), {fileName}),
                                    MessageText(TMessage::Ok)};
    Tessel::TFarModule::ShowMessage(items, 2, Far3::FMSG_WARNING, 1);
}

bool AskToUndo(const TJournal& journal)
{
    const auto count = static_cast<long long>(journal.Entries.size());
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
    if (directory.back() != u'\\' && directory.back() != u'/')
        directory += u'\\';
    return directory;
}

} // namespace

std::vector<TJournalEntry> UndoEntries(const String& directory, const std::vector<TJournalEntry>& entries,
                                       std::vector<TJournalEntry>* notReached)
{
    std::vector<TJournalEntry> leftAlone;
    String from;
    String to;
    TProgress progress(TMessage::ProgressUndoing, entries.size());
    for (size_t i = entries.size(); i-- > 0;) {
        if (progress.Step(entries.size() - 1 - i)) {
            if (notReached != nullptr)
                notReached->assign(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            break;
        }
        const TJournalEntry& entry = entries[i];
        from.assign(directory).append(entry.NewName);
        to.assign(directory).append(entry.OldName);
        // The move itself refuses an old name that is taken, with no gap
        // between a look and the rename.
        if (!IsUnchanged(from, entry) || Platform::MoveFileW(from.c_str(), to.c_str()) == 0)
            leftAlone.push_back(entry);
    }
    std::reverse(leftAlone.begin(), leftAlone.end());
    return leftAlone;
}

void ShowJournalNotWritten()
{
    Tell(TMessage::UndoJournalNotWritten, Far3::FMSG_WARNING);
}

void UndoLastRun()
{
    const String fileName = JournalFileName();
    TJournal journal;
    switch (ReadJournalFile(fileName, journal)) {
    case TJournalRead::Missing:
        Tell(TMessage::NothingToUndo, Far3::FMSG_NONE);
        return;
    case TJournalRead::Damaged:
        ShowDamaged(fileName);
        return;
    case TJournalRead::Read:
        break;
    }
    if (journal.Entries.empty()) {
        ReplaceJournalFile(fileName, journal);
        Tell(TMessage::NothingToUndo, Far3::FMSG_NONE);
        return;
    }
    const String directory = ExistingFolder(journal.Folder);
    if (directory.empty()) {
        ShowDamaged(fileName);
        return;
    }
    if (!AskToUndo(journal))
        return;

    // Entries a stopped undo did not reach stay in the journal, older than
    // those left alone, and are not listed.
    std::vector<TJournalEntry> notReached;
    const std::vector<TJournalEntry> leftAlone = UndoEntries(directory, journal.Entries, &notReached);
    journal.Entries = notReached;
    journal.Entries.insert(journal.Entries.end(), leftAlone.begin(), leftAlone.end());
    const bool kept = ReplaceJournalFile(fileName, journal);
    Tessel::TFarPanel::Reread(true);
    Tessel::TFarPanel::Reread(false);
    if (!kept)
        ShowJournalNotWritten();
    TFailureList failures(TMessage::UndoFailureListHeading);
    for (const TJournalEntry& entry : leftAlone)
        failures.Add(entry.NewName, entry.OldName);
    failures.Show();
}

} // namespace Zelvane
