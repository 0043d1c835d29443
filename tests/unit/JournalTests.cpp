// The undo journal's text form and its storage: every name and state comes
// back exact, anything the writer would not make is refused (but a last
// line torn by a crash), a run's journal takes the old one's place only
// when it is used, and one that cannot be written is reported and leaves
// nothing damaged behind.
#include "FakeHost.h"
#include "TestFiles.h"
#include "platform/Faults.h"
#include "plugin/uJournal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Base::String;
using Zelvane::TEntryState;
using Zelvane::TJournal;
using Zelvane::TJournalEntry;

TJournalEntry Entry(String oldName, String newName, uint64_t size, uint64_t time,
                    TEntryState state = TEntryState::Renamed)
{
    TJournalEntry entry;
    entry.OldName = std::move(oldName);
    entry.NewName = std::move(newName);
    entry.Size = size;
    entry.LastWriteTime = time;
    entry.State = state;
    return entry;
}

TJournalEntry WithIdentity(TJournalEntry entry, Platform::FileIdentity identity)
{
    entry.HasIdentity = true;
    entry.Identity = identity;
    return entry;
}

TJournalEntry Tried(TJournalEntry entry)
{
    entry.Tried = true;
    return entry;
}

TJournalEntry Undone(TJournalEntry entry)
{
    entry.Undone = true;
    return entry;
}

TEST(Journal, EveryNameAndStateComesBackExact)
{
    const TJournal journals[] = {
        {u"C:\\Photos", 133000000000000000, {}},
        {u"C:\\Photos", 0, {Entry(u"a.txt", u"b.txt", 0, 0)}},
        {u"/home/u/100% \u00E4\U0001F600",
         UINT64_MAX,
         {Entry(u"tab\there", u"cr\rlf\n", UINT64_MAX, 1),
          Entry(u"50%.txt", u"%41%u0041", 42, 133000000000000000, TEntryState::Intended),
          // Lone surrogates (bytes that are not UTF-8 on POSIX) and a pair.
          Entry(String(u"x") + char16_t(0xDCE9), String(1, char16_t(0xD83D)) + u"y", 1, 2, TEntryState::NotDone),
          WithIdentity(Entry(u"\U0001F600.txt", u"sub\\moved.txt", 3, 4), {UINT64_MAX, 7}),
          Tried(Entry(String(u"del") + char16_t(0x7F), u"\u00E4", 5, 6, TEntryState::Intended)),
          Tried(Entry(u"t", u"u", 5, 6, TEntryState::NotDone)),
          Undone(WithIdentity(Entry(u"c", u"d", 8, 9), {1, 2})),
          Undone(Entry(u"e", u"f", 8, 9, TEntryState::Intended))}},
    };
    for (const TJournal& journal : journals) {
        const std::string text = Zelvane::FormatJournal(journal);
        uint32_t version = 0;
        EXPECT_EQ(Zelvane::ParseJournal(text, &version), journal) << text;
        EXPECT_EQ(version, Zelvane::JournalVersion);
        // Line breaks only where the format puts them.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r')) << text;
    }
}

