// The undo journal's storage: where it lives (%FARLOCALPROFILE%\PluginsData
// \<plugin GUID>\last-run.txt), the one writer that may hold it, and its
// file I/O. The text itself is plugin/uJournalFormat.h.
//
// Write ahead, then rename: a run writes the intents of a batch of renames
// and flushes them to the disk before it makes them, then appends their
// outcomes. A run's journal is made under a temporary name beside the old
// one (last-run.new) and takes its place with a replacing rename just
// before the run's first rename, so the journal on disk is always one whole
// journal, the old or the new. An undo appends what it took back. Appends
// are whole lines; a last line torn by a crash reads as never written.
//
// One writer: a run or an undo holds the lock file beside the journal
// (last-run.lock), opened without sharing (Windows' share mode; on POSIX an
// advisory lock that other processes see), from before its first rename to
// its end; a second window finds it held.
//
// Everything here runs on the host's main thread and never raises but
// std::bad_alloc; failures are answered.
#pragma once

#include "plugin/uJournalFormat.h"

#include <memory>
#include <string>
#include <vector>

namespace Zelvane {

// The journal's file name; empty when the host sets no FARLOCALPROFILE.
String JournalFileName();

// The current time as the journal writes it.
uint64_t CurrentFileTime();

// What a file is, as the journal records it after a rename and undo checks
// before it moves a file back: its file ID, size and last-write time.
struct TFileStamp {
    Platform::FileIdentity Identity;
    uint64_t Size = 0;
    uint64_t LastWriteTime = 0;
};
// The stamp of what `fileName` names (a link itself, not what it leads
// to); nothing when it names nothing readable.
std::optional<TFileStamp> ReadFileStamp(const String& fileName);
// The same for `name` in a folder held open (Platform::OpenFolderW), whose
// full name is `fileName`: cheaper, as a run reads one after every rename.
std::optional<TFileStamp> ReadFileStamp(Platform::HANDLE folder, const String& fileName, const String& name);

// The exclusive hold of the journal by one run or undo, released when the
// object goes. Made with an empty file name, it holds nothing and is Lost.
class TJournalHold {
public:
    enum class TState { Held, Busy, Lost };
    explicit TJournalHold(const String& journalFileName);
    ~TJournalHold();
    TJournalHold(const TJournalHold&) = delete;
    TJournalHold& operator=(const TJournalHold&) = delete;

    // Held: ours. Busy: another window (or process) holds it. Lost: the
    // lock file cannot be made (no profile, a profile that takes no file).
    TState State() const { return Current; }

private:
    Platform::HANDLE File = nullptr;
    TState Current = TState::Lost;
};

// The journal of one run, written ahead of its renames. Make it while the
// journal is held.
class TRunJournal {
public:
    // Makes the journal under its temporary name with its heading, flushed.
    // `fileName` empty: the journal cannot be made.
    TRunJournal(String fileName, const String& folder, uint64_t time);
    ~TRunJournal();
    TRunJournal(const TRunJournal&) = delete;
    TRunJournal& operator=(const TRunJournal&) = delete;

    // False when the journal could not be made, or failed since.
    bool Recording() const { return File != nullptr; }
    // True once the journal has taken the old one's place.
    bool InPlace() const { return Placed; }

    // One intent of the coming batch; answers its entry number.
    uint64_t Intend(Base::StringView oldName, Base::StringView newName, uint64_t size, uint64_t lastWriteTime,
                    bool tried);
    // The bytes of journal text not written yet (the coming batch's intents).
    size_t PendingBytes() const { return Pending.size(); }
    // Writes the batch's intents and flushes them to the disk. False when
    // that failed: the journal is given up and nothing is recorded any
    // more; one already in the old one's place stays, with what it holds.
    bool WriteAhead();
    // Called before each rename: the first puts the journal in the old
    // one's place, so a run that renames nothing leaves the old one.
    void BeforeRename()
    {
        if (!Placed && File != nullptr)
            TakePlace();
    }
    // Outcomes, kept until WriteOutcomes (or WriteAhead) writes them.
    void Renamed(uint64_t entry, const std::optional<TFileStamp>& stamp);
    void NotDone(uint64_t firstEntry, uint64_t count);
    // Writes the outcomes so far (without a flush: the next batch's flush
    // takes them along).
    void WriteOutcomes();
    // Writes and flushes what is left and closes the journal; a journal
    // that never got an intent is deleted and the old one left in place.
    // False when the journal failed at any point.
    bool Finish();

private:
    bool Write(bool flush);
    void TakePlace();
    void GiveUp();
    void Close();

    String FileName;
    String TemporaryName;
    Platform::HANDLE File = nullptr;
    std::string Pending;
    // The size and time of the current batch's intents, from entry
    // BatchStart on: an outcome that reads the same leaves them out.
    struct TIntended {
        uint64_t Size = 0;
        uint64_t LastWriteTime = 0;
    };
    std::vector<TIntended> Batch;
    uint64_t BatchStart = 0;
    uint64_t Entries = 0;
    // Entries below this one have their outcome.
    uint64_t Settled = 0;
    bool Placed = false;
    bool Failed = false;
};

// Reading the journal file: whether there is one, and whether it is whole.
// `version` gets the version it is written in.
enum class TJournalRead { Missing, Damaged, Read };
TJournalRead ReadJournalFile(const String& fileName, TJournal& journal, uint32_t* version = nullptr);

// Replaces the journal file by `journal`, in the current version, through
// the temporary name: afterwards the file is either the old one or the new
// one, whole. False when that failed; the old file is then kept.
bool ReplaceJournalFile(const String& fileName, const TJournal& journal);

// Deletes the journal file; true when it is gone.
bool DeleteJournalFile(const String& fileName);

// Records an undo's progress in the journal as it goes: appended lines,
// written every few thousand entries and at the end.
class TUndoJournal {
public:
    // Opens the (current version) journal for appending.
    explicit TUndoJournal(const String& fileName);
    ~TUndoJournal();
    TUndoJournal(const TUndoJournal&) = delete;
    TUndoJournal& operator=(const TUndoJournal&) = delete;

    void Undone(uint64_t entry);
    // Writes what is left and closes; false when anything failed.
    bool Finish();

private:
    void Write();

    Platform::HANDLE File = nullptr;
    std::string Pending;
    bool Failed = false;
};

} // namespace Zelvane
