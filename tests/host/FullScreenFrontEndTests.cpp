// The full-screen front end with a console played by the test: what it
// puts on the screen and how it answers the host.
#include "far3/FarKeysW.h"
#include "host/app/HostError.h"
#include "host/frontends/FullScreenFrontEnd.h"
#include "host/services/EditorService.h"
#include "host/text/HostText.h"
#include "host/views/Palette.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>

using namespace Host;

namespace {

class FakeConsole : public Console {
public:
    ScreenSize Size() const override { return Current; }
    void Show(const ScreenBuffer& screen, std::optional<CursorSpot> cursor) override
    {
        Shown = screen.Text();
        Cursor = cursor;
        Screens.push_back(screen);
    }
    ConsoleEvent Read() override
    {
        if (Events.empty())
            return ConsoleEvent{ConsoleEvent::Kind::Closed, {}, 0, 0, {}, {}};
        ConsoleEvent event = Events.front();
        Events.pop_front();
        return event;
    }
    void Keys(const char* script)
    {
        for (const KeyPress& key : ParseKeyScript(script))
            Events.push_back(ConsoleEvent{ConsoleEvent::Kind::Key, key, 0, 0, {}, {}});
    }

    ScreenSize Current{80, 25};
    std::deque<ConsoleEvent> Events;
    std::vector<std::string> Shown;
    std::optional<CursorSpot> Cursor;
    std::vector<ScreenBuffer> Screens;
};

// The cell where `text` starts on the screen, when it is shown on one row.
std::optional<CursorSpot> FindOnScreen(const ScreenBuffer& screen, std::u16string_view text)
{
    for (int y = 0; y < screen.Height(); ++y) {
        std::u16string row;
        for (int x = 0; x < screen.Width(); ++x)
            row += screen.At(x, y).Text.empty() ? u"?" : screen.At(x, y).Text.substr(0, 1);
        const size_t at = row.find(text);
        if (at != std::u16string::npos)
            return CursorSpot{static_cast<int>(at), y};
    }
    return std::nullopt;
}

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

    // A box without buttons is drawn and stays until the panels are drawn
    // anew; it is centred in the rows above the last (rows 9 to 13).
    EXPECT_EQ(screen.ShowMessage(MessageBox{0, "Wait", {"Renaming files"}, {}}), -1);
    EXPECT_NE(console.Shown[11].find("Renaming files"), std::string::npos);
    screen.Refresh();
    EXPECT_NE(console.Shown[11].find("Renaming files"), std::string::npos);
    screen.ForgetLooseBoxes();
    screen.Refresh();
    EXPECT_EQ(console.Shown[11].find("Renaming files"), std::string::npos);
}

TEST(FullScreenFrontEnd, HotkeysAreMarkedByColourAloneAsFarMarksThem)
{
    struct Case {
        const char* What;
        std::function<void(FullScreenFrontEnd&)> Show;
        std::u16string_view Label; // its first character is the hotkey
    };
    const MessageBox question{0, "Delete", {"Delete the file?"}, {"&Delete", "&Cancel"}};
    const MessageBox warning{Far3::FMSG_WARNING, "Error", {"Cannot delete"}, {"&Retry", "&Skip"}};
    const auto ask = [](const MessageBox& box) { return [box](FullScreenFrontEnd& screen) { screen.ShowMessage(box); }; };
    const auto menu = [](FullScreenFrontEnd& screen) {
        MenuBox plugins;
        plugins.Title = u"Plugin commands";
        plugins.Items = {u"Zelvane 3"};
        screen.RunMenu(plugins);
    };
    for (const Case& c : {Case{"focused button", ask(question), u"Delete }"},
                          Case{"other button", ask(question), u"Cancel ]"},
                          Case{"warning box", ask(warning), u"Skip ]"},
                          Case{"menu line", menu, u"Zelvane 3"}}) {
        FakeConsole console;
        FullScreenFrontEnd screen(console);
        console.Keys("<Esc>");
        c.Show(screen);
        ASSERT_FALSE(console.Screens.empty()) << c.What;
        const ScreenBuffer& shown = console.Screens.front();
        const std::optional<CursorSpot> at = FindOnScreen(shown, c.Label);
        ASSERT_TRUE(at.has_value()) << c.What;
        EXPECT_FALSE(SameColor(shown.At(at->X, at->Y).Color, shown.At(at->X + 1, at->Y).Color)) << c.What;
        for (const ScreenBuffer& each : console.Screens)
            for (int y = 0; y < each.Height(); ++y)
                for (int x = 0; x < each.Width(); ++x)
                    EXPECT_FALSE(each.At(x, y).Underline) << c.What << " at " << x << "," << y;
    }
}