TEST(Journal, AnythingTheWriterWouldNotMakeIsRefusedButATornLastLine)
{
    const std::string heading = "Zelvane 3 undo journal\t2\r\nfolder\tC:\\Photos\r\ntime\t133000000000000000\r\n";
    const std::string intent = "rename\ta.txt\tb.txt\t42\t7\r\n";
    const std::string old = "Zelvane 3 undo journal\t1\r\nfolder\tC:\\Photos\r\ntime\t1\r\n";
    const std::string current = "Zelvane 3 undo journal\t3\r\nfolder\tC:\\Photos\r\ntime\t1\r\n";
    const struct {
        const char* Why;
        std::string Bytes;
    } damaged[] = {
        {"empty", ""},
        {"another format", "Zelvane 3 undo journal\t4\r\nfolder\tC:\\\r\ntime\t1\r\n"},
        {"heading cut short", "Zelvane 3 undo journal\t2\r\nfolder\tC:\\Photos"},
        {"heading without the folder", "Zelvane 3 undo journal\t2\r\ntime\t1\r\n"},
        {"empty folder", "Zelvane 3 undo journal\t2\r\nfolder\t\r\ntime\t1\r\n"},
        {"bare line feeds", "Zelvane 3 undo journal\t2\nfolder\tC:\\Photos\ntime\t1\n"},
        {"a lone CR inside a line", heading + "rename\ta.txt\tb\r.txt\t42\t7\r\n"},
        {"not UTF-8", heading + "rename\ta\xE9.txt\tb.txt\t42\t7\r\n"},
        {"an encoded surrogate", heading + "rename\ta\xED\xB3\xA9.txt\tb.txt\t42\t7\r\n"},
        {"a record of no kind", heading + "a.txt\tb.txt\t42\t7\r\n"},
        {"an intent without its time", heading + "rename\ta.txt\tb.txt\t42\r\n"},
        {"an empty line", heading + "\r\n"},
        {"a size that is no number", heading + "rename\ta.txt\tb.txt\t4x\t7\r\n"},
        {"a leading zero", heading + "try\ta.txt\tb.txt\t042\t7\r\n"},
        {"a time beyond 64 bits", heading + "rename\ta.txt\tb.txt\t42\t18446744073709551616\r\n"},
        {"an escape cut short", heading + "rename\ta.txt\tb%2\t42\t7\r\n"},
        {"a wide escape cut short", heading + "rename\ta%uDC9.txt\tb.txt\t42\t7\r\n"},
        {"a zero in a name", heading + "rename\ta%00.txt\tb.txt\t42\t7\r\n"},
        {"an empty new name", heading + "rename\ta.txt\t\t42\t7\r\n"},
        {"an old name with a folder", heading + "rename\t..\\a.txt\tb.txt\t42\t7\r\n"},
        {"a new name with a slash", heading + "rename\ta.txt\t/etc/b\t42\t7\r\n"},
        {"an outcome before its intent", heading + "renamed\t0\r\n" + intent},
        {"an outcome of no entry", heading + intent + "renamed\t1\r\n"},
        {"two outcomes", heading + intent + "renamed\t0\r\nfailed\t0\t1\r\n"},
        {"an identity cut short", heading + intent + "renamed\t0\t1\t2\t3\t4\r\n"},
        {"version 2: an identity without size and time", heading + intent + "renamed\t0\t1\t2\t3\r\n"},
        {"version 3: an identity cut short", current + intent + "renamed\t0\t1\t2\r\n"},
        {"no entries failed", heading + intent + "failed\t0\t0\r\n"},
        {"failed beyond the entries", heading + intent + "failed\t0\t2\r\n"},
        {"undone twice", heading + intent + "undone\t0\r\nundone\t0\r\n"},
        {"undone what was not made", heading + intent + "failed\t0\t1\r\nundone\t0\r\n"},
        {"a torn line before the last", heading + "rename\ta.txt\tb.t" + intent},
        {"version 1: last line without its line end", old + "a.txt\tb.txt\t42\t7"},
        {"version 1: three fields", old + "a.txt\tb.txt\t42\r\n"},
        {"version 1: a record of version 2", old + intent},
    };
    for (const auto& row : damaged)
        EXPECT_EQ(Zelvane::ParseJournal(row.Bytes), std::nullopt) << row.Why;

    const struct {
        const char* Why;
        std::string Bytes;
        size_t Entries;
    } read[] = {
        {"a whole journal", heading + intent + "renamed\t0\t1\t2\t3\t4\t5\r\nundone\t0\r\n", 1},
        {"a last intent torn", heading + intent + "rename\tc.txt\td", 1},
        {"a last outcome torn", heading + intent + "renamed\t0\t1\t2\r", 1},
        {"the first record torn", heading + "ren", 0},
        {"version 1", old + "a.txt\tb.txt\t42\t7\r\n", 1},
        {"version 3", current + intent + "renamed\t0\t1\t2\t3\t4\t5\r\nundone\t0\r\n", 1},
    };
    for (const auto& row : read) {
        const std::optional<TJournal> journal = Zelvane::ParseJournal(row.Bytes);
        ASSERT_NE(journal, std::nullopt) << row.Why;
        EXPECT_EQ(journal->Entries.size(), row.Entries) << row.Why;
    }
    // An identity without size and time has the intent's.
    const std::optional<TJournal> shortOutcome = Zelvane::ParseJournal(current + intent + "renamed\t0\t1\t2\t3\r\n");
    ASSERT_NE(shortOutcome, std::nullopt);
    EXPECT_EQ(shortOutcome->Entries, std::vector<TJournalEntry>{WithIdentity(Entry(u"a.txt", u"b.txt", 42, 7), {1, 2})});
}

