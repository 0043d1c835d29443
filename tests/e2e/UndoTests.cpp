// Undoing the last rename from the plugins menu's second entry, end to end:
// the built plugin in the stand-in host renames a real folder, then the
// user takes the run back (after a host restart too), with files changed,
// replaced or re-created in between, and with damaged journals.
#include "PluginSession.h"

#include <chrono>
#include <sstream>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using E2E::Bom;

constexpr size_t UndoMenuIndex = 1;

// A file opened and locked as another process's plugin holds it: without
// sharing on Windows, with an exclusive lock on POSIX.
class HeldFile {
public:
    explicit HeldFile(const fs::path& path)
    {
#if defined(_WIN32)
        Handle = ::CreateFileW(path.wstring().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        EXPECT_NE(Handle, INVALID_HANDLE_VALUE);
#else
        Descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        EXPECT_GE(Descriptor, 0);
        EXPECT_EQ(::flock(Descriptor, LOCK_EX | LOCK_NB), 0);
#endif
    }
    ~HeldFile()
    {
#if defined(_WIN32)
        ::CloseHandle(Handle);
#else
        ::close(Descriptor);
#endif
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

private:
#if defined(_WIN32)
    HANDLE Handle = INVALID_HANDLE_VALUE;
#else
    int Descriptor = -1;
#endif
};
constexpr const char* UndoHeading = "These names could not be restored (current name -> old name):\r\n";

class Undo : public E2E::PluginSession {
protected:
    // Renames the selected files with the template "%n-x.%e".
    void RenameWithTemplate(std::initializer_list<const char16_t*> selected, const char* pattern = "%n-x.%e")
    {
        Store("FileNameTemplate", pattern);
        ShowFolder(selected);
        Open();
    }

    // The undo entry, answered with `answer` (0: Yes) if it asks.
    void OpenUndo(intptr_t answer = 0)
    {
        User.ClearRecord();
        User.QueueAnswer(answer);
        EXPECT_EQ(Host->Open(UndoMenuIndex), nullptr);
    }

    fs::path Journal() const
    {
        return Profile / "PluginsData" / "6F3B1C2A-8E4D-4A7B-9C15-2D7E0A9B4F61" / "last-run.txt";
    }

    // The lines of the one message box shown since the last OpenUndo.
    std::vector<std::string> ShownLines() const
    {
        if (User.Messages().empty())
            return {};
        return User.Messages().back().Lines;
    }

    std::string EditorText() const { return User.Editors().empty() ? std::string() : User.Editors().back().Content; }
};

TEST_F(Undo, TheSecondPluginsMenuEntryUndoesTheLastRunAndThenHasNothingToDo)
{
    ASSERT_EQ(Host->Menus().PluginMenu.size(), 3u);
    EXPECT_EQ(Host->Menus().PluginMenu[1].Text, u"Zelvane 3: undo the last rename");
    EXPECT_FALSE(Host->Menus().PluginMenu[1].Guid == Host->Menus().PluginMenu[0].Guid);

    MakeFiles({"a.txt", "b.txt", "c.txt", "d.txt"});
    RenameWithTemplate({u"a.txt", u"b.txt", u"c.txt"});
    ASSERT_EQ(FolderNames(), (std::set<std::string>{"a-x.txt", "b-x.txt", "c-x.txt", "d.txt"}));
    EXPECT_TRUE(fs::exists(Journal()));

    // Undo works after the host restarts, from the journal alone.
    Host->Unload();
    Host.reset();
    Host = std::make_unique<Host::StandInHost>(User, Host::HostOptions{Profile, {}, u"English"});
    Host->Load();
    ShowFolder({u"d.txt"});
    Host->Panels().ClearLog();
    OpenUndo();

    ASSERT_EQ(User.Messages().size(), 1u);
    const auto& question = User.Messages()[0];
    EXPECT_EQ(question.Flags & Far3::FMSG_WARNING, Far3::FMSG_WARNING);
    EXPECT_EQ(question.Lines, (std::vector<std::string>{"Undo the last rename of 3 files in " +
                                                        Files.string() + "?"}));
    EXPECT_EQ(question.Buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt", "c.txt", "d.txt"}));
    EXPECT_EQ(Content("a.txt"), "content of a.txt");
    EXPECT_EQ(Content("c.txt"), "content of c.txt");
    EXPECT_TRUE(User.Editors().empty());
    EXPECT_FALSE(fs::exists(Journal()));
    // The panel shows the old names again, its selection untouched.
    EXPECT_TRUE(Host->ActivePanel().Find(u"a.txt").has_value());
    EXPECT_EQ(SelectedNames(), (std::vector<std::u16string>{u"d.txt"}));

    OpenUndo();
    EXPECT_EQ(ShownLines(), (std::vector<std::string>{"Nothing to undo."}));
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt", "c.txt", "d.txt"}));
}

TEST_F(Undo, RunsAreUndoneInReverseOrderThroughTheNamesTheyFreed)
{
    // 1.txt -> 0.txt first, then 2.txt -> 1.txt, the name 1.txt gave up.
    MakeFiles({"1.txt", "2.txt"});
    Store("StartingNumber", "0");
    RenameWithTemplate({u"1.txt", u"2.txt"}, "%#.txt");
    ASSERT_EQ(FolderNames(), (std::set<std::string>{"0.txt", "1.txt"}));
    ASSERT_EQ(Content("1.txt"), "content of 2.txt");
    OpenUndo();
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"1.txt", "2.txt"}));
    EXPECT_EQ(Content("1.txt"), "content of 1.txt");
    EXPECT_EQ(Content("2.txt"), "content of 2.txt");
}

