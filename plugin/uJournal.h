// The undo journal: what the last rename run did, kept in the host's
// machine-local profile, as %FARLOCALPROFILE%\PluginsData\<plugin GUID>
// \last-run.txt, so that the run can be taken back, even after the host
// restarts.
//
// The file is UTF-8 text, every line ending in CR LF:
//
//     Zelvane 3 undo journal<TAB>1
//     folder<TAB><the panel's folder>
//     time<TAB><when the run started, in 100 ns steps since 1601 (UTC)>
//     <old name><TAB><new name><TAB><size><TAB><last-write time>
//     ...
//
// one line per rename the run made, in the run's order, with the size and
// last-write time the panel showed for the file. In the folder and the
// names, '%', the control characters and lone surrogates (what bytes that
// are not UTF-8 become in a POSIX name) are written as %XX or %uXXXX, so a
// field never holds a tab or a line break and every name comes back exact.
//
// The reader is strict: anyone who can write the profile can shape the
// file, and a damaged journal must lead to no rename at all. Everything
// here runs on the host's main thread; nothing raises.
#pragma once

#include "base/String.h"
#include "platform/Platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Zelvane {

using Base::String;

struct TJournalEntry {
    String OldName;
    // Relative to the folder: a template may move a file into a subfolder.
    String NewName;
    uint64_t Size = 0;
    // Windows' FILETIME as one number: 100 ns steps since 1601 (UTC).
    uint64_t LastWriteTime = 0;

    friend bool operator==(const TJournalEntry&, const TJournalEntry&) = default;
};

struct TJournal {
    String Folder;
    uint64_t Time = 0;
    std::vector<TJournalEntry> Entries;

    friend bool operator==(const TJournal&, const TJournal&) = default;
};

// The journal's lines: the three of the heading, and one entry's.
std::string FormatJournalHeading(const String& folder, uint64_t time);
std::string FormatJournalEntry(const TJournalEntry& entry);
// The entry's line appended to `text`, as FormatJournalEntry makes it.
void AppendJournalEntry(std::string& text, Base::StringView oldName, Base::StringView newName, uint64_t size,
                        uint64_t lastWriteTime);

// The journal in `bytes`; nothing when they are not exactly what the
// writer makes: not UTF-8, a heading missing or unknown, a line cut short
// or without its CR LF, a wrong field count, a number that is not one, an
// escape that is not one, an empty name or an old name with a separator.
std::optional<TJournal> ParseJournal(std::string_view bytes);

// The journal's file name; empty when the host sets no FARLOCALPROFILE.
String JournalFileName();

// The current time as the journal writes it.
uint64_t CurrentFileTime();

// Writes one journal, replacing whatever file had the name: the heading
// with the first entry, then the entries in batches as they come. The file
// is made only when the first entry comes, so a run that renames nothing
// leaves the previous journal as it was. What was added is on disk once
// Finish returns, or when the writer is destroyed (as when a run is cut
// short by an exception): whole lines only, so a journal cut short is a
// valid journal of what it holds. A failed write never raises: the writer
// deletes what it wrote, stops, and Finish answers false.
class TJournalWriter {
public:
    // An empty `fileName` fails at the first entry.
    TJournalWriter(String fileName, String folder, uint64_t time);
    ~TJournalWriter();
    TJournalWriter(const TJournalWriter&) = delete;
    TJournalWriter& operator=(const TJournalWriter&) = delete;

    // One rename: its names relative to the folder, the file's size and
    // last-write time (as TJournalEntry holds them).
    void Add(Base::StringView oldName, Base::StringView newName, uint64_t size, uint64_t lastWriteTime);
    void Add(const TJournalEntry& entry) { Add(entry.OldName, entry.NewName, entry.Size, entry.LastWriteTime); }
    // Writes what is pending and closes the file. False when the journal
    // could not be written whole; true too when nothing was added.
    bool Finish();

private:
    bool Open();
    void Flush();
    void Fail();
    void Close();

    String FileName;
    String Folder;
    uint64_t Time;
    Platform::HANDLE File = nullptr;
    std::string Pending;
    bool Failed = false;
};

// Reading the journal file: whether there is one, and whether it is whole.
enum class TJournalRead { Missing, Damaged, Read };
TJournalRead ReadJournalFile(const String& fileName, TJournal& journal);

// Replaces the journal file by `journal` (deletes it when it has no
// entries). False when that failed; no damaged journal is left behind then.
bool ReplaceJournalFile(const String& fileName, const TJournal& journal);

} // namespace Zelvane
