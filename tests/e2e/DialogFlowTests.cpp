// The rename and options dialogs as the user meets them: the built plugin in
// the stand-in host, keys typed into its dialogs, the dialogs read as shown.
#include "PluginSession.h"

#include "host/text/HostText.h"
#include "host/dialogs/DialogPainter.h"

namespace {

using Host::DialogView;

// Positions of the rename dialog's items.
enum : size_t { Frame, TemplateLabel, TemplateEdit, NumberLabel, NumberEdit, PatternSeparator, RememberBox,
                ButtonSeparator, OkButton, CancelButton, ForgetButton };
// ... and of the options dialog's.
enum : size_t { AllowRenameBox = 1, RememberByDefaultBox = 2, OptionsOk = 4 };

class DialogFlow : public E2E::PluginSession {
protected:
    void SetUp() override
    {
        PluginSession::SetUp();
        MakeFiles({"a.txt", "b.txt"});
        ShowFolder({u"a.txt", u"b.txt"});
    }

    // Opens the rename dialog, types `keys` and keeps the dialog as shown then.
    DialogView Seen(std::string_view keys)
    {
        DialogView seen;
        User.QueueKeys(keys);
        User.QueueCheck([&](const DialogView& view) { seen = view; });
        Open("<Esc>");
        return seen;
    }
};

TEST_F(DialogFlow, TheRenameDialogShowsTheStoredOptionsAsFarWould)
{
    Store("FileNameTemplate", "pic%#.%e");
    Store("StartingNumber", "007");
    const DialogView view = Seen("");
    EXPECT_EQ(view.Left, 2);
    EXPECT_EQ(view.Top, 7);
    EXPECT_EQ(view.Width, 76);
    EXPECT_EQ(view.Height, 11);
    EXPECT_EQ(view.Focus, TemplateEdit);
    EXPECT_TRUE(view.Item(TemplateEdit).Unchanged);
    EXPECT_EQ(view.Item(TemplateEdit).History, u"FileNamePattern");
    EXPECT_TRUE(view.Item(OkButton).Enabled);
    EXPECT_FALSE(view.Item(ForgetButton).Enabled);
    EXPECT_EQ(view.Item(RememberBox).Checked, 0);
    const std::vector<std::string> expected{
        "                                                                            ",
        "   ╔════════════════════════════ Zelvane 3 ═════════════════════════════╗   ",
        "   ║ Name template (%# counter, %H/%h hex, %N name, %E ext., %T total): ║   ",
        "   ║ pic%#.%e                                                          ↓║   ",
        "   ║ 007        Starting number                                         ║   ",
        "   ╟────────────────────────────────────────────────────────────────────╢   ",
        "   ║ [ ] Remember the counter for this template                         ║   ",
        "   ╟────────────────────────────────────────────────────────────────────╢   ",
        "   ║               { OK } [ Cancel ] [ Forget template ]                ║   ",
        "   ╚════════════════════════════════════════════════════════════════════╝   ",
        "                                                                            ",
    };
    EXPECT_EQ(Host::DialogText(view), expected);
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt"}));
}

TEST_F(DialogFlow, OkIsEnabledOnlyForATemplateAndANumberFromZeroUp)
{
    struct Case {
        const char* Keys;
        bool Enabled;
    };
    const Case cases[] = {
        {"<Tab>abc", false}, {"<Tab>-1", false}, {"<Tab>5 ", false}, {"<Tab><Del>", false},
        {"<Tab>2147483648", false}, {"<Tab>21474836490", false}, {"<Del>", false},
        {"<Tab>0", true}, {"<Tab>007", true}, {"<Tab> 5", true}, {"<Tab>+5", true}, {"<Tab>$1F", true},
        {"<Tab>x1F", true}, {"<Tab>0x10", true}, {"<Tab>0x", true}, {"<Tab>2147483647", true},
        {"<Del>x", true}, {"<Del> ", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Seen(c.Keys).Item(OkButton).Enabled, c.Enabled) << c.Keys;
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt"}));
}

TEST_F(DialogFlow, ARememberedTemplateBringsItsCounterAndCanBeForgotten)
{
    Store("SavedPatterns", "tpl%#\t15\nother\t\n");
    // Typing the template shows its counter, unchanged, with the box checked.
    DialogView view = Seen("tpl%#");
    EXPECT_EQ(view.Item(NumberEdit).Text, u"15");
    EXPECT_TRUE(view.Item(NumberEdit).Unchanged);
    EXPECT_EQ(view.Item(RememberBox).Checked, 1);
    EXPECT_TRUE(view.Item(ForgetButton).Enabled);
    // Typing on leaves it: the box goes back, the number stays.
    view = Seen("tpl%#x");
    EXPECT_EQ(view.Item(NumberEdit).Text, u"15");
    EXPECT_EQ(view.Item(RememberBox).Checked, 0);
    EXPECT_FALSE(view.Item(ForgetButton).Enabled);
    // An entry without a number counts as none.
    view = Seen("other");
    EXPECT_EQ(view.Item(NumberEdit).Text, u"0");
    EXPECT_FALSE(view.Item(ForgetButton).Enabled);

    // Forget: the entry goes, the focus moves to the number, the dialog stays.
    view = Seen("tpl%#<Alt+F>");
    EXPECT_EQ(view.Focus, NumberEdit);
    EXPECT_EQ(view.Item(NumberEdit).Text, u"15");
    EXPECT_EQ(view.Item(RememberBox).Checked, 0);
    EXPECT_FALSE(view.Item(ForgetButton).Enabled);
    EXPECT_EQ(Stored("SavedPatterns"), "tpl%#\t15\nother\t\n"); // cancelled: nothing saved

    // Forgotten and confirmed: renamed from 15 without remembering the counter.
    Open("tpl%#<Alt+F><Enter>");
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"tpl15", "tpl16"}));
    EXPECT_EQ(Stored("SavedPatterns"), "other\t\n");
    EXPECT_EQ(Stored("FileNameTemplate"), "tpl%#");
    EXPECT_EQ(Stored("StartingNumber"), "15");
}