TEST_F(Undo, NoAnswerChangesNothing)
{
    MakeFiles({"a.txt"});
    RenameWithTemplate({u"a.txt"});
    OpenUndo(1);
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a-x.txt"}));
    EXPECT_TRUE(fs::exists(Journal()));
}

TEST_F(Undo, WithoutAJournalThereIsNothingToUndo)
{
    OpenUndo();
    EXPECT_EQ(ShownLines(), (std::vector<std::string>{"Nothing to undo."}));
}

TEST_F(Undo, FilesChangedReplacedOrBlockedAreLeftAloneListedAndRetriedLater)
{
    struct Case {
        const char* Name;
        std::function<void()> Meddle; // with b.txt, renamed to b-x.txt
    };
    const Case cases[] = {
        {"size changed", [this] { Temp.Write("files/b-x.txt", "changed content of b"); }},
        {"time changed",
         [this] {
             const fs::path file = Files / "b-x.txt";
             fs::last_write_time(file, fs::last_write_time(file) + std::chrono::hours(1));
         }},
        {"replaced by another file of the same size",
         [this] {
             const auto time = fs::last_write_time(Files / "b-x.txt");
             fs::remove(Files / "b-x.txt");
             Temp.Write("files/b-x.txt", "CONTENT OF B.TXT");
             fs::last_write_time(Files / "b-x.txt", time + std::chrono::seconds(3));
         }},
        {"old name re-created", [this] { Temp.Write("files/b.txt", "new b"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const auto& entry : fs::directory_iterator(Files))
            fs::remove_all(entry.path());
        MakeFiles({"a.txt", "b.txt", "c.txt"});
        RenameWithTemplate({u"a.txt", u"b.txt", u"c.txt"});
        c.Meddle();
        OpenUndo();

        EXPECT_EQ(Content("a.txt"), "content of a.txt");
        EXPECT_EQ(Content("c.txt"), "content of c.txt");
        EXPECT_TRUE(fs::exists(Files / "b-x.txt"));
        EXPECT_EQ(EditorText(), std::string(Bom) + UndoHeading + "\"b-x.txt\" -> \"b.txt\"\r\n");

        // The entry stays in the journal, alone: a second undo retries it.
        OpenUndo(1);
        EXPECT_EQ(ShownLines(), (std::vector<std::string>{"Undo the last rename of 1 files in " +
                                                          Files.string() + "?"}));
    }
}

TEST_F(Undo, AnEntryLeftAloneIsRestoredByALaterUndoOnceItsOldNameIsFree)
{
    MakeFiles({"a.txt", "b.txt"});
    RenameWithTemplate({u"a.txt", u"b.txt"});
    Temp.Write("files/a.txt", "someone's new a");
    OpenUndo();
    EXPECT_EQ(EditorText(), std::string(Bom) + UndoHeading + "\"a-x.txt\" -> \"a.txt\"\r\n");
    EXPECT_EQ(Content("b.txt"), "content of b.txt");

    fs::remove(Files / "a.txt");
    OpenUndo();
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(Content("a.txt"), "content of a.txt");
    EXPECT_FALSE(fs::exists(Journal()));
}

TEST_F(Undo, ADamagedJournalOrAFolderGoneIsRefusedAndTouchesNothing)
{
    struct Case {
        const char* Name;
        std::function<std::string(const std::string& journal)> Damage;
        bool FolderGone = false;
    };
    const Case cases[] = {
        {"truncated in the heading", [](const std::string& j) { return j.substr(0, 30); }},
        {"not UTF-8", [](const std::string& j) { return j + "\xC3\x28\tx\t1\t1\r\n"; }},
        {"a record of no kind", [](const std::string& j) { return j + "a.txt\tb.txt\t1\t1\r\n"; }},
        {"an outcome of no entry", [](const std::string& j) { return j + "undone\t9\r\n"; }},
        {"its folder gone", [](const std::string& j) {
             const size_t folder = j.find("files");
             return j.substr(0, folder) + "gone" + j.substr(folder + 5);
         }, true},
    };
    MakeFiles({"a.txt", "b.txt"});
    RenameWithTemplate({u"a.txt", u"b.txt"});
    const std::string journal = HostTests::ReadAll(Journal());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string damaged = c.Damage(journal);
        {
            std::ofstream out(Journal(), std::ios::binary | std::ios::trunc);
            out << damaged;
        }
        OpenUndo();
        const std::string expected =
            c.FolderGone ? "The folder " + (Temp.Path() / "gone").string() +
                               " of the last rename does not exist; nothing was changed."
                         : "The undo journal " + Journal().string() + " is damaged; nothing was changed.";
        EXPECT_EQ(ShownLines(), (std::vector<std::string>{expected}));
        EXPECT_EQ(FolderNames(), (std::set<std::string>{"a-x.txt", "b-x.txt"}));
        EXPECT_EQ(HostTests::ReadAll(Journal()), damaged);
        EXPECT_TRUE(User.Editors().empty());
    }
}

TEST_F(Undo, AJournalThatCannotBeMadeIsAskedAboutBeforeAnyRename)
{
    MakeFiles({"a.txt", "b.txt"});
    // A file where the journal's folder should be.
    fs::create_directories(Profile / "PluginsData");
    Temp.Write("profile/PluginsData/6F3B1C2A-8E4D-4A7B-9C15-2D7E0A9B4F61", "in the way");
    for (const intptr_t answer : {1, 0}) { // No, then Yes
        SCOPED_TRACE(answer);
        User.ClearRecord();
        User.QueueAnswer(answer);
        RenameWithTemplate({u"a.txt", u"b.txt"});
        ASSERT_EQ(User.Messages().size(), 1u);
        EXPECT_EQ(User.Messages()[0].Lines,
                  (std::vector<std::string>{
                      "The last rename cannot be recorded, so it cannot be undone. Rename anyway?"}));
        EXPECT_EQ(User.Messages()[0].Buttons, (std::vector<std::string>{"&Yes", "&No"}));
        EXPECT_EQ(FolderNames(), answer == 0 ? (std::set<std::string>{"a-x.txt", "b-x.txt"})
                                             : (std::set<std::string>{"a.txt", "b.txt"}));
    }
}

TEST_F(Undo, AnotherWindowHoldingTheJournalStopsARunAndAnUndoBeforeAnyRename)
{
    MakeFiles({"a.txt", "b.txt"});
    RenameWithTemplate({u"a.txt"});
    const std::string journal = HostTests::ReadAll(Journal());
    {
        // Held as another window holds it while it renames.
        const HeldFile held(Journal().parent_path() / "last-run.lock");
        const std::vector<std::string> busy{"Another window is renaming with Zelvane 3. Try again when it has finished."};
        User.ClearRecord();
        ShowFolder({u"b.txt"});
        Open();
        EXPECT_EQ(ShownLines(), busy);
        OpenUndo();
        EXPECT_EQ(ShownLines(), busy);
        EXPECT_EQ(User.Messages().size(), 1u);
        EXPECT_EQ(FolderNames(), (std::set<std::string>{"a-x.txt", "b.txt"}));
        EXPECT_EQ(HostTests::ReadAll(Journal()), journal);
    }
    OpenUndo();
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt"}));
}

TEST_F(Undo, ACopyWithTheSameSizeAndTimeAtTheNewNameIsNotMovedBack)
{
    // As Far's F5 makes it: the renamed file moved away, a copy of it (same
    // size, same time, another file) put in its place. A few files read
    // their IDs after each rename; many take them from one folder listing.
    for (const size_t count : {size_t{1}, size_t{300}}) {
        SCOPED_TRACE(count);
        fs::remove_all(Files);
        fs::create_directories(Files);
        std::vector<std::u16string> selected;
        std::set<std::string> expected;
        for (size_t i = 0; i < count; ++i) {
            const std::string name = "f" + std::to_string(i);
            Temp.Write("files/" + name + ".txt", "content of " + name);
            selected.push_back(fs::path(name + ".txt").u16string());
            expected.insert(i == 0 ? name + "-x.txt" : name + ".txt");
        }
        Store("FileNameTemplate", "%n-x.%e");
        Host->ActivePanel().ShowFolder(Files);
        ASSERT_TRUE(Host->SelectByName(selected));
        Open();
        fs::create_directories(Temp.Path() / "elsewhere");
        fs::rename(Files / "f0-x.txt", Temp.Path() / "elsewhere" / "f0-x.txt");
        fs::copy_file(Temp.Path() / "elsewhere" / "f0-x.txt", Files / "f0-x.txt");
        fs::last_write_time(Files / "f0-x.txt", fs::last_write_time(Temp.Path() / "elsewhere" / "f0-x.txt"));
        fs::remove_all(Temp.Path() / "elsewhere");
        OpenUndo();
        EXPECT_EQ(FolderNames(), expected);
        EXPECT_EQ(EditorText(), std::string(Bom) + UndoHeading + "\"f0-x.txt\" -> \"f0.txt\"\r\n");
    }
}

TEST_F(Undo, AJournalOfTheFirstVersionIsStillUndone)
{
    MakeFiles({"a.txt", "b.txt"});
    RenameWithTemplate({u"a.txt", u"b.txt"});
    // The same run as the first version wrote it: a line per rename, with
    // the size and time the panel showed.
    std::istringstream lines(HostTests::ReadAll(Journal()));
    std::string old = "Zelvane 3 undo journal\t1\r\n";
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("folder\t") || line.starts_with("time\t"))
            old += line + "\n";
        else if (line.starts_with("rename\t"))
            old += line.substr(7) + "\n";
    }
    {
        std::ofstream out(Journal(), std::ios::binary | std::ios::trunc);
        out << old;
    }
    OpenUndo();
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_TRUE(User.Editors().empty());
    EXPECT_FALSE(fs::exists(Journal()));
}

