// The undo journal's text form and its writer: every name comes back
// exact, anything the writer would not make is refused, and a journal that
// cannot be written is reported and leaves nothing damaged behind.
#include "FakeHost.h"
#include "TestFiles.h"
#include "platform/Faults.h"
#include "plugin/uJournal.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

namespace fs = std::filesystem;
using Base::String;
using Zelvane::TJournal;
using Zelvane::TJournalEntry;

std::string Text(const TJournal& journal)
{
    std::string text = Zelvane::FormatJournalHeading(journal.Folder, journal.Time);
    for (const TJournalEntry& entry : journal.Entries)
        text += Zelvane::FormatJournalEntry(entry);
    return text;
}

const std::string Heading = "Zelvane 3 undo journal\t1\r\nfolder\tC:\\Photos\r\ntime\t133000000000000000\r\n";

TEST(Journal, EveryNameComesBackExact)
{
    const TJournal journals[] = {
        {u"C:\\Photos", 133000000000000000, {}},
        {u"C:\\Photos", 0, {{u"a.txt", u"b.txt", 0, 0}}},
        {u"/home/u/100% \u00E4\U0001F600", UINT64_MAX,
         {{u"tab\there", u"cr\rlf\n", UINT64_MAX, 1},
          {u"50%.txt", u"%41%u0041", 42, 133000000000000000},
          // Lone surrogates (bytes that are not UTF-8 on POSIX) and a pair.
          {String(u"x") + char16_t(0xDCE9), String(1, char16_t(0xD83D)) + u"y", 1, 2},
          {u"\U0001F600.txt", u"sub\\moved.txt", 3, 4},
          {String(u"del") + char16_t(0x7F), u"\u00E4", 5, 6}}},
    };
    for (const TJournal& journal : journals) {
        const std::string text = Text(journal);
        EXPECT_EQ(Zelvane::ParseJournal(text), journal) << text;
        // Tabs and line breaks only where the format puts them.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 3 + 3 * std::ssize(journal.Entries)) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3 + std::ssize(journal.Entries)) << text;
    }
}

TEST(Journal, AnythingTheWriterWouldNotMakeIsRefused)
{
    const std::string entry = "a.txt\tb.txt\t42\t7\r\n";
    const struct {
        const char* Why;
        std::string Bytes;
    } damaged[] = {
        {"empty", ""},
        {"another format", "Zelvane 3 undo journal\t2\r\nfolder\tC:\\\r\ntime\t1\r\n"},
        {"heading cut short", "Zelvane 3 undo journal\t1\r\nfolder\tC:\\Photos\r\n"},
        {"heading without the folder", "Zelvane 3 undo journal\t1\r\ntime\t1\r\n"},
        {"empty folder", "Zelvane 3 undo journal\t1\r\nfolder\t\r\ntime\t1\r\n"},
        {"last line without its line end", Heading + entry.substr(0, entry.size() - 2)},
        {"line cut in a field", Heading + entry.substr(0, 8)},
        {"bare line feeds", "Zelvane 3 undo journal\t1\nfolder\tC:\\Photos\ntime\t1\n"},
        {"a lone CR inside a line", Heading + "a.txt\tb\r.txt\t42\t7\r\n"},
        {"not UTF-8", Heading + "a\xE9.txt\tb.txt\t42\t7\r\n"},
        {"an encoded surrogate", Heading + "a\xED\xB3\xA9.txt\tb.txt\t42\t7\r\n"},
        {"three fields", Heading + "a.txt\tb.txt\t42\r\n"},
        {"five fields", Heading + "a.txt\tb.txt\t42\t7\t7\r\n"},
        {"an empty line", Heading + "\r\n"},
        {"a size that is no number", Heading + "a.txt\tb.txt\t4x\t7\r\n"},
        {"a negative size", Heading + "a.txt\tb.txt\t-1\t7\r\n"},
        {"a leading zero", Heading + "a.txt\tb.txt\t042\t7\r\n"},
        {"a time beyond 64 bits", Heading + "a.txt\tb.txt\t42\t18446744073709551616\r\n"},
        {"an empty time", Heading + "a.txt\tb.txt\t42\t\r\n"},
        {"an escape cut short", Heading + "a.txt\tb%2\t42\t7\r\n"},
        {"an escape of no hex digits", Heading + "a%G0.txt\tb.txt\t42\t7\r\n"},
        {"a wide escape cut short", Heading + "a%uDC9.txt\tb.txt\t42\t7\r\n"},
        {"a zero in a name", Heading + "a%00.txt\tb.txt\t42\t7\r\n"},
        {"an empty old name", Heading + "\tb.txt\t42\t7\r\n"},
        {"an empty new name", Heading + "a.txt\t\t42\t7\r\n"},
        {"an old name with a folder", Heading + "..\\a.txt\tb.txt\t42\t7\r\n"},
        {"an old name that is the parent", Heading + "..\tb.txt\t42\t7\r\n"},
        {"a new name with a slash", Heading + "a.txt\t/etc/b\t42\t7\r\n"},
    };
    for (const auto& row : damaged)
        EXPECT_EQ(Zelvane::ParseJournal(row.Bytes), std::nullopt) << row.Why;
    EXPECT_NE(Zelvane::ParseJournal(Heading + entry), std::nullopt);
}

