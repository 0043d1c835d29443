// What undo does with one journal entry, by what the entry knows and what
// the disk holds: the file goes back only when it is the one renamed and
// may move; a rename that was planned to fail never moves the file that
// blocked it; a file already under its old name is taken as back.
#include "TestFiles.h"
#include "plugin/uUndo.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using TestSupport::WriteBytes;
using Zelvane::TEntryState;
using Zelvane::TUndoOutcome;

TEST(UndoEntry, MovesBackOnlyTheFileTheRunRenamed)
{
    enum class TDisk {
        AtNew,          // the renamed file under its new name
        AtOld,          // the file under its old name, the new name free
        BlockerAndOld,  // another file of the same size and time at the new name, the file at the old
        CopyAtNew,      // the file moved away, a copy of it (same size and time) at the new name
        BlockerAtNew,   // another file of the same size and time at the new name, the old name free
    };
    const struct {
        const char* Why;
        TEntryState State;
        bool Tried;
        bool WithIdentity;
        TDisk Disk;
        TUndoOutcome Outcome;
    } cases[] = {
        {"made, at its new name", TEntryState::Renamed, false, true, TDisk::AtNew, TUndoOutcome::MovedBack},
        {"made, back already (an undo cut off)", TEntryState::Renamed, false, true, TDisk::AtOld,
         TUndoOutcome::AlreadyBack},
        {"made, an F5 copy at the new name", TEntryState::Renamed, false, true, TDisk::CopyAtNew,
         TUndoOutcome::LeftAlone},
        {"intent, made before the kill", TEntryState::Intended, false, false, TDisk::AtNew, TUndoOutcome::MovedBack},
        {"intent, never made", TEntryState::Intended, false, false, TDisk::AtOld, TUndoOutcome::AlreadyBack},
        {"intent, blocked at its target", TEntryState::Intended, false, false, TDisk::BlockerAndOld,
         TUndoOutcome::AlreadyBack},
        {"planned to fail, blocker alone", TEntryState::Intended, true, false, TDisk::BlockerAtNew,
         TUndoOutcome::LeftAlone},
        {"planned to fail, blocked", TEntryState::Intended, true, false, TDisk::BlockerAndOld,
         TUndoOutcome::AlreadyBack},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Why);
        TestSupport::TestFolder folder;
        const fs::path oldPath = folder.Child("old.txt");
        const fs::path newPath = folder.Child("new.txt");
        WriteBytes(newPath, "the file");
        const auto time = fs::last_write_time(newPath);
        const std::optional<Zelvane::TFileStamp> stamp = Zelvane::ReadFileStamp(folder.Name("new.txt"));
        ASSERT_TRUE(stamp.has_value());
        const auto other = [&](const fs::path& at) {
            WriteBytes(at, "ANOTHER!");
            fs::last_write_time(at, time);
        };
        switch (c.Disk) {
        case TDisk::AtNew:
            break;
        case TDisk::AtOld:
            fs::rename(newPath, oldPath);
            break;
        case TDisk::BlockerAndOld:
            fs::rename(newPath, oldPath);
            other(newPath);
            break;
        case TDisk::CopyAtNew:
            fs::rename(newPath, folder.Child("away.txt"));
            fs::copy_file(folder.Child("away.txt"), newPath);
            fs::last_write_time(newPath, time);
            break;
        case TDisk::BlockerAtNew:
            fs::remove(newPath);
            other(newPath);
            break;
        }
        const std::string before = TestSupport::ReadBytes(newPath.parent_path() / "new.txt");
        Zelvane::TJournalEntry entry;
        entry.OldName = u"old.txt";
        entry.NewName = u"new.txt";
        entry.Size = stamp->Size;
        entry.LastWriteTime = stamp->LastWriteTime;
        entry.State = c.State;
        entry.Tried = c.Tried;
        entry.HasIdentity = c.WithIdentity;
        entry.Identity = stamp->Identity;
        EXPECT_EQ(Zelvane::UndoEntry(folder.Name() + u"/", entry), c.Outcome);
        if (c.Outcome == TUndoOutcome::MovedBack) {
            EXPECT_FALSE(fs::exists(newPath));
            EXPECT_EQ(TestSupport::ReadBytes(oldPath), "the file");
        } else if (fs::exists(newPath)) {
            EXPECT_EQ(TestSupport::ReadBytes(newPath), before) << "the file at the new name stays";
        }
    }
}

} // namespace
