// F1 in the plugin's dialogs: the built plugin in the stand-in host shows
// the dialog's topic from the help files beside it, and the dialog goes on
// as it was.
#include "PluginSession.h"

#include "host/text/HelpFile.h"
#include "host/text/HostText.h"
#include "host/app/PluginLibrary.h"
#include "host/dialogs/DialogPainter.h"

namespace {

using Host::DialogView;

// Everything the user can see or change of a dialog, one line per item.
std::vector<std::string> State(const DialogView& view)
{
    std::vector<std::string> state = Host::DialogText(view);
    state.push_back("focus " + std::to_string(view.Focus));
    for (const Host::DialogItemView& item : view.Items)
        state.push_back(Host::Utf16ToUtf8(item.Text) + " checked=" + std::to_string(item.Checked) +
                        " enabled=" + std::to_string(item.Enabled) + " unchanged=" +
                        std::to_string(item.Unchanged) + " cursor=" + std::to_string(item.Cursor) +
                        " flags=" + std::to_string(item.Flags));
    return state;
}

class Help : public E2E::PluginSession {
protected:
    void SetUp() override
    {
        PluginSession::SetUp();
        MakeFiles({"a.txt", "b.txt"});
        ShowFolder({u"a.txt", u"b.txt"});
    }

    // Types `keys`, notes the dialog, presses F1, notes it again, then `after`.
    void PressF1(std::string_view keys, std::string_view after)
    {
        User.QueueKeys(keys);
        User.QueueCheck([this](const DialogView& view) { Before = State(view); });
        User.QueueKeys("<F1>");
        User.QueueCheck([this](const DialogView& view) { After = State(view); });
        User.QueueKeys(after);
    }

    std::vector<std::string> Before, After;
};

TEST_F(Help, F1InEachDialogShowsItsTopicAndTheDialogGoesOnAsItWas)
{
    // The rename dialog, with input typed: F1, then OK renames with that input.
    PressF1("new%#<Tab>5<Shift+Tab>", "<Enter>");
    EXPECT_EQ(Host->Open(), nullptr);
    ASSERT_EQ(User.Helps().size(), 1u);
    EXPECT_EQ(User.Helps()[0].Topic, u"RenameDialog");
    EXPECT_EQ(User.Helps()[0].Language, u"English");
    ASSERT_FALSE(User.Helps()[0].Lines.empty());
    EXPECT_EQ(User.Helps()[0].Lines[0], u" Zelvane 3: rename dialog");
    EXPECT_FALSE(Before.empty());
    EXPECT_EQ(After, Before);
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"new5", "new6"}));
    EXPECT_TRUE(User.Messages().empty());

    // The options dialog, a box checked: F1, then Esc leaves the options alone.
    User.ClearRecord();
    PressF1("<Space>", "<Esc>");
    EXPECT_EQ(Host->Configure(), 0);
    ASSERT_EQ(User.Helps().size(), 1u);
    EXPECT_EQ(User.Helps()[0].Topic, u"OptionsDialog");
    EXPECT_EQ(User.Helps()[0].Lines[0], u" Zelvane 3: options");
    EXPECT_FALSE(Before.empty());
    EXPECT_EQ(After, Before);
    ASSERT_EQ(User.Dialogs().size(), 1u);
    EXPECT_EQ(User.Dialogs()[0].ExitCode, -1);
    EXPECT_NE(Stored("AllowRenameFileUnderCursor"), std::optional<std::string>("1"));
    EXPECT_TRUE(User.Messages().empty());
}

TEST_F(Help, TheHelpFileFollowsTheInterfaceLanguage)
{
    Host->Unload();
    Host.reset();
    Host::HostOptions options;
    options.Profile = Profile;
    options.Language = u"Russian";
    Host = std::make_unique<Host::StandInHost>(User, options);
    Host->Load();
    ShowFolder({u"a.txt"});
    Open("<F1><Esc>");
    ASSERT_EQ(User.Helps().size(), 1u);
    EXPECT_EQ(User.Helps()[0].Language, u"Russian");
    EXPECT_EQ(User.Helps()[0].Topic, u"RenameDialog");
}

// The help files as shipped: both have the same topics, each with its
// fixed title line, and every link leads to a topic of the same file.
TEST(ShippedHelp, EveryTopicIsThereAndEveryLinkLeadsSomewhere)
{
    const std::filesystem::path folder = Host::DefaultPluginPath().parent_path();
    for (const char* name : {"ZelvaneEng.hlf", "ZelvaneRus.hlf"}) {
        const std::optional<Host::HelpFile> help = Host::ParseHelpFile(HostTests::ReadAll(folder / name));
        ASSERT_TRUE(help) << name;
        EXPECT_EQ(help->ContentsTitle, u"Zelvane 3") << name;
        std::vector<std::u16string> topics;
        for (const Host::HelpTopic& topic : help->Topics) {
            topics.push_back(topic.Name);
            EXPECT_EQ(topic.Header.size(), 1u) << name;
            for (const Host::HelpLine& line : topic.Body)
                for (const Host::HelpSpan& span : line.Spans) {
                    if (span.Look == Host::HelpSpan::Kind::Link) {
                        EXPECT_NE(help->Find(span.Target), nullptr) << name << ": " << Host::Utf16ToUtf8(span.Target);
                    }
                }
        }
        EXPECT_EQ(topics, (std::vector<std::u16string>{u"Contents", u"RenameDialog", u"OptionsDialog"})) << name;
    }
}

} // namespace
