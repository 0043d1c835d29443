// Renaming from the plugins menu, end to end: the built plugin in the
// stand-in host, a real temporary folder as the active panel, and the user's
// keys scripted. Each case checks the folder afterwards, the selection the
// host panel shows, the stored options and the failure list's exact bytes.
#include "PluginSession.h"

#include <algorithm>
#include <cstring>

namespace {

namespace fs = std::filesystem;
using E2E::Bom;
using E2E::Heading;

class RenameRun : public E2E::PluginSession {};

TEST_F(RenameRun, ClashingTargetsStaySelectedAndAreListed)
{
    MakeFiles({"a.txt", "b.txt", "c.txt", "file2.txt"});
    Store("StartingNumber", "1");
    StoreNumber("SavePatternSettings", 1);
    ShowFolder({u"a.txt", u"b.txt", u"c.txt"});
    Open();

    EXPECT_EQ(FolderNames(), (std::set<std::string>{"file1.txt", "b.txt", "c.txt", "file2.txt"}));
    EXPECT_EQ(Content("file1.txt"), "content of a.txt");
    EXPECT_EQ(Content("file2.txt"), "content of file2.txt");
    EXPECT_EQ(SelectedNames(), (std::vector<std::u16string>{u"b.txt", u"c.txt"}));
    EXPECT_EQ(Stored("StartingNumber"), "2");
    EXPECT_EQ(Stored("SavedPatterns"), "file%#.%e\t2\n");

    ASSERT_EQ(User.Editors().size(), 1u);
    const auto& editor = User.Editors()[0];
    EXPECT_EQ(editor.Content, std::string(Bom) + Heading + "\"b.txt\" -> \"file2.txt\"\r\n" +
                                  "\"c.txt\" -> \"file2.txt\"\r\n");
    EXPECT_EQ(editor.Window.Title, "Zelvane 3");
    EXPECT_EQ(editor.Window.Flags, 0xB09u);
    EXPECT_EQ(editor.Window.CodePage, 65001u);
    EXPECT_EQ(editor.Window.StartLine, 0);
    EXPECT_EQ(editor.Window.StartChar, 1);
    EXPECT_EQ(editor.Window.X1, 0);
    EXPECT_EQ(editor.Window.Y2, -1);
    EXPECT_EQ(editor.Window.FileName.extension(), ".txt");

    // Closing the editor deletes the list, as the host was asked to.
    const fs::path list = editor.Window.FileName;
    EXPECT_TRUE(fs::exists(list));
    Host->CloseEditor(editor.Window.Id);
    EXPECT_FALSE(fs::exists(list));
}

TEST_F(RenameRun, UnchangedNamesCountAsRenamedAndConsumeACounterValue)
{
    MakeFiles({"a.txt", "b.txt"});
    Store("FileNameTemplate", "%f");
    Store("StartingNumber", "0");
    StoreNumber("SavePatternSettings", 1);
    ShowFolder({u"a.txt", u"b.txt"});
    Open();
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_TRUE(SelectedNames().empty());
    EXPECT_TRUE(User.Editors().empty());
    EXPECT_EQ(Stored("StartingNumber"), "2");
}

TEST_F(RenameRun, TheItemUnderTheCursorStandsInForAnEmptySelection)
{
    MakeFiles({"a.txt", "b.txt"});
    StoreNumber("AllowRenameFileUnderCursor", 1);
    ShowFolder({}, u"b.txt");
    Open();
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "file0.txt"}));
    EXPECT_TRUE(SelectedNames().empty());
}