// The text cursor sits in the focused edit line at its cursor, inside the
// brackets of a focused check box or radio button, and nowhere on a button.
TEST(FullScreenFrontEnd, TheCursorIsWhereFarPutsIt)
{
    struct Case {
        Far3::FARDIALOGITEMTYPES Type;
        std::optional<int> X;
    };
    for (const Case& c : {Case{Far3::DI_EDIT, 13}, Case{Far3::DI_CHECKBOX, 11}, Case{Far3::DI_RADIOBUTTON, 11},
                          Case{Far3::DI_BUTTON, std::nullopt}}) {
        FakeConsole console;
        FullScreenFrontEnd screen(console);
        DialogView dialog;
        dialog.Left = 5;
        dialog.Top = 5;
        dialog.Width = 20;
        dialog.Height = 5;
        dialog.Focus = 0;
        DialogItemView item;
        item.Type = c.Type;
        item.Left = 10;
        item.Right = 18;
        item.Top = item.Bottom = 7;
        item.Text = item.Shown = u"abc";
        item.Cursor = 3;
        item.Focused = true;
        dialog.Items.push_back(item);
        console.Keys("<Esc>");
        screen.ReadDialogInput(dialog);
        ASSERT_EQ(console.Cursor.has_value(), c.X.has_value()) << c.Type;
        if (c.X) {
            EXPECT_EQ(console.Cursor->X, *c.X) << c.Type;
            EXPECT_EQ(console.Cursor->Y, 7) << c.Type;
        }
    }
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

// The terminal names only the button that changed; the dialog gets Far's
// record with every button still held, and positions past a 16-bit
// coordinate at its largest value.
TEST(FullScreenFrontEnd, MouseReportsReachTheDialogAsFarsRecords)
{
    using Action = MouseReport::Action;
    using Button = MouseReport::Button;
    struct Case {
        MouseReport Report;
        Far3::MOUSE_EVENT_RECORD Record;
    };
    const Case cases[] = {
        {{Action::Press, Button::Left, 5, 6, Far3::ControlKey::Shift}, {{5, 6}, 1, Far3::ControlKey::Shift, 0}},
        {{Action::Move, Button::Left, 7, 6, 0}, {{7, 6}, 1, 0, Far3::MouseFlag::Moved}},
        {{Action::Press, Button::Right, 7, 6, 0}, {{7, 6}, 3, 0, 0}},
        {{Action::Release, Button::Right, 7, 6, 0}, {{7, 6}, 1, 0, 0}},
        {{Action::Release, Button::Left, 40000, 6, 0}, {{32767, 6}, 0, 0, 0}},
    };
    FakeConsole console;
    FullScreenFrontEnd screen(console);
    DialogView dialog;
    screen.DialogOpened(dialog);
    for (const Case& c : cases)
        console.Events.push_back(ConsoleEvent{ConsoleEvent::Kind::Mouse, {}, c.Report.X, c.Report.Y, {}, c.Report});
    for (const Case& c : cases) {
        const DialogInput input = screen.ReadDialogInput(dialog);
        ASSERT_EQ(input.What, DialogInput::Kind::Mouse);
        EXPECT_EQ(input.Mouse.dwMousePosition.X, c.Record.dwMousePosition.X);
        EXPECT_EQ(input.Mouse.dwMousePosition.Y, c.Record.dwMousePosition.Y);
        EXPECT_EQ(input.Mouse.dwButtonState, c.Record.dwButtonState);
        EXPECT_EQ(input.Mouse.dwControlKeyState, c.Record.dwControlKeyState);
        EXPECT_EQ(input.Mouse.dwEventFlags, c.Record.dwEventFlags);
    }
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

// With an external editor set, the modal editor hands the terminal to it
// on the file (its name reaches the program whatever characters it holds)
// and reports a save when the file's bytes changed.
TEST(FullScreenFrontEnd, AnExternalEditorEditsTheFile)
{
#if defined(_WIN32)
    GTEST_SKIP() << "no shell to run an external editor in";
#else
    HostTests::TempFolder folder;
    const std::filesystem::path script = folder.Write("edit.sh", "#!/bin/sh\nsed -i 's/old/new/' \"$1\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    struct Case {
        const char* Name;
        std::string Command;
        const char* File;
        intptr_t Answer;
        const char* After;
        bool Warned;
    };
    const Case cases[] = {
        {"a script changes the file", script.string(), "names.txt", Far3::EEC_MODIFIED, "new\n", false},
        {"a name the shell must not read", "sed -i s/old/new/", "it's $(false) `x` a;b.txt", Far3::EEC_MODIFIED,
         "new\n", false},
        {"looked at only", "true", "names.txt", Far3::EEC_NOT_MODIFIED, "old\n", false},
        {"the same bytes written again", "sed -i s/old/old/", "names.txt", Far3::EEC_NOT_MODIFIED, "old\n", false},
        {"a program that is not there", "zelvane-no-such-editor", "names.txt", Far3::EEC_NOT_MODIFIED, "old\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeConsole console;
        FullScreenFrontEnd screen(console);
        screen.SetExternalEditor(c.Command);
        MessageService messages(screen);
        EditorService editors(screen, messages);
        const std::filesystem::path file = folder.Write(c.File, "old\n");
        EditorWindow request;
        request.FileName = file;
        request.CodePage = Far3::CodePage::Utf8;
        request.Flags = Far3::EF_DISABLEHISTORY | Far3::EF_DISABLESAVEPOS;
        EXPECT_EQ(editors.Open(request, folder.Path()), c.Answer);
        EXPECT_EQ(ReadWholeFile(file).value_or("(none)"), c.After);
        const bool warned = std::any_of(console.Screens.begin(), console.Screens.end(), [](const ScreenBuffer& shown) {
            return FindOnScreen(shown, u"Cannot run the editor").has_value();
        });
        EXPECT_EQ(warned, c.Warned);
    }
#endif
}

} // namespace

