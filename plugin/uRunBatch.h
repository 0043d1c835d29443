// The batch machinery that both rename runs share (the template run and the
// edit run): how large a batch of renames written ahead to the journal may
// grow, the run's folder held open for renaming and reading stamps relative
// to it, and the check made before a rename while the old journal is still
// in place.
//
// A run writes its renames ahead in batches: the first is small, so a short
// run flushes once, and each next one doubles up to the largest. A batch also
// ends once its intents fill BatchBytes of journal text (about 10 000 files
// of usual names), which bounds the memory a batch's files and text hold; a
// million files then take about a hundred flushes.
//
// Main thread only, as the runs. Nothing here raises but std::bad_alloc; a
// folder that cannot be opened leaves an invalid handle, with which the
// platform's calls go by full names.
#pragma once

#include "base/String.h"
#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <limits>

namespace Zelvane {

using Base::String;

constexpr size_t FirstBatch = 64;
constexpr size_t LargestBatch = 65536;
constexpr size_t BatchBytes = 512 * 1024;
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

// Whether `to` names a file that a rename of `from` cannot replace (not
// `from` itself under another spelling). Both are full names.
bool IsTaken(const String& from, const String& to);

} // namespace Zelvane
