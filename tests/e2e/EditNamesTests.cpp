// Editing the names in the editor, the plugins menu's third entry, end to
// end: the built plugin in the stand-in host writes the names of the
// selected files to a file, the user (scripted) edits and saves it, answers
// the boxes, and the folder, the selection and the failure list show what
// the run did; the undo entry then takes the run back whole.
#include "PluginSession.h"

#include <map>
#include <random>

namespace {

namespace fs = std::filesystem;
using E2E::Bom;
using E2E::Heading;

constexpr size_t UndoMenuIndex = 1;
constexpr size_t EditMenuIndex = 2;

class EditNames : public E2E::PluginSession {
protected:
    // Edits the names of the selected files: the user saves each text in
    // turn and answers the boxes with `answers`.
    void Edit(const std::vector<std::string>& texts, const std::vector<intptr_t>& answers)
    {
        User.ClearRecord();
        for (const std::string& text : texts)
            User.QueueEditorText(text);
        for (const intptr_t answer : answers)
            User.QueueAnswer(answer);
        EXPECT_EQ(Host->Open(EditMenuIndex), nullptr);
    }

    void Undo()
    {
        User.ClearRecord();
        User.QueueAnswer(0);
        EXPECT_EQ(Host->Open(UndoMenuIndex), nullptr);
    }

    // Each name in the folder with the original whose content it holds.
    std::map<std::string, std::string> Holders() const
    {
        std::map<std::string, std::string> holders;
        for (const std::string& name : FolderNames()) {
            const std::string content = Content(name);
            holders[name] = content.starts_with("content of ") ? content.substr(11) : content;
        }
        return holders;
    }

    // The failure list's entries, without its heading; empty when none was shown.
    std::string FailureList() const
    {
        const std::string start = std::string(Bom) + Heading;
        for (const auto& editor : User.Editors())
            if (editor.Content.starts_with(start))
                return editor.Content.substr(start.size());
        return {};
    }
};

struct EditCase {
    const char* What;
    std::vector<const char*> Files;     // made and selected, in panel order
    std::vector<const char*> Outside;   // made, not selected
    std::vector<std::string> Texts;     // what the user saves, editor by editor
    std::vector<intptr_t> Answers;      // to the boxes, in order
    std::map<std::string, std::string> After; // name -> the original whose content it holds
    std::string Failures;               // the failure list's entries
    std::vector<std::u16string> Selected;
};

TEST_F(EditNames, EveryChangedLineIsARenameAndUndoTakesTheRunBack)
{
    const std::vector<EditCase> cases = {
        {"renames, an unchanged line, blanks trimmed", {"a.txt", "b.txt", "c.txt"}, {},
         {"x.txt\nb.txt\nz y.txt  \n"}, {0}, {{"x.txt", "a.txt"}, {"b.txt", "b.txt"}, {"z y.txt", "c.txt"}}, "", {}},
        {"a chain", {"a.txt", "b.txt"}, {}, {"b.txt\nc.txt\n"}, {0}, {{"b.txt", "a.txt"}, {"c.txt", "b.txt"}}, "", {}},
        {"a 2-cycle, no final line break", {"a.txt", "b.txt"}, {}, {"b.txt\r\na.txt"}, {0},
         {{"a.txt", "b.txt"}, {"b.txt", "a.txt"}}, "", {}},
        {"a 3-cycle beside a chain", {"a.txt", "b.txt", "c.txt", "d.txt"}, {}, {"b.txt\nc.txt\na.txt\ne.txt\n"}, {0},
         {{"a.txt", "c.txt"}, {"b.txt", "a.txt"}, {"c.txt", "b.txt"}, {"e.txt", "d.txt"}}, "", {}},
        {"a change of letter case", {"photo.JPG"}, {}, {"photo.jpg\n"}, {0}, {{"photo.jpg", "photo.JPG"}}, "", {}},
        {"a line count that differs, cancelled", {"a.txt", "b.txt"}, {}, {"x.txt\n"}, {1},
         {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}}, "", {u"a.txt", u"b.txt"}},
        {"a line count that differs, edited again", {"a.txt", "b.txt"}, {}, {"x.txt\n", "x.txt\ny.txt\n"}, {0, 0},
         {{"x.txt", "a.txt"}, {"y.txt", "b.txt"}}, "", {}},
        {"edited again from the box, then cancelled", {"a.txt", "b.txt"}, {}, {"x.txt\nb.txt\n", "a.txt\ny.txt\n"},
         {2, 3}, {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}}, "", {u"a.txt", u"b.txt"}},
        {"a target outside the run", {"a.txt", "b.txt"}, {"taken.txt"}, {"taken.txt\nc.txt\n"}, {0},
         {{"a.txt", "a.txt"}, {"c.txt", "b.txt"}, {"taken.txt", "taken.txt"}},
         "\"a.txt\" -> \"taken.txt\"  (the target exists)\r\n", {u"a.txt"}},
        {"two equal new names", {"a.txt", "b.txt", "c.txt"}, {}, {"x.txt\nx.txt\nd.txt\n"}, {0},
         {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}, {"d.txt", "c.txt"}},
         "\"a.txt\" -> \"x.txt\"  (another line gives the same name)\r\n"
         "\"b.txt\" -> \"x.txt\"  (another line gives the same name)\r\n",
         {u"a.txt", u"b.txt"}},
        {"names Windows cannot hold", {"a.txt", "b.txt", "c.txt"}, {}, {"con.txt\nb?.txt\nnone\\c.txt\n"}, {0},
         {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}, {"c.txt", "c.txt"}},
         "\"a.txt\" -> \"con.txt\"  (Windows cannot hold the name)\r\n"
         "\"b.txt\" -> \"b?.txt\"  (Windows cannot hold the name)\r\n"
         "\"c.txt\" -> \"none\\c.txt\"  (its folder does not exist)\r\n",
         {u"a.txt", u"b.txt", u"c.txt"}},
        {"a cycle with a failing member", {"a.txt", "b.txt", "c.txt"}, {}, {"b.txt\na.txt\na.txt\n"}, {0},
         {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}, {"c.txt", "c.txt"}},
         "\"a.txt\" -> \"b.txt\"  (part of a cycle that cannot be completed)\r\n"
         "\"b.txt\" -> \"a.txt\"  (another line gives the same name)\r\n"
         "\"c.txt\" -> \"a.txt\"  (another line gives the same name)\r\n",
         {u"a.txt", u"b.txt", u"c.txt"}},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.What);
        fs::remove_all(Files);
        fs::create_directories(Files);
        std::map<std::string, std::string> before;
        std::vector<std::u16string> selected;
        for (const char* name : c.Files) {
            Temp.Write(std::string("files/") + name, std::string("content of ") + name);
            before[name] = name;
            selected.emplace_back(std::string_view(name).begin(), std::string_view(name).end());
        }
        for (const char* name : c.Outside) {
            Temp.Write(std::string("files/") + name, std::string("content of ") + name);
            before[name] = name;
        }
        Host->ActivePanel().ShowFolder(Files);
        ASSERT_TRUE(Host->SelectByName(selected));

        Edit(c.Texts, c.Answers);

        EXPECT_EQ(Holders(), c.After);
        EXPECT_EQ(FailureList(), c.Failures);
        EXPECT_EQ(SelectedNames(), c.Selected);
        EXPECT_EQ(User.PendingEditorTexts(), 0u);
        EXPECT_EQ(User.PendingAnswers(), 0u);
        // "Edit again" opens the editor on the text as it was saved.
        for (size_t i = 1; i < c.Texts.size(); ++i)
            EXPECT_EQ(User.Editors()[i].Content, User.Editors()[i - 1].Saved.value_or("?"));

        Undo();
        EXPECT_EQ(Holders(), before);
    }
}

