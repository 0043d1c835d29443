// The mouse in a running dialog: presses, holds and drags.
#include "DialogHarness.h"

#include <gtest/gtest.h>

using namespace Host;
using namespace HostDialogTesting;

namespace {

TEST(DialogRun, TheMouseDoesWhatFarsDoes)
{
    enum Answers { None, EatMouse, RefuseDrag, EatEnter };
    struct Case {
        const char* What;
        std::vector<std::string> Script;
        Answers Answer;
        intptr_t ExitCode;
        std::vector<std::string> Events;
        const char16_t* Text = u"abc";
        intptr_t Checked = 0;
        int Left = 20, Top = 8;
    };
    const std::string long40 = "0123456789012345678901234567890123456789";
    const Case cases[] = {
        {"a button: focus, then the Enter path", {"L 22 5"}, None, Cancel,
         {"mouse 5", "focus 5", "key 5 <enter>", "click 5", "close 5"}},
        {"a button let go elsewhere is not pressed", {"P 22 5", "U 30 7", "keys <Esc>"}, None, -1,
         {"mouse 5", "focus 5", "key 5 <esc>", "close -1"}},
        {"Enter taken away: no press", {"L 22 5", "keys <Esc>"}, EatEnter, -1,
         {"mouse 5", "focus 5", "key 5 <enter>", "key 5 <esc>", "close -1"}},
        {"the procedure takes the press", {"L 22 5", "keys <Esc>"}, EatMouse, -1,
         {"mouse 5", "key 2 <esc>", "close -1"}},
        {"a check box: focus, then the Space path", {"L 6 4", "keys <Esc>"}, None, -1,
         {"mouse 3", "focus 3", "key 3  ", "click 3", "key 3 <esc>", "close -1"}, u"abc", 1},
        // The focused edit gets its focus again (kill and got focus), as every
        // focus change in Far does.
        {"an edit: the cursor at the cell, no longer unchanged", {"L 6 3", "keys x<Enter>"}, None, Ok,
         {"mouse 2", "focus 2", "key 2 x", "key 2 <enter>", "close 4"}, u"axbc"},
        {"past the end of the text: the cursor at the end", {"L 25 3", "keys x<Enter>"}, None, Ok,
         {"mouse 2", "focus 2", "key 2 x", "key 2 <enter>", "close 4"}, u"abcx"},
        {"a scrolled edit: the cell counts from the first character shown",
         {"keys " + long40, "L 5 3", "keys x<Enter>"}, None, Ok, {},
         u"012345678901x2345678901234567890123456789"},
        {"the history arrow of an edit without the focus", {"keys <Tab>", "P 34 3", "list 0", "U 34 3", "keys <Enter>"},
         None, Ok, {"key 2 <tab>", "focus 3", "mouse 2", "focus 2", "list 2", "key 2 <enter>", "close 4"}, u"old"},
        {"left outside: Esc", {"L -3 0"}, None, -1, {"mouse -1", "key 2 <esc>", "close -1"}},
        {"right outside: Enter", {"R 50 2"}, None, Ok, {"mouse -1", "key 2 <enter>", "close 4"}},
        {"right on a button: nothing more", {"R 22 5", "keys <Esc>"}, None, -1,
         {"mouse 5", "key 2 <esc>", "close -1"}},
        {"the frame drags the dialog", {"P 3 1", "M 8 2", "M 13 4", "U 13 4", "keys <Esc>"}, None, -1,
         {"mouse 0", "drag 0", "drag 1", "key 2 <esc>", "close -1"}, u"abc", 0, 30, 11},
        {"a label drags it too, and it stays on the screen", {"P 6 2", "M 100 100", "U 100 100", "keys <Esc>"},
         None, -1, {"mouse 1", "drag 0", "drag 1", "key 2 <esc>", "close -1"}, u"abc", 0, 40, 17},
        {"a refused drag", {"P 20 1", "M 13 4", "U 13 4", "keys <Esc>"}, RefuseDrag, -1,
         {"mouse 0", "drag 0", "key 2 <esc>", "close -1"}},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.History.Add(u"TestHistory", u"old");
        dialog.Init(StandardItems());
        for (const std::string& step : c.Script) {
            if (step.starts_with("keys ")) {
                dialog.User.QueueKeys(step.substr(5));
                continue;
            }
            if (step.starts_with("list ")) {
                dialog.User.QueueListChoice(std::stoi(step.substr(5)));
                continue;
            }
            int x = 0, y = 0;
            ASSERT_EQ(std::sscanf(step.c_str() + 2, "%d %d", &x, &y), 2) << step;
            const Far3::COORD at{static_cast<int16_t>(20 + x), static_cast<int16_t>(8 + y)};
            switch (step[0]) {
            case 'L': dialog.User.QueueClick(at.X, at.Y, Far3::MouseButton::Left); break;
            case 'R': dialog.User.QueueClick(at.X, at.Y, Far3::MouseButton::Right); break;
            case 'P': dialog.User.QueueMouse({at, Far3::MouseButton::Left, 0, 0}); break;
            case 'M': dialog.User.QueueMouse({at, Far3::MouseButton::Left, 0, Far3::MouseFlag::Moved}); break;
            default: dialog.User.QueueMouse({at, 0, 0, 0}); break;
            }
        }
        std::vector<std::string> seen;
        dialog.Answer = [&](intptr_t msg, intptr_t param1, void* param2) -> std::optional<intptr_t> {
            const std::string item = std::to_string(param1);
            if (msg == Far3::DN_CONTROLINPUT) {
                const Far3::INPUT_RECORD& record = *static_cast<Far3::INPUT_RECORD*>(param2);
                if (record.EventType == Far3::InputEvent::Mouse) {
                    seen.push_back("mouse " + item);
                    if (c.Answer == EatMouse)
                        return 1;
                } else {
                    const Far3::KEY_EVENT_RECORD& key = record.Event.KeyEvent;
                    seen.push_back("key " + item + " " +
                                   KeyName(KeyPress{key.wVirtualKeyCode, key.UnicodeChar, key.dwControlKeyState}));
                    if (c.Answer == EatEnter && key.wVirtualKeyCode == Far3::VirtualKey::Return)
                        return 1;
                }
            } else if (msg == Far3::DN_GOTFOCUS && !seen.empty()) {
                seen.push_back("focus " + item);
            } else if (msg == Far3::DN_BTNCLICK) {
                seen.push_back("click " + item);
            } else if (msg == Far3::DN_CLOSE) {
                seen.push_back("close " + item);
            } else if (msg == Far3::DN_DRAGGED) {
                seen.push_back("drag " + item);
                if (c.Answer == RefuseDrag)
                    return 0;
            } else if (msg == Far3::DN_DROPDOWNOPENED && param2) {
                seen.push_back("list " + item);
            }
            return std::nullopt;
        };
        EXPECT_EQ(dialog.Run(), c.ExitCode) << c.What;
        if (!c.Events.empty()) {
            EXPECT_EQ(seen, c.Events) << c.What;
        }
        EXPECT_EQ(dialog.Closed().Item(Edit).Text, c.Text) << c.What;
        EXPECT_EQ(dialog.Closed().Item(Check).Checked, c.Checked) << c.What;
        EXPECT_EQ(dialog.Closed().Left, c.Left) << c.What;
        EXPECT_EQ(dialog.Closed().Top, c.Top) << c.What;
        EXPECT_FALSE(dialog.User.RanOutOfInput()) << c.What;
    }
}

} // namespace
