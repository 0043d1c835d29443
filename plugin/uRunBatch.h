// The batch machinery that both rename runs share (the template run and the
// edit run): how large a batch of renames written ahead to the journal may
// grow, the run's folder held open for renaming and reading stamps relative
// to it, the stamps recorded after the renames, and the check made before a
// rename while the old journal is still in place.
//
// A run writes its renames ahead in batches: the first is small, so a short
// run flushes once, and each next one doubles up to the largest (a million
// files then take about 25 flushes). A batch also ends once its intents fill
// BatchBytes of journal text, which bounds the memory a batch of long names
// holds; usual names reach the largest batch first.
//
// Main thread only, as the runs. Nothing here raises but std::bad_alloc; a
// folder that cannot be opened leaves an invalid handle, with which the
// platform's calls go by full names.
#pragma once

#include "base/String.h"
#include "platform/Platform.h"
#include "plugin/uJournal.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace Zelvane {

using Base::String;

constexpr size_t FirstBatch = 64;
constexpr size_t LargestBatch = 65536;
constexpr size_t BatchBytes = 8 * 1024 * 1024;
// A step or file of a batch that has no intent in the journal.
constexpr uint64_t NoEntry = std::numeric_limits<uint64_t>::max();

// The size of the batch after one of `size`.
constexpr size_t NextBatchSize(size_t size)
{
    return size * 2 < LargestBatch ? size * 2 : LargestBatch;
}

// Whether a batch of `count` renames, whose intents so far fill
// `pendingBytes` of journal text, is full.
constexpr bool BatchIsFull(size_t count, size_t batchSize, size_t pendingBytes)
{
    return count >= batchSize || pendingBytes >= BatchBytes;
}

// The folder of a run held open (owned; closed with the object), for
// renaming its files and reading each renamed file's stamp relative to it.
// An empty name opens nothing.
class TOpenFolder {
public:
    explicit TOpenFolder(const String& directory);
    ~TOpenFolder();
    TOpenFolder(const TOpenFolder&) = delete;
    TOpenFolder& operator=(const TOpenFolder&) = delete;

    const Platform::HANDLE Handle;
};

// The stamps a run records after its renames, from one listing of the
// folder made before the first. A rename keeps a file's ID, size and
// last-write time, so the stamp after it is the listed ID with the size and
// time the panel showed: one listing instead of a stat after every rename.
// The folder is listed only when the run renames a good share of its files
// (a few files of a large folder read their own stamps), and the listing is
// trusted once the stamp read after the first rename agrees with it (some
// file systems number a listing otherwise than their files). A file the
// listing did not show, or showed otherwise than the panel, reads its own.
class TRunStamps {
public:
    // `names`: the run's files in the folder `directory` (views that
    // outlive the object); `folderFiles`: how many files the panel shows.
    TRunStamps(const String& directory, std::vector<Base::StringView> names, size_t folderFiles);

    // The stamp of the run's file at `position` (of `size` and
    // `lastWriteTime` before its rename), now `newName` in `folder` (full
    // name `fullNewName`); nothing when it cannot be read.
    std::optional<TFileStamp> AfterRename(Platform::HANDLE folder, const String& fullNewName, const String& newName,
                                          size_t position, uint64_t size, uint64_t lastWriteTime);

private:
    // The position of the run's file `name`, or Names.size().
    size_t PositionOf(Base::StringView name);

    enum class TTrust { Unchecked, Trusted, Distrusted };
    TTrust Trust = TTrust::Distrusted;
    uint64_t Volume = 0;
    // The run's names, while the folder is listed.
    std::vector<Base::StringView> Names;
    // Open addressing over Names while the folder is listed: a slot holds a
    // name's position plus one, 0 when empty; a power of two, at least twice
    // the names.
    std::vector<uint32_t> Slots;
    // A listing usually goes in the panel's order or against it: the names
    // beside the last one found are tried before the table.
    size_t LastFound = 0;
    bool AnyFound = false;
    std::vector<uint64_t> Indexes;
    std::vector<bool> Listed;
};

// Whether `to` names a file that a rename of `from` cannot replace (not
// `from` itself under another spelling). Both are full names.
bool IsTaken(const String& from, const String& to);

} // namespace Zelvane