// The writer in the fake host's local profile.
class JournalWriter : public ::testing::Test {
protected:
    String FileName() const { return Zelvane::JournalFileName(); }
    fs::path OnDisk() const { return fs::path(FileName()); }

    TestSupport::FakeHost Host;
    const TJournalEntry Entry{u"a.txt", u"b.txt", 42, 7};
};

TEST_F(JournalWriter, WritesInTheLocalProfileAndLeavesThePreviousJournalWhenNothingIsRenamed)
{
    EXPECT_EQ(FileName(), (Host.LocalProfile / "PluginsData" / "6F3B1C2A-8E4D-4A7B-9C15-2D7E0A9B4F61" /
                           "last-run.txt")
                              .u16string());
    {
        Zelvane::TJournalWriter writer(FileName(), u"C:\\Photos", 133000000000000000);
        for (int i = 0; i < 3000; ++i) // more than one batch
            writer.Add(Entry);
        EXPECT_TRUE(writer.Finish());
    }
    TJournal journal;
    ASSERT_EQ(Zelvane::ReadJournalFile(FileName(), journal), Zelvane::TJournalRead::Read);
    EXPECT_EQ(journal.Entries.size(), 3000u);

    Zelvane::TJournalWriter nothing(FileName(), u"D:\\", 1);
    EXPECT_TRUE(nothing.Finish());
    ASSERT_EQ(Zelvane::ReadJournalFile(FileName(), journal), Zelvane::TJournalRead::Read);
    EXPECT_EQ(journal.Folder, u"C:\\Photos");
}

TEST_F(JournalWriter, AJournalThatCannotBeWrittenIsReportedAndLeftNowhere)
{
    const struct {
        const char* Why;
        Platform::Faults::TCall Call;
        int After; // calls of that kind that succeed first
    } faults[] = {
        {"refused file", Platform::Faults::TCall::Create, 0},
        {"medium full at the first batch", Platform::Faults::TCall::Write, 0},
        {"medium full at a later batch", Platform::Faults::TCall::Write, 1},
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
            Zelvane::TJournalWriter writer(FileName(), u"C:\\Photos", 1);
            for (int i = 0; i < 5000; ++i)
                writer.Add(Entry);
            finished = writer.Finish();
        }
        EXPECT_FALSE(finished);
        TJournal journal;
        EXPECT_EQ(Zelvane::ReadJournalFile(FileName(), journal), Zelvane::TJournalRead::Missing);
    }
    Zelvane::TJournalWriter noProfile(String(), u"C:\\Photos", 1);
    noProfile.Add(Entry);
    EXPECT_FALSE(noProfile.Finish());
}

TEST_F(JournalWriter, ReplacingKeepsTheEntriesLeftAndDeletesAnEmptyJournal)
{
    TJournal journal{u"C:\\Photos", 5, {Entry, {u"c", u"d", 1, 2}}};
    fs::create_directories(OnDisk().parent_path());
    ASSERT_TRUE(Zelvane::ReplaceJournalFile(FileName(), journal));
    TJournal read;
    ASSERT_EQ(Zelvane::ReadJournalFile(FileName(), read), Zelvane::TJournalRead::Read);
    EXPECT_EQ(read, journal);
    journal.Entries.clear();
    EXPECT_TRUE(Zelvane::ReplaceJournalFile(FileName(), journal));
    EXPECT_FALSE(fs::exists(OnDisk()));
    EXPECT_TRUE(Zelvane::ReplaceJournalFile(FileName(), journal)); // already gone
}

} // namespace