TEST_F(EditNames, TheEditorTheBoxesAndThePreviewAsTheUserSeesThem)
{
    ASSERT_EQ(Host->Menus().PluginMenu.size(), 3u);
    EXPECT_EQ(Host->Menus().PluginMenu[EditMenuIndex].Text, u"Zelvane 3: edit names in the editor");

    MakeFiles({"a.txt", "b.txt", "c.txt", "taken.txt"});
    ShowFolder({u"a.txt", u"b.txt", u"c.txt"});
    // Closed without saving: nothing happens.
    User.QueueEditorText("x.txt\ny.txt\nz.txt\n", false);
    EXPECT_EQ(Host->Open(EditMenuIndex), nullptr);
    ASSERT_EQ(User.Editors().size(), 1u);
    const auto& editor = User.Editors()[0];
    EXPECT_EQ(editor.Content, std::string(Bom) + "a.txt\r\nb.txt\r\nc.txt\r\n");
    EXPECT_EQ(editor.Window.Title, "Zelvane 3: edit the names, then save (F2) and close");
    EXPECT_EQ(editor.Window.Flags, Far3::EF_DISABLEHISTORY | Far3::EF_DISABLESAVEPOS);
    EXPECT_EQ(editor.Window.CodePage, 65001u);
    EXPECT_EQ(editor.Window.X2, -1);
    EXPECT_EQ(editor.Window.Y2, -1);
    EXPECT_FALSE(fs::exists(editor.Window.FileName));
    EXPECT_TRUE(User.Messages().empty());
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt", "c.txt", "taken.txt"}));

    // Saved: the box, the preview, the box again, and Cancel.
    User.ClearRecord();
    User.QueueEditorText("b.txt\na.txt\ntaken.txt\n");
    User.QueueAnswers({1, 3});
    EXPECT_EQ(Host->Open(EditMenuIndex), nullptr);
    ASSERT_EQ(User.Messages().size(), 2u);
    EXPECT_EQ(User.Messages()[0].Lines, (std::vector<std::string>{"Rename 3 of 3 files?"}));
    EXPECT_EQ(User.Messages()[0].Buttons,
              (std::vector<std::string>{"&Rename", "&Preview", "&Edit again", "&Cancel"}));
    ASSERT_EQ(User.Viewers().size(), 1u);
    EXPECT_EQ(User.Viewers()[0].Content, std::string(Bom) + "3 files: 2 renamed, 1 fail\r\n"
                                                            "\"a.txt\" -> \"b.txt\"\r\n"
                                                            "\"b.txt\" -> \"a.txt\"\r\n"
                                                            "\"c.txt\" -> \"taken.txt\"  (the target exists)\r\n");
    EXPECT_FALSE(fs::exists(User.Editors()[0].Window.FileName));
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt", "c.txt", "taken.txt"}));

    // A line count that differs.
    User.ClearRecord();
    User.QueueEditorText("x.txt\n");
    User.QueueAnswer(1);
    EXPECT_EQ(Host->Open(EditMenuIndex), nullptr);
    ASSERT_EQ(User.Messages().size(), 1u);
    EXPECT_EQ(User.Messages()[0].Lines,
              (std::vector<std::string>{"The names file has 1 lines for 3 files: nothing was renamed."}));
    EXPECT_EQ(User.Messages()[0].Buttons, (std::vector<std::string>{"&Edit again", "&Cancel"}));
}