// Unusable input cannot be confirmed by any key: the keys that close with
// OK leave the dialog open, and the Esc after them renames and saves nothing.
TEST_F(DialogFlow, NoKeyConfirmsUnusableInput)
{
    for (const char* keys : {"<Ctrl+Y><Ctrl+Enter><Esc>", "<Ctrl+Y><Enter><Esc>", "<Tab>-1<Ctrl+Enter><Esc>",
                             "<Tab>abc<Tab><Tab><Ctrl+Enter><Esc>"}) {
        Open(keys);
        EXPECT_EQ(FolderNames(), (std::set<std::string>{"a.txt", "b.txt"})) << keys;
        EXPECT_EQ(Stored("FileNameTemplate"), std::nullopt) << keys;
        EXPECT_EQ(Stored("StartingNumber"), std::nullopt) << keys;
        EXPECT_FALSE(User.RanOutOfInput()) << keys;
    }
}

TEST_F(DialogFlow, OkWithoutAChangeWritesNothing)
{
    EXPECT_EQ(Configure("<Enter>"), 1);
    Open("<Enter>");
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"file0.txt", "file1.txt"}));
    for (const char* name : {"FileNameTemplate", "StartingNumber", "AllowRenameFileUnderCursor",
                             "SavePatternSettings", "SavedPatterns"})
        EXPECT_EQ(Stored(name), std::nullopt) << name;
}

TEST_F(DialogFlow, TheRememberChoiceAppliesToThisRunOnly)
{
    StoreNumber("SavePatternSettings", 0);
    Open("<Tab><Tab><Space><Enter>");
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"file0.txt", "file1.txt"}));
    EXPECT_EQ(Stored("SavedPatterns"), "file%#.%e\t2\n");
    EXPECT_EQ(Stored("StartingNumber"), "2");
    EXPECT_EQ(Stored("SavePatternSettings"), "0");
}

TEST_F(DialogFlow, TemplatesGoIntoTheEditHistory)
{
    Open("one%#.%e<Enter>");
    ASSERT_EQ(FolderNames(), (std::set<std::string>{"one0.txt", "one1.txt"}));
    E2E::fs::remove(Files / "one0.txt");
    E2E::fs::remove(Files / "one1.txt");
    // The next time the list offers it; picking it replaces the template.
    MakeFiles({"c.txt"});
    ShowFolder({u"c.txt"});
    User.QueueKeys("two<Ctrl+Down>");
    User.QueueListChoice(0);
    Open("<Enter>");
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"one0.txt"}));
    ASSERT_FALSE(User.Dialogs().empty());
    ASSERT_EQ(User.Dialogs().back().Lists.size(), 1u);
    EXPECT_EQ(User.Dialogs().back().Lists[0].front(), "one%#.%e");
}

TEST_F(DialogFlow, AConsoleResizeLaysTheDialogOutAgain)
{
    DialogView seen;
    User.QueueResize(Host::ScreenSize{120, 40});
    User.QueueCheck([&](const DialogView& view) { seen = view; });
    Open("<Esc>");
    EXPECT_EQ(seen.Width, 116);
    EXPECT_EQ(seen.Height, 11);
    EXPECT_EQ(seen.Left, 2);
    EXPECT_EQ(seen.Top, 14);
    // Stacked from the top again, stretched to the new width.
    EXPECT_EQ(seen.Item(TemplateLabel).Top, 14 + 2);
    EXPECT_EQ(seen.Item(TemplateEdit).Top, 14 + 3);
    EXPECT_EQ(seen.Item(TemplateEdit).Right, 2 + 110);
    EXPECT_EQ(seen.Item(RememberBox).Top, 14 + 6);
    EXPECT_EQ(seen.Item(Frame).Right, 2 + 112);
}

