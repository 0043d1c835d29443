// The undo journal's text: what the last rename run did, as lines of UTF-8
// that the storage (plugin/uJournal.h) keeps in the host's profile. Pure:
// no file, no clock, no host; it is fuzzed (fuzz/JournalReaderFuzz.cpp).
//
// Every line ends in CR LF; fields are separated by tabs. The heading:
//
//     Zelvane 3 undo journal<TAB>3
//     folder<TAB><the panel's folder>
//     time<TAB><when the run started, in 100 ns steps since 1601 (UTC)>
//
// then records, appended as the run and its undo go (the entries are
// numbered from 0 in the order of their intents):
//
//     rename<TAB><old><TAB><new><TAB><size><TAB><time>   a rename about to be made
//     try<TAB><old><TAB><new><TAB><size><TAB><time>      the same, expected to fail: its
//                                                        target was taken when it was planned
//     renamed<TAB><n>[<TAB><volume><TAB><index><TAB>0[<TAB><size><TAB><time>]]
//                                                        entry n was made; the file's ID, size and
//                                                        time after it (without size and time: the
//                                                        intent's). Older journals held the file's
//                                                        owner where the 0 is: it is read, not compared
//     failed<TAB><n><TAB><count>                         entries n.. n+count-1 were not made
//     undone<TAB><n>                                     undo took entry n back (or found it never made)
//
// An intent's size and last-write time are the ones the panel showed; the
// outcome line leaves them out when the file read after its rename has the
// same, as it almost always does, so a run writes fewer bytes per file.
// Version 2 journals are the same but for that shorter outcome line, and
// are still read and appended to. Version 1 journals (heading "...<TAB>1", then a line "<old><TAB><new>
// <TAB><size><TAB><time>" per rename made) are still read: people have them
// on disk. In the folder and the names, '%', the control characters and
// lone surrogates (what bytes that are not UTF-8 become in a POSIX name) are
// written as %XX or %uXXXX, so a field never holds a tab or a line break and
// every name comes back exact.
//
// The reader is strict: anyone who can write the profile can shape the
// file, and a damaged journal must lead to no rename at all. The one thing
// it forgives is a last line of a version 2 or 3 journal cut short (no CR LF):
// an append torn by a crash, which is read as never written. Nothing here
// raises but std::bad_alloc.
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

// How far one rename of the journal got.
enum class TEntryState : uint8_t {
    Intended, // written before the rename; what became of it is only on the disk
    Renamed,
    NotDone,
};

struct TJournalEntry {
    String OldName;
    // Relative to the folder: a template may move a file into a subfolder.
    String NewName;
    // The file's size and last-write time (Windows' FILETIME as one number:
    // 100 ns steps since 1601, UTC): the panel's while intended, the ones
    // read after the rename once it is known to be made.
    uint64_t Size = 0;
    uint64_t LastWriteTime = 0;
    TEntryState State = TEntryState::Renamed;
    // Planned to fail (its target was taken): without an outcome it is
    // never moved back, so it cannot move the file that blocked it.
    bool Tried = false;
    // The file ID read after the rename, when there is one.
    bool HasIdentity = false;
    Platform::FileIdentity Identity;
    // Taken back by an undo (or found never made).
    bool Undone = false;

    friend bool operator==(const TJournalEntry&, const TJournalEntry&) = default;
};

struct TJournal {
    String Folder;
    uint64_t Time = 0;
    std::vector<TJournalEntry> Entries;

    friend bool operator==(const TJournal&, const TJournal&) = default;
};

// The version that FormatJournalHeading writes.
constexpr uint32_t JournalVersion = 3;
// The first version of records appended as a run and its undo go: an undo
// appends to a journal of this version or later as it is.
constexpr uint32_t FirstRecordVersion = 2;

// The journal's three heading lines.
std::string FormatJournalHeading(const String& folder, uint64_t time);
// The record lines, appended to `text`.
void AppendIntent(std::string& text, Base::StringView oldName, Base::StringView newName, uint64_t size,
                  uint64_t lastWriteTime, bool tried);
// `identity` null: made, with nothing read after it. `sameAsIntent`: the
// size and time are the intent's, and are left out.
void AppendRenamed(std::string& text, uint64_t entry, const Platform::FileIdentity* identity, uint64_t size,
                   uint64_t lastWriteTime, bool sameAsIntent = false);
void AppendNotDone(std::string& text, uint64_t firstEntry, uint64_t count);
void AppendUndone(std::string& text, uint64_t entry);
// A whole journal in the current version, reading back as `journal`.
std::string FormatJournal(const TJournal& journal);

// The journal in `bytes`; nothing when they are not exactly what the
// writer makes: not UTF-8, a heading missing or unknown, a line cut short
// (but a version 2 or 3 journal's last), a wrong field count, a number that is
// not one, an escape that is not one, an empty name or an old name with a
// separator, a record about an entry that has none or does not fit its
// state. `version` gets the heading's version.
std::optional<TJournal> ParseJournal(std::string_view bytes, uint32_t* version = nullptr);

} // namespace Zelvane
