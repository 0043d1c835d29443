// F3 in the rename dialog, end to end: the preview in the host's viewer,
// the dialog left as it was, nothing renamed or saved; and the preview of
// seeded random folders equal, line by line, to the run that follows it.
#include "PluginSession.h"

#include "base/Ascii.h"

#include <algorithm>
#include <map>
#include <random>

namespace {

namespace fs = std::filesystem;
using E2E::Bom;

class Preview : public E2E::PluginSession {
protected:
    // The viewer's lines without the byte order mark, CR LF dropped.
    std::vector<std::string> ViewerLines(size_t index = 0) const
    {
        const std::string& content = User.Viewers().at(index).Content;
        EXPECT_TRUE(content.starts_with(Bom));
        std::vector<std::string> lines;
        size_t at = 3;
        while (at < content.size()) {
            const size_t end = content.find("\r\n", at);
            EXPECT_NE(end, std::string::npos) << "a line without CR LF";
            if (end == std::string::npos)
                break;
            lines.push_back(content.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
};

// What a person can see of a dialog's state.
std::vector<std::string> State(const Host::DialogView& dialog)
{
    std::vector<std::string> state{std::to_string(dialog.Focus)};
    for (const auto& item : dialog.Items)
        state.push_back(std::string(item.Text.begin(), item.Text.end()) + "|" + std::to_string(item.Checked) + "|" +
                        std::to_string(item.Cursor) + "|" + std::to_string(item.Enabled) +
                        std::to_string(item.Focused) + std::to_string(item.Unchanged));
    return state;
}

TEST_F(Preview, ShowsEveryNewNameWithTheReasonsOfFailuresAndTouchesNothing)
{
    MakeFiles({"a.txt", "b.txt", "c.txt", "d.txt", "file2.txt", "README"});
    Store("StartingNumber", "1");
    ShowFolder({u"a.txt", u"README", u"b.txt", u"c.txt", u"d.txt"});
    std::vector<std::string> before;
    std::vector<std::string> after;
    // The template typed, not confirmed: the preview takes what the dialog holds.
    User.QueueKeys("<Ctrl+Y>%n%#.%e<Tab>0<Tab>");
    User.QueueCheck([&](const Host::DialogView& dialog) { before = State(dialog); });
    User.QueueKeys("<F3>");
    User.QueueCheck([&](const Host::DialogView& dialog) { after = State(dialog); });
    User.QueueKeys("<Esc>");
    EXPECT_EQ(Host->Open(), nullptr);

    ASSERT_EQ(User.Viewers().size(), 1u);
    EXPECT_EQ(ViewerLines(), (std::vector<std::string>{
                                 "5 files: 5 renamed, 0 fail",
                                 "\"a.txt\" -> \"a0.txt\"",
                                 "\"b.txt\" -> \"b1.txt\"",
                                 "\"c.txt\" -> \"c2.txt\"",
                                 "\"d.txt\" -> \"d3.txt\"",
                                 "\"README\" -> \"README4\"",
                             }));
    const auto& window = User.Viewers()[0].Window;
    EXPECT_EQ(window.Title, "Zelvane 3");
    EXPECT_EQ(window.Flags, 0x208u); // delete only the file on close, no history; modal
    EXPECT_EQ(window.CodePage, 65001u);
    EXPECT_EQ(window.X1, 0);
    EXPECT_EQ(window.Y1, 0);
    EXPECT_EQ(window.X2, -1);
    EXPECT_EQ(window.Y2, -1);
    EXPECT_FALSE(fs::exists(window.FileName)) << "the viewer deletes the file when it closes";
    EXPECT_TRUE(fs::exists(window.FileName.parent_path()));

    EXPECT_FALSE(before.empty());
    EXPECT_EQ(before, after);
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt", "c.txt", "d.txt", "file2.txt", "README"}));
    EXPECT_EQ(Stored("FileNameTemplate"), std::nullopt);
    EXPECT_EQ(Stored("StartingNumber"), "1");
    EXPECT_TRUE(Host->Histories().Entries(u"FileNamePattern").empty());

    // With the template and number as stored: a trimmed name, a taken one,
    // and a counter value given back.
    Store("FileNameTemplate", "file%#.%e");
    ShowFolder({u"a.txt", u"README", u"b.txt", u"c.txt", u"file2.txt"});
    Open("<F3><Esc>");
    ASSERT_EQ(User.Viewers().size(), 2u);
    EXPECT_EQ(ViewerLines(1), (std::vector<std::string>{
                                  "5 files: 3 renamed, 2 fail",
                                  "\"a.txt\" -> \"file1.txt\"",
                                  "\"b.txt\" -> \"file2.txt\"  (the target exists)",
                                  "\"c.txt\" -> \"file2.txt\"  (the target exists)",
                                  "\"file2.txt\" -> \"file2.txt\"",
                                  "\"README\" -> \"file3\"",
                              }));
}

// Esc while the preview works through many files (typed ahead, so it is
// met at the 16th), then Yes: no preview shows, the dialog comes back as it
// was, and nothing is renamed.
TEST_F(Preview, EscStopsItAndTheDialogComesBack)
{
    std::vector<std::u16string> names;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "p" + std::to_string(100 + i) + ".txt";
        Temp.Write("files/" + name, name);
        names.push_back(std::u16string(name.begin(), name.end()));
    }
    Host->ActivePanel().ShowFolder(Files);
    ASSERT_TRUE(Host->SelectByName(names));
    const std::set<std::string> before = FolderNames();
    User.QueueTypedKeys("<Esc>");
    User.QueueAnswer(0);
    Open("<F3><Esc>");
    EXPECT_TRUE(User.Viewers().empty());
    ASSERT_EQ(User.Messages().size(), 1u);
    EXPECT_EQ(User.Messages()[0].Lines, (std::vector<std::string>{"Stop the preview?"}));
    ASSERT_EQ(User.Dialogs().size(), 1u);
    EXPECT_EQ(User.Dialogs()[0].ExitCode, -1);
    EXPECT_EQ(FolderNames(), before);
}

// A preview far longer than one write to its file, of a quarter of a
// folder whose names outnumber the run's many times: every line is there,
// whole, in panel order, and a name taken deep in the folder still fails.
TEST_F(Preview, ALongPreviewHasEveryLine)
{
    constexpr int Count = 1200;
    constexpr int Taken = 1192;
    std::vector<std::u16string> names;
    std::vector<std::string> expected{std::to_string(Count / 4) + " files: " + std::to_string(Count / 4 - 1) +
                                      " renamed, 1 fail"};
    for (int i = 0; i < Count; ++i) {
        const std::string number = std::to_string(10000 + i).substr(1);
        const std::string stem = "a name long enough to fill the preview in a few hundred lines " + number;
        Temp.Write("files/" + stem + ".txt", stem);
        if (i == Taken)
            Temp.Write("files/" + stem + " renamed.txt", "taken");
        if (i % 4 != 0)
            continue;
        names.push_back(std::u16string(stem.begin(), stem.end()) + u".txt");
        expected.push_back("\"" + stem + ".txt\" -> \"" + stem + " renamed.txt\"" +
                           (i == Taken ? "  (the target exists)" : ""));
    }
    Host->ActivePanel().ShowFolder(Files);
    ASSERT_TRUE(Host->SelectByName(names));
    Store("FileNameTemplate", "%n renamed.%e");
    Open("<F3><Esc>");
    ASSERT_EQ(User.Viewers().size(), 1u);
    EXPECT_EQ(ViewerLines(), expected);
}

TEST_F(Preview, NamesTheReasonOfEachFailure)
{
    MakeFiles({"a.txt", "b.txt", "c.txt", "taken.txt"});
    struct Case {
        const char* Template;
        std::vector<std::string> Lines;
    };
    const Case cases[] = {
        {"taken.%e", {"3 files: 0 renamed, 3 fail", "\"a.txt\" -> \"taken.txt\"  (the target exists)",
                      "\"b.txt\" -> \"taken.txt\"  (the target exists)",
                      "\"c.txt\" -> \"taken.txt\"  (the target exists)"}},
        {"same", {"3 files: 1 renamed, 2 fail", "\"a.txt\" -> \"same\"",
                  "\"b.txt\" -> \"same\"  (an earlier file of this run takes it)",
                  "\"c.txt\" -> \"same\"  (an earlier file of this run takes it)"}},
        {"LPT%#.%e", {"3 files: 0 renamed, 3 fail", "\"a.txt\" -> \"LPT1.txt\"  (Windows cannot hold the name)",
                      "\"b.txt\" -> \"LPT1.txt\"  (Windows cannot hold the name)",
                      "\"c.txt\" -> \"LPT1.txt\"  (Windows cannot hold the name)"}},
        // b.txt gives its name up before c.txt asks for it.
        {"%#.txt", {"3 files: 3 renamed, 0 fail", "\"a.txt\" -> \"1.txt\"", "\"b.txt\" -> \"2.txt\"",
                    "\"c.txt\" -> \"3.txt\""}},
        {"nowhere\\%f", {"3 files: 0 renamed, 3 fail", "\"a.txt\" -> \"nowhere\\a.txt\"  (its folder does not exist)",
                         "\"b.txt\" -> \"nowhere\\b.txt\"  (its folder does not exist)",
                         "\"c.txt\" -> \"nowhere\\c.txt\"  (its folder does not exist)"}},
        // Text files have no date taken; each gives its counter value back.
        {"%{taken} %#.%e", {"3 files: 0 renamed, 3 fail", "\"a.txt\" -> \"%{taken} 1.txt\"  (it has no date taken)",
                            "\"b.txt\" -> \"%{taken} 1.txt\"  (it has no date taken)",
                            "\"c.txt\" -> \"%{taken} 1.txt\"  (it has no date taken)"}},
        {"%{n:upper}-%{folder}-%{n:..1}%#.%e", {"3 files: 3 renamed, 0 fail", "\"a.txt\" -> \"A-files-a1.txt\"",
                                                "\"b.txt\" -> \"B-files-b2.txt\"",
                                                "\"c.txt\" -> \"C-files-c3.txt\""}},
    };
    size_t shown = 0;
    for (const Case& c : cases) {
        Store("FileNameTemplate", c.Template);
        Store("StartingNumber", "1");
        ShowFolder({u"a.txt", u"b.txt", u"c.txt"});
        Open("<F3><Esc>");
        ASSERT_EQ(User.Viewers().size(), ++shown) << c.Template;
        EXPECT_EQ(ViewerLines(shown - 1), c.Lines) << c.Template;
    }
    // F3 while OK is disabled does nothing.
    ShowFolder({u"a.txt"});
    Open("<Ctrl+Y><F3><Esc>");
    EXPECT_EQ(User.Viewers().size(), shown);
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt", "c.txt", "taken.txt"}));
}

// A regular expression that does not compile: F3 and OK say so, naming it;
// no preview, nothing renamed, and the dialog stays open until Esc.
TEST_F(Preview, ABadExpressionStopsPreviewAndRun)
{
    MakeFiles({"a.txt"});
    Store("StartingNumber", "1");
    ShowFolder({u"a.txt"});
    User.QueueKeys("<Ctrl+Y>%{n:/a(/x/r}<F3><Enter>");
    bool stillOpen = false;
    User.QueueCheck([&](const Host::DialogView&) { stillOpen = true; });
    User.QueueKeys("<Esc>");
    EXPECT_EQ(Host->Open(), nullptr);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(User.Viewers().empty());
    ASSERT_EQ(User.Messages().size(), 2u);
    for (const Host::MessageBox& box : User.Messages()) {
        ASSERT_FALSE(box.Lines.empty());
        EXPECT_TRUE(box.Lines[0].starts_with("The regular expression a( does not compile: ")) << box.Lines[0];
    }
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt"}));
    EXPECT_EQ(Stored("FileNameTemplate"), std::nullopt);
}

// Seeded random folders: the preview's lines are what the run then does.
TEST_F(Preview, EqualsTheRunThatFollows)
{
    // Windows takes names that differ only in case for one; the folders are
    // made so that they never hold two such names there.
#if defined(_WIN32)
    constexpr bool CaseBlind = true;
#else
    constexpr bool CaseBlind = false;
#endif
    const std::vector<std::string> stems{"a", "b", "A", "B", "file1", "File2", "x", "a1", "A2", "", "b."};
    const std::vector<std::string> extensions{"", ".txt", ".TXT", ".t", ".dat"};
    const std::vector<std::string> templates{"%n%#%e", "file%#.%e", "%#",  "%N.%e", "A%#",   "a%#",    "%f.",
                                             "%n. ",   "b",         "x%#", "con",   "%e",    "%F",     "B.txt",
                                             "%t%#",   "%n\\x",     "a1%e", "A",     "%N",    "a1.txt", "x.dat"};
    std::mt19937 random(20261208);
    const auto pick = [&](const auto& list) { return list[random() % list.size()]; };
    std::map<std::string, int> seen; // how often each outcome came up, so the rounds prove something
    for (int round = 0; round < 60; ++round) {
        for (const auto& entry : fs::directory_iterator(Files))
            fs::remove_all(entry.path());
        std::map<std::string, std::string> made; // the name as compared -> the name
        const int files = 2 + static_cast<int>(random() % 6);
        for (int i = 0; i < files; ++i) {
            const std::string name = pick(stems) + pick(extensions);
            if (name.empty() || name.ends_with('.'))
                continue;
            std::string key = name;
            if (CaseBlind)
                std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
            if (made.emplace(key, name).second)
                Temp.Write("files/" + name, name);
        }
        std::vector<std::u16string> selected;
        for (const auto& [key, name] : made)
            if (random() % 4 != 0)
                selected.push_back(std::u16string(name.begin(), name.end()));
        if (selected.empty())
            continue;
        std::shuffle(selected.begin(), selected.end(), random);
        const std::string pattern = pick(templates);
        Store("FileNameTemplate", pattern);
        Store("StartingNumber", std::to_string(random() % 3));
        Store("SavedPatterns", "");
        Host->ActivePanel().ShowFolder(Files);
        ASSERT_TRUE(Host->SelectByName(selected));
        const size_t viewers = User.Viewers().size();
        const size_t lists = User.Editors().size();
        Open("<F3><Enter>");
        ASSERT_EQ(User.Viewers().size(), viewers + 1) << pattern;
        const std::vector<std::string> lines = ViewerLines(viewers);

        // What the run did: where each file's content is now, and the failure list.
        std::map<std::string, std::string> now; // content (the old name) -> name now
        for (const std::string& name : FolderNames())
            now[Content(name)] = name;
        std::set<std::string> listed;
        if (User.Editors().size() > lists) {
            const std::string& list = User.Editors().back().Content;
            for (size_t at = list.find("\r\n") + 2; at < list.size(); at = list.find("\r\n", at) + 2)
                listed.insert(list.substr(at, list.find("\r\n", at) - at));
        }
        ASSERT_FALSE(lines.empty());
        int failing = 0;
        for (size_t i = 1; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            const size_t arrow = line.find("\" -> \"");
            ASSERT_NE(arrow, std::string::npos) << line;
            const std::string oldName = line.substr(1, arrow - 1);
            const size_t reason = line.find("\"  (", arrow);
            ++seen[reason == std::string::npos ? "renamed" : line.substr(reason + 3)];
            if (reason == std::string::npos) {
                const std::string newName = line.substr(arrow + 6, line.size() - arrow - 7);
                // Wine renames a file to its own name in other letter case
                // without changing the case; Windows changes it.
                if (CaseBlind && now[oldName] != newName)
                    EXPECT_TRUE(Base::EqualsIgnoringAsciiCase(std::string_view(now[oldName]), std::string_view(newName)) &&
                                Base::EqualsIgnoringAsciiCase(std::string_view(oldName), std::string_view(newName)))
                        << pattern << ": " << line;
                else
                    EXPECT_EQ(now[oldName], newName) << pattern << ": " << line;
            } else {
                ++failing;
                EXPECT_EQ(now[oldName], oldName) << pattern << ": " << line;
                EXPECT_TRUE(listed.contains(line.substr(0, reason + 1))) << pattern << ": " << line;
            }
        }
        EXPECT_EQ(static_cast<int>(listed.size()), failing) << pattern;
    }
    for (const char* outcome : {"renamed", "(the target exists)", "(an earlier file of this run takes it)",
                                "(Windows cannot hold the name)", "(its folder does not exist)"})
        EXPECT_GT(seen[outcome], 0) << outcome;
}

} // namespace