TEST_F(Undo, ARunThatRenamesNothingKeepsThePreviousJournal)
{
    MakeFiles({"a.txt", "b.txt"});
    RenameWithTemplate({u"a.txt"});
    const std::string journal = HostTests::ReadAll(Journal());
    // b.txt -> a-x.txt: the target is taken, nothing is renamed.
    Store("FileNameTemplate", "a-x.txt");
    ShowFolder({u"b.txt"});
    Open();
    EXPECT_EQ(HostTests::ReadAll(Journal()), journal);
}

// Esc while a run, its undo or a preview works (typed ahead here, so it is
// met at the first look at the keyboard, the 16th file): the user is asked
// and stops the work. What is renamed stays renamed and is journalled, the
// files not reached stay selected and are no failures, the counter is
// saved as the last renamed file left it, and undo takes back exactly the
// part that was done; an undo stopped the same way keeps the rest in the
// journal for the next one. No, or Esc in the question, goes on.
TEST_F(Undo, EscStopsARunAndAnUndoAfterTheFileInHand)
{
    const int count = 40;
    std::vector<std::u16string> names;
    for (int i = 0; i < count; ++i) {
        const std::string name = "f" + std::to_string(100 + i) + ".txt";
        Temp.Write("files/" + name, "content of " + name);
        names.push_back(std::u16string(name.begin(), name.end()));
    }
    std::set<std::string> original = FolderNames();
    Store("FileNameTemplate", "r%#.txt");
    Store("StartingNumber", "1");
    StoreNumber("SavePatternSettings", 1);
    Host->ActivePanel().ShowFolder(Files);
    ASSERT_TRUE(Host->SelectByName(names));

    // Stopped at the 16th file: 15 renamed.
    User.QueueTypedKeys("<Esc>");
    User.QueueAnswer(0);
    Open();
    ASSERT_FALSE(User.Messages().empty());
    const auto& question = User.Messages().back();
    EXPECT_EQ(question.Flags & Far3::FMSG_WARNING, Far3::FMSG_WARNING);
    EXPECT_EQ(question.Lines, (std::vector<std::string>{"Stop renaming?"}));
    EXPECT_EQ(question.Buttons, (std::vector<std::string>{"&Yes", "&No"}));
    // The taskbar is paused while the question is shown, and cleared after.
    ASSERT_FALSE(Host->TaskbarStates().empty());
    EXPECT_EQ(Host->TaskbarStates().front(), Far3::TBPS_PAUSED);
    EXPECT_EQ(Host->TaskbarStates().back(), Far3::TBPS_NOPROGRESS);
    EXPECT_TRUE(User.Editors().empty()); // no failure list
    std::set<std::string> expected;
    for (int i = 0; i < count; ++i)
        expected.insert(i < 15 ? "r" + std::to_string(i + 1) + ".txt" : "f" + std::to_string(100 + i) + ".txt");
    EXPECT_EQ(FolderNames(), expected);
    EXPECT_EQ(Content("r1.txt"), "content of f100.txt");
    EXPECT_EQ(SelectedNames().size(), static_cast<size_t>(count - 15));
    EXPECT_EQ(SelectedNames().front(), u"f115.txt");
    EXPECT_EQ(Stored("StartingNumber"), "16");

    // The journal holds 15 entries: the undo never reaches its 16th step,
    // so the Esc typed ahead waits (the next run meets it).
    User.QueueTypedKeys("<Esc>");
    OpenUndo();
    EXPECT_EQ(FolderNames(), original);
    EXPECT_FALSE(fs::exists(Journal()));

    // A run that meets the Esc and is told No goes on to the end.
    Store("StartingNumber", "1");
    Store("SavedPatterns", "");
    Host->ActivePanel().ShowFolder(Files);
    ASSERT_TRUE(Host->SelectByName(names));
    User.ClearRecord();
    User.QueueAnswer(1);
    Open();
    ASSERT_EQ(User.Messages().size(), 1u);
    EXPECT_EQ(User.Messages()[0].Lines, (std::vector<std::string>{"Stop renaming?"}));
    EXPECT_EQ(FolderNames().count("r1.txt") + FolderNames().count("r40.txt"), 2u);

    // Its undo, stopped at the 16th entry: the newest 15 went back; the
    // other 25 wait in the journal, not listed as failures.
    User.QueueTypedKeys("<Esc>");
    User.QueueAnswer(0);
    OpenUndo(); // Yes to the undo, then Yes to stop
    ASSERT_EQ(User.Messages().size(), 2u);
    EXPECT_EQ(User.Messages()[1].Lines, (std::vector<std::string>{"Stop undoing?"}));
    EXPECT_TRUE(User.Editors().empty());
    EXPECT_TRUE(fs::exists(Journal()));
    EXPECT_EQ(FolderNames().count("f139.txt") + FolderNames().count("f125.txt"), 2u);
    EXPECT_EQ(FolderNames().count("r25.txt"), 1u);
    EXPECT_EQ(FolderNames().count("f124.txt"), 0u);
    OpenUndo();
    EXPECT_EQ(FolderNames(), original);
    EXPECT_EQ(Content("f124.txt"), "content of f124.txt");
}

#if !defined(_WIN32)
// A link is known by itself, in the panel as when undo reads it back (no
// size, its own date), so a renamed link is taken back, one that leads
// nowhere too.
TEST_F(Undo, RenamedLinksAreTakenBackThoseThatLeadNowhereToo)
{
    MakeFiles({"target.txt"});
    fs::create_symlink("target.txt", Files / "good");
    fs::create_symlink("nowhere", Files / "dangling");
    RenameWithTemplate({u"good", u"dangling"}, "%n-x");
    ASSERT_EQ(FolderNames(), (std::set<std::string>{"target.txt", "good-x", "dangling-x"}));
    OpenUndo();
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"target.txt", "good", "dangling"}));
    EXPECT_TRUE(User.Editors().empty());
    EXPECT_EQ(fs::read_symlink(Files / "dangling"), "nowhere");
}
#endif

} // namespace