TEST_F(DialogFlow, TheOptionsDialogEditsTheTwoSwitches)
{
    DialogView seen;
    User.QueueCheck([&](const DialogView& view) { seen = view; });
    EXPECT_EQ(Configure("<Space><Enter>"), 1);
    EXPECT_EQ(Stored("AllowRenameFileUnderCursor"), "1");
    EXPECT_EQ(Stored("SavePatternSettings"), "0");
    EXPECT_EQ(seen.Height, 8);
    EXPECT_EQ(seen.Width, 76);
    const std::vector<std::string> expected{
        "                                                                            ",
        "   ╔════════════════════════════ Zelvane 3 ═════════════════════════════╗   ",
        "   ║ [ ] Rename the file under the cursor when nothing is selected      ║   ",
        "   ║ [ ] Remember the counter for the template by default               ║   ",
        "   ╟────────────────────────────────────────────────────────────────────╢   ",
        "   ║                         { OK } [ Cancel ]                          ║   ",
        "   ╚════════════════════════════════════════════════════════════════════╝   ",
        "                                                                            ",
    };
    EXPECT_EQ(Host::DialogText(seen), expected);

    // Cancel and Esc change nothing; the dialog shows what is stored.
    for (const char* keys : {"<Tab><Space><Esc>", "<Tab><Space><Alt+C>"}) {
        EXPECT_EQ(Configure(keys), 0) << keys;
        EXPECT_EQ(Stored("SavePatternSettings"), "0") << keys;
    }
    User.QueueCheck([&](const DialogView& view) { seen = view; });
    Configure("<Esc>");
    EXPECT_EQ(seen.Item(AllowRenameBox).Checked, 1);
    EXPECT_EQ(seen.Item(RememberByDefaultBox).Checked, 0);

    // The remember switch sets the rename dialog's box at the next start.
    EXPECT_EQ(Configure("<Alt+D><Enter>"), 1);
    EXPECT_EQ(Seen("").Item(RememberBox).Checked, 1);
}

TEST_F(DialogFlow, TheDialogsItemsSitWhereFarPutsThemAt80x25And120x40)
{
    struct Rect {
        int Left, Top, Right, Bottom;
    };
    struct Case {
        Host::ScreenSize Screen;
        bool Options;
        Rect Dialog; // left, top, width, height
        std::vector<Rect> Items;
    };
    const Case cases[] = {
        {{80, 25}, false, {2, 7, 76, 11},
         {{5, 8, 74, 16}, {7, 9, 72, 9}, {7, 10, 72, 10}, {18, 11, 72, 11}, {7, 11, 16, 11}, {5, 12, 74, 12},
          {7, 13, 48, 13}, {5, 14, 74, 14}, {21, 15, 26, 15}, {28, 15, 37, 15}, {39, 15, 57, 15}}},
        {{120, 40}, false, {2, 14, 116, 11},
         {{5, 15, 114, 23}, {7, 16, 112, 16}, {7, 17, 112, 17}, {18, 18, 112, 18}, {7, 18, 16, 18},
          {5, 19, 114, 19}, {7, 20, 48, 20}, {5, 21, 114, 21}, {41, 22, 46, 22}, {48, 22, 57, 22},
          {59, 22, 77, 22}}},
        {{80, 25}, true, {2, 8, 76, 8},
         {{5, 9, 74, 14}, {7, 10, 67, 10}, {7, 11, 58, 11}, {5, 12, 74, 12}, {31, 13, 36, 13}, {38, 13, 47, 13}}},
        {{120, 40}, true, {2, 16, 116, 8},
         {{5, 17, 114, 22}, {7, 18, 67, 18}, {7, 19, 58, 19}, {5, 20, 114, 20}, {51, 21, 56, 21},
          {58, 21, 67, 21}}},
    };
    for (const Case& c : cases) {
        User.SetScreen(c.Screen);
        DialogView view;
        if (c.Options) {
            User.QueueCheck([&](const DialogView& shown) { view = shown; });
            Configure("<Esc>");
        } else {
            view = Seen("");
        }
        const std::string name = std::string(c.Options ? "options " : "rename ") + std::to_string(c.Screen.Width);
        EXPECT_EQ(view.Left, c.Dialog.Left) << name;
        EXPECT_EQ(view.Top, c.Dialog.Top) << name;
        EXPECT_EQ(view.Width, c.Dialog.Right) << name;
        EXPECT_EQ(view.Height, c.Dialog.Bottom) << name;
        ASSERT_EQ(view.Items.size(), c.Items.size()) << name;
        for (size_t i = 0; i < c.Items.size(); ++i) {
            const Host::DialogItemView& item = view.Item(i);
            EXPECT_EQ((std::vector<int>{item.Left, item.Top, item.Right, item.Bottom}),
                      (std::vector<int>{c.Items[i].Left, c.Items[i].Top, c.Items[i].Right, c.Items[i].Bottom}))
                << name << ", item " << i;
        }
    }
}

} // namespace