// The storage in the fake host's local profile.
class JournalStorage : public ::testing::Test {
protected:
    String FileName() const { return Zelvane::JournalFileName(); }
    fs::path OnDisk() const { return fs::path(FileName()); }

    // A run's journal with `renames` entries made, finished.
    bool Run(int renames, uint64_t time = 1)
    {
        Zelvane::TRunJournal journal(FileName(), u"C:\\Photos", time);
        // In batches of 1000, as a run writes ahead.
        for (int first = 0; first < renames; first += 1000) {
            const int batch = std::min(1000, renames - first);
            for (int i = 0; i < batch; ++i)
                journal.Intend(u"a.txt", u"b.txt", 42, 7, false);
            journal.WriteAhead();
            for (int i = 0; i < batch; ++i) {
                journal.BeforeRename();
                journal.Renamed(static_cast<uint64_t>(first + i), Zelvane::TFileStamp{{1, 2}, 42, 7});
            }
            journal.WriteOutcomes();
        }
        return journal.Finish();
    }

    TestSupport::FakeHost Host;
};

TEST_F(JournalStorage, ARunJournalTakesThePlaceOfTheOldOneOnlyAtItsFirstRename)
{
    EXPECT_EQ(FileName(), (Host.LocalProfile / "PluginsData" / "6F3B1C2A-8E4D-4A7B-9C15-2D7E0A9B4F61" /
                           "last-run.txt")
                              .u16string());
    EXPECT_TRUE(Run(3000, 5));
    TJournal journal;
    ASSERT_EQ(Zelvane::ReadJournalFile(FileName(), journal), Zelvane::TJournalRead::Read);
    EXPECT_EQ(journal.Entries.size(), 3000u);
    EXPECT_TRUE(journal.Entries.back().HasIdentity);

    // Intents written, but no rename made: the old journal stays.
    {
        Zelvane::TRunJournal unused(FileName(), u"D:\\", 9);
        unused.Intend(u"x", u"y", 1, 1, false);
        EXPECT_TRUE(unused.WriteAhead());
        EXPECT_TRUE(unused.Finish());
    }
    ASSERT_EQ(Zelvane::ReadJournalFile(FileName(), journal), Zelvane::TJournalRead::Read);
    EXPECT_EQ(journal.Time, 5u);
    EXPECT_EQ(std::distance(fs::directory_iterator(OnDisk().parent_path()), fs::directory_iterator()), 1)
        << "no temporary file is left";
}

TEST_F(JournalStorage, AnOutcomeReadsBackAsTheFileWasReadAfterItsRename)
{
    const std::optional<Zelvane::TFileStamp> stamps[] = {
        Zelvane::TFileStamp{{1, 2}, 42, 7},
        Zelvane::TFileStamp{{1, 4}, 43, 7},
        Zelvane::TFileStamp{{1, 5}, 42, 8},
        std::nullopt,
    };
    std::vector<TJournalEntry> expected;
    {
        Zelvane::TRunJournal journal(FileName(), u"C:\\Photos", 1);
        // Two batches whose intents differ, so each outcome is held against its own.
        for (const uint64_t size : {42u, 43u}) {
            uint64_t entry = 0;
            for (size_t i = 0; i < std::size(stamps); ++i)
                entry = journal.Intend(u"a", u"b", size, 7, false);
            journal.WriteAhead();
            entry -= std::size(stamps) - 1;
            for (const auto& stamp : stamps) {
                journal.BeforeRename();
                journal.Renamed(entry++, stamp);
                expected.push_back(stamp ? WithIdentity(Entry(u"a", u"b", stamp->Size, stamp->LastWriteTime), stamp->Identity)
                                         : Entry(u"a", u"b", size, 7));
            }
            journal.WriteOutcomes();
        }
        EXPECT_TRUE(journal.Finish());
    }
    TJournal journal;
    ASSERT_EQ(Zelvane::ReadJournalFile(FileName(), journal), Zelvane::TJournalRead::Read);
    EXPECT_EQ(journal.Entries, expected);
}