TEST_F(RenameRun, RememberedCountersKeepTheirWidthAndGrowPastIt)
{
    struct Case {
        const char* Start;
        int Files;
        const char* Recorded;
    };
    for (const Case& c : {Case{"007", 5, "012"}, Case{"99", 1, "100"}, Case{"1", 12, "13"},
                          Case{"2147483647", 2, "-2147483647"}}) {
        for (const auto& entry : fs::directory_iterator(Files))
            fs::remove(entry.path());
        std::vector<std::u16string> names;
        for (int i = 0; i < c.Files; ++i) {
            const std::string name = "src" + std::to_string(i) + ".dat";
            Temp.Write("files/" + name, name);
            names.push_back(std::u16string(name.begin(), name.end()));
        }
        Store("FileNameTemplate", "n%#.%e");
        Store("StartingNumber", c.Start);
        Store("SavedPatterns", ""); // else the dialog shows the counter the last case recorded
        StoreNumber("SavePatternSettings", 1);
        Host->ActivePanel().ShowFolder(Files);
        ASSERT_TRUE(Host->SelectByName(names));
        Open();
        EXPECT_EQ(Stored("StartingNumber"), c.Recorded) << c.Start;
        EXPECT_EQ(Stored("SavedPatterns"), std::string("n%#.%e\t") + c.Recorded + "\n") << c.Start;
        EXPECT_TRUE(SelectedNames().empty()) << c.Start;
    }
    // The counter steps past the largest 32-bit value by wrapping around.
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"n2147483647.dat", "n-2147483648.dat"}));
}

TEST_F(RenameRun, WhenEveryFileFailsTheOptionsAreLeftAlone)
{
    MakeFiles({"a.txt", "b.txt", "same.txt"});
    Store("FileNameTemplate", "same.txt");
    Store("StartingNumber", "5");
    StoreNumber("SavePatternSettings", 1);
    ShowFolder({u"a.txt", u"b.txt"});
    Open();
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt", "same.txt"}));
    EXPECT_EQ(SelectedNames(), (std::vector<std::u16string>{u"a.txt", u"b.txt"}));
    EXPECT_EQ(Stored("StartingNumber"), "5");
    EXPECT_EQ(Stored("SavedPatterns"), std::nullopt);
    ASSERT_EQ(User.Editors().size(), 1u);
    EXPECT_EQ(User.Editors()[0].Content, std::string(Bom) + Heading + "\"a.txt\" -> \"same.txt\"\r\n" +
                                             "\"b.txt\" -> \"same.txt\"\r\n");
}

TEST_F(RenameRun, ANameWindowsRefusesIsListedWithItsQuotesDoubled)
{
    MakeFiles({"x.txt"});
    Store("FileNameTemplate", "say \"hi\"%#.%e");
    ShowFolder({u"x.txt"});
    Open();
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"x.txt"}));
    ASSERT_EQ(User.Editors().size(), 1u);
    EXPECT_EQ(User.Editors()[0].Content,
              std::string(Bom) + Heading + "\"x.txt\" -> \"say \"\"hi\"\"0.txt\"\r\n");
}

TEST_F(RenameRun, AStoredStartingNumberThatIsNoNumberCannotBeConfirmed)
{
    MakeFiles({"a.txt"});
    Store("StartingNumber", "abc");
    ShowFolder({u"a.txt"});
    Host->Panels().ClearLog();
    Open("<Enter>"); // OK is disabled: Enter does nothing, and the user leaves with Esc
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt"}));
    EXPECT_TRUE(User.Messages().empty());
    for (const auto& call : Host->Panels().Log())
        EXPECT_NE(call.Command, Far3::FCTL_SETSELECTION);

    Open("<Tab>5<Enter>");
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"file5.txt"}));
    EXPECT_EQ(Stored("StartingNumber"), "5");
}

TEST_F(RenameRun, NothingSelectedShowsTheWarningAndNothingElse)
{
    MakeFiles({"a.txt"});
    ShowFolder({}, u"a.txt");
    EXPECT_EQ(Host->Open(), nullptr);
    ASSERT_EQ(User.Messages().size(), 1u);
    EXPECT_EQ(User.Messages()[0].Lines,
              (std::vector<std::string>{"Nothing to rename: select files in the panel first."}));
    EXPECT_EQ(User.Messages()[0].Flags, 1u);
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt"}));
}

TEST_F(RenameRun, CancellingChangesNothing)
{
    MakeFiles({"a.txt"});
    ShowFolder({u"a.txt"});
    Host->Panels().ClearLog();
    for (const char* keys : {"new%#<Esc>", "new%#<Alt+C>", "new%#<Tab><Tab><Tab><Tab><Enter>"}) {
        Open(keys);
        EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt"})) << keys;
        EXPECT_EQ(SelectedNames(), (std::vector<std::u16string>{u"a.txt"})) << keys;
        EXPECT_EQ(Stored("FileNameTemplate"), std::nullopt) << keys;
        EXPECT_FALSE(User.RanOutOfInput()) << keys;
    }
    for (const auto& call : Host->Panels().Log())
        EXPECT_NE(call.Command, Far3::FCTL_SETSELECTION);
}

