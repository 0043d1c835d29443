// The undo journal as the reader finds it on disk, where anyone who can
// write the profile can shape it: any bytes are read or refused without
// harm, and a journal read is written back to the same journal.
#include "FuzzSupport.h"
#include "plugin/uJournalFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<Zelvane::TJournal> journal = Zelvane::ParseJournal(Fuzz::Bytes(data, size));
    if (!journal)
        return 0;
    Fuzz::Require(Zelvane::ParseJournal(Zelvane::FormatJournal(*journal)) == journal);
    return 0;
}
