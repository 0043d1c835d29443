// Key dispatch in a running dialog: closing keys, hotkeys, the default
// button, keys outside an edit, the procedure's answers, keys DM_KEY
// hands in and keys while the dialog is hidden.
#include "DialogHarness.h"

#include <gtest/gtest.h>

using namespace Host;
using namespace HostDialogTesting;

namespace {

TEST(DialogRun, KeysCloseTheDialogAsFarDoes)
{
    struct Case {
        const char* Keys;
        intptr_t ExitCode;
        bool ButtonClicked;
    };
    const Case cases[] = {
        {"<Enter>", Ok, false},                 // Enter in an edit: the default button, no click event
        {"<Esc>", -1, false},
        {"<F10>", -1, false},
        {"<Break>", -2, false},
        {"<Tab><Tab><Enter>", Ok, true},        // focus on OK
        {"<Tab><Tab><Tab><Space>", Cancel, true},
        {"<Alt+C>", Cancel, true},              // hotkey of "&Cancel"
        {"<Tab>o", Ok, true},                   // outside an edit a bare letter is a hotkey
        {"<Tab><Ctrl+Enter>", Ok, false},       // from the check box
        {"<Shift+Tab><Enter>", Cancel, true},   // backwards from the edit, wrapping
        {"<Tab><Down><Down><Enter>", Cancel, true},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.Init(StandardItems());
        EXPECT_EQ(dialog.Run(c.Keys), c.ExitCode) << c.Keys;
        EXPECT_EQ(dialog.Of(Far3::DN_BTNCLICK).empty(), !c.ButtonClicked) << c.Keys;
        EXPECT_FALSE(dialog.User.RanOutOfInput()) << c.Keys;
    }
}

// A button's hotkey focuses the button and then presses it as Enter does:
// the procedure hears the Enter for that button before the click, and a
// procedure that takes Enter away leaves the hotkey without effect.

TEST(DialogRun, AButtonHotkeyPressesThroughTheEnterPath)
{
    struct Case {
        const char* Keys;
        bool EatEnter;
        intptr_t ExitCode;
        std::vector<std::string> Events;
    };
    const Case cases[] = {
        {"<Alt+C>", false, Cancel,
         {"input 2 <Alt+C>", "hotkey 5", "focus 5", "input 5 <enter>", "click 5", "close 5"}},
        {"<Tab>c", false, Cancel,
         {"input 2 <tab>", "focus 3", "input 3 c", "hotkey 5", "focus 5", "input 5 <enter>", "click 5", "close 5"}},
        {"<Alt+C><Esc>", true, -1,
         {"input 2 <Alt+C>", "hotkey 5", "focus 5", "input 5 <enter>", "input 5 <esc>", "close -1"}},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.Init(StandardItems());
        std::vector<std::string> seen;
        dialog.Answer = [&](intptr_t msg, intptr_t param1, void* param2) -> std::optional<intptr_t> {
            const std::string item = std::to_string(param1);
            if (msg == Far3::DN_CONTROLINPUT) {
                const Far3::KEY_EVENT_RECORD& record = static_cast<Far3::INPUT_RECORD*>(param2)->Event.KeyEvent;
                const KeyPress key{record.wVirtualKeyCode, record.UnicodeChar, record.dwControlKeyState};
                seen.push_back("input " + item + " " + KeyName(key));
                if (c.EatEnter && key.VirtualKey == Far3::VirtualKey::Return)
                    return 1;
            } else if (msg == Far3::DN_HOTKEY) {
                seen.push_back("hotkey " + item);
            } else if (msg == Far3::DN_GOTFOCUS && !seen.empty()) {
                seen.push_back("focus " + item);
            } else if (msg == Far3::DN_BTNCLICK) {
                seen.push_back("click " + item);
            } else if (msg == Far3::DN_CLOSE) {
                seen.push_back("close " + item);
            }
            return std::nullopt;
        };
        EXPECT_EQ(dialog.Run(c.Keys), c.ExitCode) << c.Keys;
        EXPECT_EQ(seen, c.Events) << c.Keys;
        EXPECT_FALSE(dialog.User.RanOutOfInput()) << c.Keys;
    }
}

// Hotkeys match without regard to case in every script a plugin's texts
// use, from Alt+letter and from a bare letter outside an edit.

TEST(DialogRun, HotkeysMatchInAnyCaseAndScript)
{
    struct Case {
        const char16_t* Caption;
        const char* Keys;
        bool Pressed;
    };
    const Case cases[] = {
        {u"&Отмена", "<Alt+о>", true},   {u"&Отмена", "<Alt+О>", true},  {u"&Отмена", "<Tab>о", true},
        {u"&отмена", "<Tab>О", true},    {u"&Отмена", "<Alt+п>", false}, {u"&Ёлка", "<Alt+ё>", true},
        {u"&Їжак", "<Alt+ї>", true},     {u"&Ґанок", "<Alt+ґ>", true},   {u"&ärger", "<Alt+Ä>", true},
        {u"&Łódź", "<Alt+ł>", true},     {u"&Şapka", "<Alt+ş>", true},   {u"&ωμέγα", "<Alt+Ω>", true},
        {u"&έξοδος", "<Alt+Έ>", true},  {u"&Cancel", "<Alt+c>", true},  {u"&Cancel", "<Tab>C", true},
        {u"&Ärger", "<Alt+a>", false},
    };
    for (const Case& c : cases) {
        Harness dialog;
        std::vector<Far3::FarDialogItem> items = StandardItems();
        items[Cancel].Data = c.Caption;
        dialog.Init(items);
        const std::string keys = std::string(c.Keys) + "<Esc>";
        EXPECT_EQ(dialog.Run(keys), c.Pressed ? static_cast<int>(Cancel) : -1) << c.Keys;
    }
}

// The paths that close with the default button: a disabled one closes
// nothing (the Esc after it then closes), an enabled one closes even when it
// is DIF_BTNNOCLOSE, as Ctrl+Enter sends no click.

TEST(DialogRun, TheDefaultButtonClosesOnlyWhenEnabled)
{
    struct Case {
        const char* Keys;
        uint64_t OkFlags;
        intptr_t ExitCode;
    };
    const Case cases[] = {
        {"<Ctrl+Enter><Esc>", Far3::DIF_DISABLE, -1},
        {"<Tab><Ctrl+Enter><Esc>", Far3::DIF_DISABLE, -1},
        {"<Enter><Esc>", Far3::DIF_DISABLE, -1},
        {"<Alt+O><Esc>", Far3::DIF_DISABLE, -1},
        {"<Ctrl+Enter><Esc>", Far3::DIF_BTNNOCLOSE, Ok},
        {"<Ctrl+Enter><Esc>", 0, Ok},
    };
    for (const Case& c : cases) {
        Harness dialog;
        std::vector<Far3::FarDialogItem> items = StandardItems();
        items[Ok].Flags |= c.OkFlags;
        dialog.Init(items);
        EXPECT_EQ(dialog.Run(c.Keys), c.ExitCode) << c.Keys << " " << c.OkFlags;
        EXPECT_TRUE(dialog.Of(Far3::DN_BTNCLICK).empty()) << c.Keys << " " << c.OkFlags;
    }
}

TEST(DialogRun, OnlyExactKeysActOutsideAnEdit)
{
    struct Case {
        const char* Keys;
        intptr_t Focus;
        intptr_t Checked;
        size_t Clicks;
    };
    const Case cases[] = {
        {"<Down>", Ok, 0, 0},           {"<Ctrl+Down>", Check, 0, 0},  {"<Shift+Up>", Check, 0, 0},
        {"<Alt+Right>", Check, 0, 0},   {"<Ctrl+Left>", Check, 0, 0},  {"<Ctrl+Home>", Check, 0, 0},
        {"<Shift+End>", Check, 0, 0},   {"<Ctrl+PgDn>", Check, 0, 0},  {"<Ctrl+Tab>", Check, 0, 0},
        {"<Space>", Check, 1, 1},       {"<Shift+Space>", Check, 0, 0}, {"<Ctrl+Space>", Check, 0, 0},
        {"<Alt+Shift+O>", Check, 0, 0}, {"<Down><Shift+Enter>", Ok, 0, 0},
        {"<Num+><Num+>", Check, 1, 1},  {"<Num->", Check, 0, 0},       {"<Num*>", Check, 0, 0},
        {"<Num+><Num->", Check, 0, 2},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.Init(StandardItems());
        std::optional<intptr_t> focus;
        dialog.User.QueueKeys(std::string("<Tab>") + c.Keys);
        dialog.User.QueueCheck([&](const DialogView& view) { focus = view.Focus; });
        EXPECT_EQ(dialog.Run("<Esc>"), -1) << c.Keys;
        EXPECT_EQ(focus, c.Focus) << c.Keys;
        EXPECT_EQ(dialog.Send(Far3::DM_GETCHECK, Check), c.Checked) << c.Keys;
        EXPECT_EQ(dialog.Of(Far3::DN_BTNCLICK).size(), c.Clicks) << c.Keys;
    }
}

// Left and Right outside an edit go to the nearest edit or radio button on
// the row, else on as Up and Down do; a label's hotkey finds its item round
// the dialog, past radio buttons that are not selected, and presses a button.

TEST(DialogRun, ProcedureAnswersSteerFocusAndKeys)
{
    Harness dialog;
    dialog.Init(StandardItems());
    dialog.Answer = [&](intptr_t msg, intptr_t param1, void* param2) -> std::optional<intptr_t> {
        // Leaving the check box always goes to Cancel.
        if (msg == Far3::DN_KILLFOCUS && param1 == Check)
            return Cancel;
        // The procedure eats every 'q'.
        if (msg == Far3::DN_CONTROLINPUT &&
            static_cast<Far3::INPUT_RECORD*>(param2)->Event.KeyEvent.UnicodeChar == u'q')
            return 1;
        return std::nullopt;
    };
    dialog.Run("q<Tab><Tab><Enter>");
    EXPECT_EQ(dialog.Text(Edit), u"abc");
    EXPECT_EQ(dialog.Closed().Focus, Cancel);
    EXPECT_EQ(dialog.User.Dialogs().back().ExitCode, Cancel);
}

// What the procedure does at the start (in DN_INITDIALOG, with its answer,
// and in the first DN_GOTFOCUS) and where that leaves the edit and the focus.

TEST(DialogRun, InjectedKeysAndHiddenDialogsFollowFar)
{
    using Step = std::function<void(Harness&)>;
    struct Case {
        const char* What;
        Step AtInit;
        Step AtF2;
        const char* Keys;
        std::u16string Text;
        intptr_t Focus;
        size_t InputsOfZ, ControlInputsOfZ;
    };
    const Step noStep = [](Harness&) {};
    const Step typeZ = [](Harness& d) {
        Far3::INPUT_RECORD record{};
        record.EventType = Far3::InputEvent::Key;
        record.Event.KeyEvent.bKeyDown = 1;
        record.Event.KeyEvent.wVirtualKeyCode = 'Z';
        record.Event.KeyEvent.UnicodeChar = u'z';
        d.Send(Far3::DM_KEY, 1, &record);
    };
    const Step notifyAndTypeZ = [&](Harness& d) {
        d.Send(Far3::DM_SETINPUTNOTIFY, 1);
        typeZ(d);
    };
    const Step hideEdit = [](Harness& d) { d.Send(Far3::DM_SHOWITEM, Edit, nullptr); };
    const Case cases[] = {
        {"DM_KEY skips DN_CONTROLINPUT", noStep, typeZ, "<F2><Esc>", u"z", Edit, 0, 0},
        {"DM_KEY passes DN_INPUT when asked for", noStep, notifyAndTypeZ, "<F2><Esc>", u"z", Edit, 1, 0},
        {"a typed key passes both", noStep, noStep, "z<Esc>", u"z", Edit, 0, 1},
        {"a hidden dialog ignores keys", [](Harness& d) { d.Send(Far3::DM_SHOWDIALOG, 0); },
         [](Harness& d) { d.Send(Far3::DM_SHOWDIALOG, 1); }, "x<Tab><Enter><Esc><F2>y<Esc>", u"y", Edit, 0, 0},
        {"an item hidden at the start keeps the focus and ignores keys", hideEdit,
         [](Harness& d) { d.Send(Far3::DM_SHOWITEM, Edit, reinterpret_cast<void*>(1)); },
         "x<Tab><Enter><Esc><F2>y<Esc>", u"y", Edit, 0, 0},
        {"hiding the focused item on the screen moves the focus", noStep, hideEdit, "<F2>x<Esc>", u"abc", Check,
         0, 0},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.Init(StandardItems());
        size_t inputsOfZ = 0, controlInputsOfZ = 0;
        dialog.Answer = [&](intptr_t msg, intptr_t, void* param2) -> std::optional<intptr_t> {
            if (msg == Far3::DN_INITDIALOG)
                c.AtInit(dialog);
            if (msg != Far3::DN_INPUT && msg != Far3::DN_CONTROLINPUT)
                return std::nullopt;
            const Far3::KEY_EVENT_RECORD& key = static_cast<Far3::INPUT_RECORD*>(param2)->Event.KeyEvent;
            if (key.UnicodeChar == u'z')
                ++(msg == Far3::DN_INPUT ? inputsOfZ : controlInputsOfZ);
            if (msg == Far3::DN_CONTROLINPUT && key.wVirtualKeyCode == Far3::VirtualKey::F1 + 1) {
                c.AtF2(dialog);
                return 1;
            }
            return std::nullopt;
        };
        EXPECT_EQ(dialog.Run(c.Keys), -1) << c.What;
        EXPECT_FALSE(dialog.User.RanOutOfInput()) << c.What;
        EXPECT_EQ(dialog.Text(Edit), c.Text) << c.What;
        EXPECT_EQ(dialog.Closed().Focus, c.Focus) << c.What;
        EXPECT_EQ(inputsOfZ, c.InputsOfZ) << c.What;
        EXPECT_EQ(controlInputsOfZ, c.ControlInputsOfZ) << c.What;
    }
}

} // namespace