// Esc stops an edit run as it stops a template run, but never inside a
// cycle: ten 3-cycles (four steps each, one through a temporary name), Esc
// seen at the 16th step, the last of the fourth cycle; that cycle is
// closed, and the run ends with twelve files renamed and no temporary name.
TEST_F(EditNames, EscStopsTheRunBetweenCyclesAndUndoTakesItBack)
{
    std::vector<std::u16string> names;
    std::string text;
    std::map<std::string, std::string> original;
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 30; ++i) {
        const std::string name = "f" + std::to_string(100 + i) + ".txt";
        const std::string target = "f" + std::to_string(100 + (i % 3 == 2 ? i - 2 : i + 1)) + ".txt";
        Temp.Write("files/" + name, "content of " + name);
        names.emplace_back(name.begin(), name.end());
        text += target + "\n";
        original[name] = name;
        expected[i < 12 ? target : name] = name;
    }
    Host->ActivePanel().ShowFolder(Files);
    ASSERT_TRUE(Host->SelectByName(names));
    User.QueueTypedKeys("<Esc>");
    Edit({text}, {0, 0});

    EXPECT_EQ(User.Messages().back().Lines, (std::vector<std::string>{"Stop renaming?"}));
    EXPECT_EQ(Holders(), expected);
    EXPECT_EQ(FailureList(), "");
    EXPECT_EQ(SelectedNames(), std::vector<std::u16string>(names.begin() + 12, names.end()));
    Undo();
    EXPECT_EQ(Holders(), original);
}

// Random permutations of the names of small folders, cycles of every length
// among them: every file ends under the name its line gave it, none is lost
// or replaced, and undo brings every name back.
TEST_F(EditNames, RandomPermutationsRenameExactlyAsAsked)
{
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 12; ++round) {
        const int count = 2 + static_cast<int>(random() % 12);
        SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(count) + " files");
        fs::remove_all(Files);
        fs::create_directories(Files);
        std::vector<std::string> names;
        std::vector<std::u16string> selected;
        for (int i = 0; i < count; ++i) {
            const std::string name = "f" + std::to_string(10 + i) + ".dat";
            names.push_back(name);
            selected.emplace_back(name.begin(), name.end());
            Temp.Write("files/" + name, "content of " + name);
        }
        std::vector<std::string> targets = names;
        std::shuffle(targets.begin(), targets.end(), random);
        std::string text;
        std::map<std::string, std::string> expected;
        for (int i = 0; i < count; ++i) {
            text += targets[static_cast<size_t>(i)] + "\n";
            expected[targets[static_cast<size_t>(i)]] = names[static_cast<size_t>(i)];
        }
        Host->ActivePanel().ShowFolder(Files);
        ASSERT_TRUE(Host->SelectByName(selected));
        Edit({text}, {0});
        EXPECT_EQ(Holders(), expected);
        EXPECT_EQ(FailureList(), "");
        Undo();
        std::map<std::string, std::string> original;
        for (const std::string& name : names)
            original[name] = name;
        EXPECT_EQ(Holders(), original);
        if (HasFailure())
            return;
    }
}

} // namespace
