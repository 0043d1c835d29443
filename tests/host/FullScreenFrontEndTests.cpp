// The full-screen front end with a console played by the test: what it
// puts on the screen and how it answers the host.
#include "host/HostError.h"
#include "host/terminal/FullScreenFrontEnd.h"
#include "host/terminal/Palette.h"

#include <gtest/gtest.h>

#include <deque>

using namespace Host;

namespace {

class FakeConsole : public Console {
public:
    ScreenSize Size() const override { return Current; }
    void Show(const ScreenBuffer& screen, std::optional<CursorSpot> cursor) override
    {
        Shown = screen.Text();
        Cursor = cursor;
    }
    ConsoleEvent Read() override
    {
        if (Events.empty())
            return ConsoleEvent{ConsoleEvent::Kind::Closed, {}, 0, 0, {}};
        ConsoleEvent event = Events.front();
        Events.pop_front();
        return event;
    }
    void Keys(const char* script)
    {
        for (const KeyPress& key : ParseKeyScript(script))
            Events.push_back(ConsoleEvent{ConsoleEvent::Kind::Key, key, 0, 0, {}});
    }

    ScreenSize Current{80, 25};
    std::deque<ConsoleEvent> Events;
    std::vector<std::string> Shown;
    std::optional<CursorSpot> Cursor;
};

TEST(FullScreenFrontEnd, MessageBoxesAreAnsweredOverTheBackground)
{
    FakeConsole console;
    FullScreenFrontEnd screen(console);
    screen.SetBackground([](ScreenBuffer& buffer) { buffer.Write(0, 0, u"panels", Palette::PanelText()); });
    console.Keys("<Tab><Enter>");
    EXPECT_EQ(screen.ShowMessage(MessageBox{0, "Delete", {"Delete the file?"}, {"&Delete", "&Cancel"}}), 1);
    ASSERT_EQ(console.Shown.size(), 25u);
    EXPECT_EQ(console.Shown[0].substr(0, 6), "panels");
    EXPECT_NE(console.Shown[13].find("{ Delete } [ Cancel ]"), std::string::npos);

    // A box without buttons is drawn and stays until the panels are drawn anew.
    EXPECT_EQ(screen.ShowMessage(MessageBox{0, "Wait", {"Renaming files"}, {}}), -1);
    EXPECT_NE(console.Shown[12].find("Renaming files"), std::string::npos);
    screen.Refresh();
    EXPECT_NE(console.Shown[12].find("Renaming files"), std::string::npos);
    screen.ForgetLooseBoxes();
    screen.Refresh();
    EXPECT_EQ(console.Shown[12].find("Renaming files"), std::string::npos);
}

TEST(FullScreenFrontEnd, NonModalEditorsWaitForThePluginToReturn)
{
    FakeConsole console;
    FullScreenFrontEnd screen(console);
    EditorWindow later;
    later.Id = 3;
    later.Flags = Far3::EF_NONMODAL | Far3::EF_IMMEDIATERETURN;
    screen.OpenEditor(later);
    later.Id = 4;
    screen.OpenEditor(later);
    screen.CloseEditor(4);
    EXPECT_TRUE(console.Shown.empty());
    const std::vector<EditorWindow> waiting = screen.TakeWaitingEditors();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].Id, 3);
    EXPECT_TRUE(screen.TakeWaitingEditors().empty());

    // A modal editor is shown at once, until closed.
    EditorWindow modal;
    modal.Title = "Modal";
    console.Keys("<Esc>");
    screen.OpenEditor(modal);
    EXPECT_EQ(console.Shown[0].substr(0, 5), "Modal");
    EXPECT_TRUE(console.Events.empty());
}

TEST(FullScreenFrontEnd, AVanishedTerminalClosesDialogsAndThenRefusesThem)
{
    FakeConsole console;
    FullScreenFrontEnd screen(console);
    DialogView dialog;
    dialog.Width = 10;
    dialog.Height = 3;
    screen.DialogOpened(dialog);
    EXPECT_EQ(screen.ReadDialogInput(dialog).Key, ParseKeyScript("<Esc>").front());
    EXPECT_TRUE(screen.ConsoleClosed());
    // A dialog that will not close cannot wait for keys that never come.
    EXPECT_THROW(screen.ReadDialogInput(dialog), HostError);
    screen.DialogClosed(dialog, -1);
    MenuBox menu;
    menu.Items = {u"Zelvane 3"};
    EXPECT_EQ(screen.RunMenu(menu), -1);
}

} // namespace