TEST_F(RenameRun, TheFailureListIsDeletedWhenThePluginUnloads)
{
    MakeFiles({"a.txt", "file0.txt"});
    ShowFolder({u"a.txt"});
    Open();
    ASSERT_EQ(User.Editors().size(), 1u);
    const fs::path list = User.Editors()[0].Window.FileName;
    Host->Unload();
    EXPECT_FALSE(fs::exists(list));
}

// The names a template can expand to that Windows would trim or could not
// hold: the same outcome on every build, whatever the file system below
// would accept. A failing file is listed with its name as expanded.
TEST_F(RenameRun, NamesWindowsCannotHoldAreNeverMade)
{
    struct Case {
        const char* File;
        const char* Template;
        const char* Made;   // the name on disk afterwards, or nullptr when the file fails
        const char* Listed = nullptr; // the new name the failure list shows, when not the template
    };
    const Case cases[] = {
        {"a.txt", "file%#.%e", "file1.txt"},
        {"README", "file%#.%e", "file1"}, // "file1." loses its dot
        {"b.txt", "%n. . ", "b"},
        {"c.txt", "%f.", "c.txt"}, // trims to its own name: renamed without a call
        {"d.txt", "console.%e", "console.txt"},
        {"e.txt", "com10.%e", "com10.txt"},
        {"f.txt", "lpt0.%e", "lpt0.txt"},
        {"g.txt", "con_%#.%e", "con_1.txt"},
        {"h.txt", ". .", nullptr},
        {"i.txt", "...", nullptr},
        {"j.txt", "CON", nullptr},
        {"k.txt", "nul.%e", nullptr, "nul.txt"},
        {"l.txt", "com%#.%e", nullptr, "com1.txt"},
        {"m.txt", "Nul .txt", nullptr},
        {"n.txt", "lPt9.tar.gz", nullptr},
        {"o.txt", "aux.", nullptr},
        {"p.txt", "prn  .x", nullptr},
        {"q.txt", "con\\%f", nullptr, "con\\q.txt"},
        {"r.txt", "a<b", nullptr},
        {"s.txt", "a>b", nullptr},
        {"t.txt", "a:b", nullptr},
        {"u.txt", "a/b", nullptr},
        {"v.txt", "a|b", nullptr},
        {"w.txt", "a?b", nullptr},
        {"x.txt", "a*b", nullptr},
        {"y.txt", "tab\there", nullptr},
        {"z.txt", "%n\\", nullptr, "z\\"},
    };
    size_t lists = 0;
    for (const Case& c : cases) {
        for (const auto& entry : fs::directory_iterator(Files))
            fs::remove(entry.path());
        Temp.Write(std::string("files/") + c.File, c.File);
        Store("FileNameTemplate", c.Template);
        Store("StartingNumber", "1");
        Store("SavedPatterns", "");
        StoreNumber("SavePatternSettings", 1);
        const std::u16string file(c.File, c.File + std::strlen(c.File));
        Host->ActivePanel().ShowFolder(Files);
        ASSERT_TRUE(Host->SelectByName({file}));
        Open();
        if (c.Made) {
            EXPECT_EQ(FolderNames(), (std::set<std::string>{c.Made})) << c.Template;
            EXPECT_EQ(Content(c.Made), c.File) << c.Template;
            EXPECT_TRUE(SelectedNames().empty()) << c.Template;
            EXPECT_EQ(Stored("StartingNumber"), "2") << c.Template;
            EXPECT_EQ(User.Editors().size(), lists) << c.Template;
        } else {
            EXPECT_EQ(FolderNames(), (std::set<std::string>{c.File})) << c.Template;
            EXPECT_EQ(SelectedNames(), (std::vector<std::u16string>{file})) << c.Template;
            EXPECT_EQ(Stored("StartingNumber"), "1") << c.Template;
            ASSERT_EQ(User.Editors().size(), ++lists) << c.Template;
            EXPECT_EQ(User.Editors().back().Content, std::string(Bom) + Heading + "\"" + c.File + "\" -> \"" +
                                                         (c.Listed ? c.Listed : c.Template) + "\"\r\n")
                << c.Template;
        }
    }
}

} // namespace