TEST_F(JournalStorage, ARunCutShortByAnExceptionNotesTheIntentsItNeverReached)
{
    {
        Zelvane::TRunJournal journal(FileName(), u"C:\\Photos", 1);
        const uint64_t first = journal.Intend(u"a", u"b", 1, 1, false);
        journal.Intend(u"c", u"d", 1, 1, false);
        journal.WriteAhead();
        journal.BeforeRename();
        journal.Renamed(first, std::nullopt);
    } // destroyed unfinished
    TJournal journal;
    ASSERT_EQ(Zelvane::ReadJournalFile(FileName(), journal), Zelvane::TJournalRead::Read);
    ASSERT_EQ(journal.Entries.size(), 2u);
    EXPECT_EQ(journal.Entries[0].State, TEntryState::Renamed);
    EXPECT_EQ(journal.Entries[1].State, TEntryState::NotDone);
}

TEST_F(JournalStorage, AJournalThatCannotBeWrittenIsReportedAndNeverLeftDamaged)
{
    const struct {
        const char* Why;
        Platform::Faults::TCall Call;
        int After; // calls of that kind that succeed first
        // What is left: nothing before the journal took the old one's place;
        // after that, the journal with what it holds, for undo.
        Zelvane::TJournalRead Left;
    } faults[] = {
        {"refused file", Platform::Faults::TCall::Create, 0, Zelvane::TJournalRead::Missing},
        {"medium full at the heading", Platform::Faults::TCall::Write, 0, Zelvane::TJournalRead::Missing},
        {"medium full at a later batch", Platform::Faults::TCall::Write, 4, Zelvane::TJournalRead::Read},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.Why);
        int left = fault.After;
        bool finished = true;
        {
            const Platform::Faults::TScopedHook hook([&](Platform::Faults::TCall call, const char16_t*,
                                                         const char16_t*) -> Platform::DWORD {
                constexpr Platform::DWORD DiskFull = 112;
                return call == fault.Call && left-- <= 0 ? DiskFull : 0;
            });
            finished = Run(3000);
        }
        EXPECT_FALSE(finished);
        TJournal journal;
        EXPECT_EQ(Zelvane::ReadJournalFile(FileName(), journal), fault.Left);
        fs::remove(OnDisk());
    }
    Zelvane::TRunJournal noProfile(String(), u"C:\\Photos", 1);
    EXPECT_FALSE(noProfile.Recording());
}

TEST_F(JournalStorage, ReplacingWritesTheWholeJournalOrKeepsTheOldOne)
{
    TJournal journal{u"C:\\Photos", 5, {Entry(u"a", u"b", 1, 2), Entry(u"c", u"d", 1, 2, TEntryState::Intended)}};
    fs::create_directories(OnDisk().parent_path());
    ASSERT_TRUE(Zelvane::ReplaceJournalFile(FileName(), journal));
    TJournal read;
    ASSERT_EQ(Zelvane::ReadJournalFile(FileName(), read), Zelvane::TJournalRead::Read);
    EXPECT_EQ(read, journal);
    const std::string before = TestSupport::ReadBytes(OnDisk());
    {
        const Platform::Faults::TScopedHook hook(
            [](Platform::Faults::TCall call, const char16_t*, const char16_t*) -> Platform::DWORD {
                return call == Platform::Faults::TCall::Write ? 112 : 0;
            });
        EXPECT_FALSE(Zelvane::ReplaceJournalFile(FileName(), TJournal{u"D:\\", 6, {}}));
    }
    EXPECT_EQ(TestSupport::ReadBytes(OnDisk()), before);
    EXPECT_TRUE(Zelvane::DeleteJournalFile(FileName()));
    EXPECT_TRUE(Zelvane::DeleteJournalFile(FileName())); // already gone
}

TEST_F(JournalStorage, OneHolderAtATime)
{
    std::optional<Zelvane::TJournalHold> first(std::in_place, FileName());
    EXPECT_EQ(first->State(), Zelvane::TJournalHold::TState::Held);
    EXPECT_EQ(Zelvane::TJournalHold(FileName()).State(), Zelvane::TJournalHold::TState::Busy);
    first.reset();
    EXPECT_EQ(Zelvane::TJournalHold(FileName()).State(), Zelvane::TJournalHold::TState::Held);
    EXPECT_EQ(Zelvane::TJournalHold(String()).State(), Zelvane::TJournalHold::TState::Lost);
}

} // namespace
