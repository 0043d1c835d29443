// The stand-in host's dialog manager, driven as a person drives Far: keys in
// key-script notation go in, the dialog procedure sees Far's events, and the
// dialog as shown is read back.
#include "host/text/HostText.h"
#include "host/text/KeyScript.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/dialogs/DialogColors.h"
#include "host/dialogs/DialogPainter.h"
#include "host/services/DialogService.h"
#include "host/dialogs/HistoryDropDown.h"
#include "host/console/ScreenBuffer.h"
#include "TempFolder.h"

#include "framework/FarKeysW.h"

#include <gtest/gtest.h>

#include <cstdio>
#if !defined(ZELVANE_HOST_NO_SQLITE)
#include <sqlite3.h>
#endif

#include <functional>
#include <optional>
#include <utility>

using namespace Host;

namespace {

constexpr Far3::GUID PluginGuid{0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
constexpr Far3::GUID DialogGuid{0xD1A1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 12}};

Far3::FarDialogItem Item(Far3::FARDIALOGITEMTYPES type, intptr_t x1, intptr_t y1, intptr_t x2, intptr_t y2,
                         const char16_t* text = nullptr, uint64_t flags = 0, const char16_t* history = nullptr)
{
    Far3::FarDialogItem item{};
    item.Type = type;
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Y2 = y2;
    item.Data = text;
    item.Flags = flags | (history ? Far3::DIF_HISTORY : 0);
    item.History = history;
    return item;
}

// Frame, label, edit with a history, check box, OK (default) and Cancel:
// a 40 x 8 dialog like the ones plugins build.
enum : intptr_t { Frame, Label, Edit, Check, Ok, Cancel };
std::vector<Far3::FarDialogItem> StandardItems()
{
    return {
        Item(Far3::DI_DOUBLEBOX, 3, 1, 36, 6, u"Title"),
        Item(Far3::DI_TEXT, 5, 2, 34, 2, u"&Name:"),
        Item(Far3::DI_EDIT, 5, 3, 33, 3, u"abc", 0, u"TestHistory"),
        Item(Far3::DI_CHECKBOX, 5, 4, 0, 4, u"C&heck"),
        Item(Far3::DI_BUTTON, 0, 5, 0, 5, u"&OK", Far3::DIF_CENTERGROUP | Far3::DIF_DEFAULTBUTTON),
        Item(Far3::DI_BUTTON, 0, 5, 0, 5, u"&Cancel", Far3::DIF_CENTERGROUP),
    };
}

struct Event {
    intptr_t Msg;
    intptr_t Param1;
    intptr_t Param2;
    std::u16string Text; // DN_EDITCHANGE: the new text; DN_BTNCLICK: DM_GETCHECK at that moment
};

// A dialog procedure a test can script: it records the events (drawing
// aside), answers through `Answer` when that returns a value and leaves
// the rest to DefDlgProc.
class Harness {
public:
    Harness()
    {
        Current = this;
        Service.SetPlugin(PluginGuid);
    }
    ~Harness() { Current = nullptr; }

    Far3::HANDLE Init(std::vector<Far3::FarDialogItem> items, intptr_t x1 = -1, intptr_t y1 = -1,
                      intptr_t x2 = 40, intptr_t y2 = 8, Far3::FARDIALOGFLAGS flags = 0)
    {
        Handle = Service.Init(&PluginGuid, &DialogGuid, x1, y1, x2, y2, nullptr, items.data(), items.size(), flags,
                              Proc, this);
        return Handle;
    }
    intptr_t Run(std::string_view keys = "")
    {
        User.QueueKeys(keys);
        return Service.Run(Handle);
    }
    intptr_t Send(intptr_t msg, intptr_t param1, void* param2 = nullptr)
    {
        return Service.Send(Handle, msg, param1, param2);
    }
    std::u16string Text(intptr_t item)
    {
        const intptr_t length = Send(Far3::DM_GETTEXT, item);
        std::u16string text(static_cast<size_t>(length) + 1, u'\0');
        Far3::FarDialogItemData data{sizeof data, static_cast<size_t>(length), text.data()};
        Send(Far3::DM_GETTEXT, item, &data);
        text.resize(static_cast<size_t>(length));
        return text;
    }
    std::vector<Event> Of(intptr_t msg) const
    {
        std::vector<Event> found;
        for (const Event& event : Events)
            if (event.Msg == msg)
                found.push_back(event);
        return found;
    }
    const DialogView& Closed() const { return User.Dialogs().back().Closed; }

    ScriptedFrontEnd User;
    MemoryHistoryStore History;
    DialogService Service{User, History};
    Far3::HANDLE Handle = Far3::InvalidHandleValue;
    std::vector<Event> Events;
    std::function<std::optional<intptr_t>(intptr_t msg, intptr_t param1, void* param2)> Answer;

private:
    static bool IsDrawing(intptr_t msg)
    {
        return msg == Far3::DN_DRAWDIALOG || msg == Far3::DN_DRAWDLGITEM || msg == Far3::DN_DRAWDLGITEMDONE ||
               msg == Far3::DN_DRAWDIALOGDONE || msg == Far3::DN_CTLCOLORDIALOG || msg == Far3::DN_CTLCOLORDLGITEM;
    }

    static intptr_t Proc(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2)
    {
        Harness& self = *Current;
        if (!IsDrawing(msg)) {
            Event event{msg, param1, reinterpret_cast<intptr_t>(param2), {}};
            if (msg == Far3::DN_EDITCHANGE)
                event.Text = PluginText(static_cast<Far3::FarDialogItem*>(param2)->Data);
            if (msg == Far3::DN_BTNCLICK)
                event.Text = std::u16string(1, static_cast<char16_t>(u'0' + self.Send(Far3::DM_GETCHECK, param1)));
            self.Events.push_back(event);
        }
        if (self.Answer)
            if (std::optional<intptr_t> answer = self.Answer(msg, param1, param2))
                return *answer;
        return self.Service.DefProc(dialog, msg, param1, param2);
    }

    static inline Harness* Current = nullptr;
};

void SendSetText(Harness& dialog, intptr_t item, const char16_t* text)
{
    Far3::FarDialogItemData data{sizeof data, std::char_traits<char16_t>::length(text), const_cast<char16_t*>(text)};
    dialog.Send(Far3::DM_SETTEXT, item, &data);
}

TEST(DialogInit, RefusesWhatFarRefuses)
{
    struct Case {
        const char* What;
        intptr_t X1, Y1, X2, Y2;
        bool Accepted;
    };
    const Case cases[] = {
        {"centred", -1, -1, 40, 8, true},
        {"centred, no width: one column", -1, -1, 0, 8, true},
        {"placed", 5, 2, 44, 9, true},
        {"one cell", 5, 2, 5, 2, true},
        {"right before left", 5, 2, 4, 9, false},
        {"negative right", 5, 2, -3, 9, false},
        {"centred, negative width", -1, -1, -5, 8, false},
        {"bottom above top", 5, 9, 44, 2, false},
        // No console has more than 32767 columns or rows: what is beyond
        // would overflow the count of cells drawn.
        {"the largest console", 0, 0, 32767, 2, true},
        {"centred, 65536 x 65537", -1, -1, 65536, 65537, false},
        {"placed, right beyond the console", 0, 0, 32768, 2, false},
        {"placed, bottom beyond the console", 0, 0, 10, 70000, false},
        {"placed beyond the console", 40000, 0, 40010, 2, false},
        {"a width that wraps an int", -1, -1, intptr_t{1} << 32 | 40, 8, false},
    };
    for (const Case& c : cases) {
        Harness dialog;
        const bool accepted = dialog.Init(StandardItems(), c.X1, c.Y1, c.X2, c.Y2) != Far3::InvalidHandleValue;
        EXPECT_EQ(accepted, c.Accepted) << c.What;
    }

    Harness dialog;
    std::vector<Far3::FarDialogItem> items = StandardItems();
    const Far3::GUID stranger{9, 9, 9, {9}};
    EXPECT_EQ(dialog.Service.Init(&stranger, &DialogGuid, -1, -1, 40, 8, nullptr, items.data(), items.size(), 0,
                                  nullptr, nullptr),
              Far3::InvalidHandleValue);
    EXPECT_EQ(dialog.Service.Init(&PluginGuid, &DialogGuid, -1, -1, 40, 8, nullptr, items.data(), 0, 0, nullptr,
                                  nullptr),
              Far3::InvalidHandleValue);
    EXPECT_EQ(dialog.Service.Init(&PluginGuid, &DialogGuid, -1, -1, 40, 8, nullptr, nullptr, 3, 0, nullptr, nullptr),
              Far3::InvalidHandleValue);
    EXPECT_EQ(dialog.Service.Count(), 0u);
}

TEST(DialogInit, CopiesTheItemsAndTheirTexts)
{
    Harness dialog;
    std::u16string text = u"abc";
    std::vector<Far3::FarDialogItem> items = StandardItems();
    items[Edit].Data = text.c_str();
    dialog.Init(items);
    text = u"xyz";
    items[Edit].X2 = 0;
    EXPECT_EQ(dialog.Text(Edit), u"abc");
    // The edit's right edge before its left one collapses onto the left.
    Far3::SMALL_RECT rect{};
    dialog.Send(Far3::DM_GETITEMPOSITION, Edit, &rect);
    EXPECT_EQ(rect.Right, 33);
}

TEST(DialogRun, EventsComeInFarsOrderAndStopAtTheClose)
{
    Harness dialog;
    dialog.Init(StandardItems());
    EXPECT_EQ(dialog.Run("<Esc>"), -1);
    ASSERT_GE(dialog.Events.size(), 4u);
    EXPECT_EQ(dialog.Events[0].Msg, Far3::DN_INITDIALOG);
    EXPECT_EQ(dialog.Events[0].Param1, Edit); // the item that gets the focus
    EXPECT_EQ(dialog.Events[0].Param2, reinterpret_cast<intptr_t>(&dialog));
    EXPECT_EQ(dialog.Events[1].Msg, Far3::DN_GOTFOCUS);
    EXPECT_EQ(dialog.Events[1].Param1, Edit);
    EXPECT_EQ(dialog.Events[2].Msg, Far3::DN_CONTROLINPUT);
    EXPECT_EQ(dialog.Events.back().Msg, Far3::DN_CLOSE);
    EXPECT_EQ(dialog.Events.back().Param1, -1);

    // After the close the procedure hears nothing more, but the items can still be read.
    const size_t events = dialog.Events.size();
    EXPECT_EQ(dialog.Send(Far3::DM_USER + 1, 0), 0);
    EXPECT_EQ(dialog.Text(Edit), u"abc");
    EXPECT_EQ(dialog.Events.size(), events);
    EXPECT_FALSE(dialog.User.RanOutOfInput());
}

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

TEST(DialogRun, FocusSkipsWhatCannotTakeIt)
{
    struct Case {
        const char* What;
        std::function<void(std::vector<Far3::FarDialogItem>&)> Change;
        std::string Keys;
        intptr_t Focus;
    };
    const Case cases[] = {
        {"starts on the first focusable item", nullptr, "", Edit},
        {"DIF_FOCUS on a button", [](auto& items) { items[Cancel].Flags |= Far3::DIF_FOCUS; }, "", Cancel},
        {"DIF_FOCUS on a label is ignored", [](auto& items) { items[Label].Flags |= Far3::DIF_FOCUS; }, "", Edit},
        {"disabled edit", [](auto& items) { items[Edit].Flags |= Far3::DIF_DISABLE; }, "", Check},
        {"Tab skips a hidden check box", [](auto& items) { items[Check].Flags |= Far3::DIF_HIDDEN; }, "<Tab>", Ok},
        {"Tab skips DIF_NOFOCUS", [](auto& items) { items[Ok].Flags |= Far3::DIF_NOFOCUS; }, "<Tab><Tab>",
         Cancel},
        {"Tab wraps around", nullptr, "<Tab><Tab><Tab><Tab>", Edit},
        {"a label's hotkey focuses the next item", nullptr, "<Tab><Alt+N>", Edit},
        {"a check box hotkey focuses and toggles", nullptr, "<Alt+H>", Check},
        {"End goes to the default button", nullptr, "<Tab><End>", Ok},
        {"PgDn from an edit goes to the default button", nullptr, "<PgDn>", Ok},
    };
    for (const Case& c : cases) {
        Harness dialog;
        std::vector<Far3::FarDialogItem> items = StandardItems();
        if (c.Change)
            c.Change(items);
        dialog.Init(items);
        std::optional<intptr_t> focus;
        dialog.User.QueueKeys(c.Keys);
        dialog.User.QueueCheck([&](const DialogView& view) { focus = view.Focus; });
        dialog.Run("<Esc>");
        EXPECT_EQ(focus, c.Focus) << c.What;
    }
}

// Every focus change Far makes sends DN_KILLFOCUS and DN_GOTFOCUS, also
// when the focus stays where it is; an item that cannot hold the focus is
// refused as a target, and as the answer to DN_KILLFOCUS when it is of a
// kind that never holds it.
TEST(DialogRun, FocusChangesAreReportedAsFarReportsThem)
{
    struct Case {
        const char* What;
        std::function<void(std::vector<Far3::FarDialogItem>&)> Change;
        const char* Keys;
        std::optional<intptr_t> KillAnswer;
        std::vector<std::string> Events;
        intptr_t Focus;
        intptr_t ExitCode;
    };
    const auto onlyTheEdit = [](auto& items) {
        for (intptr_t i : {Check, Ok, Cancel})
            items[static_cast<size_t>(i)].Flags |= Far3::DIF_DISABLE;
    };
    const Case cases[] = {
        {"Tab with one item to go to", onlyTheEdit, "<Tab>", {}, {"kill 2", "got 2"}, Edit, -1},
        {"Home on the first item", [](auto& items) { items[Edit].Flags |= Far3::DIF_DISABLE; }, "<Home>", {},
         {"kill 3", "got 3"}, Check, -1},
        {"the hotkey of the focused check box", nullptr, "<Tab><Alt+H>", {},
         {"kill 2", "got 3", "kill 3", "got 3"}, Check, -1},
        {"End on the focused default button", nullptr, "<Tab><Tab><End>", {},
         {"kill 2", "got 3", "kill 3", "got 4", "kill 4", "got 4"}, Ok, -1},
        {"a label named by DN_KILLFOCUS", nullptr, "<Tab>", Label, {"kill 2", "got 3"}, Check, -1},
        {"a button named by DN_KILLFOCUS", nullptr, "<Tab>", Cancel, {"kill 2", "got 5"}, Cancel, -1},
        {"the hotkey of a DIF_NOFOCUS button presses it where the focus is",
         [](auto& items) { items[Cancel].Flags |= Far3::DIF_NOFOCUS; }, "<Alt+C>", {}, {}, Edit, Cancel},
    };
    for (const Case& c : cases) {
        Harness dialog;
        std::vector<Far3::FarDialogItem> items = StandardItems();
        if (c.Change)
            c.Change(items);
        dialog.Init(items);
        std::vector<std::string> seen;
        bool started = false;
        dialog.Answer = [&](intptr_t msg, intptr_t param1, void*) -> std::optional<intptr_t> {
            if (msg == Far3::DN_KILLFOCUS) {
                seen.push_back("kill " + std::to_string(param1));
                return c.KillAnswer;
            }
            if (msg == Far3::DN_GOTFOCUS && std::exchange(started, true))
                seen.push_back("got " + std::to_string(param1));
            return std::nullopt;
        };
        std::optional<intptr_t> focus;
        dialog.User.QueueKeys(c.Keys);
        dialog.User.QueueCheck([&](const DialogView& view) { focus = view.Focus; });
        EXPECT_EQ(dialog.Run(c.ExitCode < 0 ? "<Esc>" : ""), c.ExitCode) << c.What;
        EXPECT_EQ(seen, c.Events) << c.What;
        if (c.ExitCode < 0) {
            EXPECT_EQ(focus, c.Focus) << c.What;
        } else {
            EXPECT_EQ(dialog.Closed().Focus, c.Focus) << c.What;
        }
    }
}

// Outside an edit the dialog's keys act only as they are: with Ctrl, Alt or
// Shift added they do nothing. Numpad +, - and * click a check box only
// when they change its state.
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
TEST(DialogRun, ArrowsAndLabelsFindTheirItemsAsFarDoes)
{
    using Items = std::vector<Far3::FarDialogItem>;
    const auto with = [](Far3::FarDialogItem item, uint64_t flags, intptr_t selected = 0) {
        item.Flags |= flags;
        item.Selected = selected;
        return item;
    };
    // An edit, a button and a radio button on row 0; a button and a check box on row 1.
    const Items row{Item(Far3::DI_EDIT, 2, 0, 10, 0), Item(Far3::DI_BUTTON, 12, 0, 0, 0, u"A"),
                    Item(Far3::DI_RADIOBUTTON, 20, 0, 0, 0, u"r"), Item(Far3::DI_BUTTON, 2, 1, 0, 1, u"B"),
                    Item(Far3::DI_CHECKBOX, 10, 1, 0, 1, u"c")};
    const auto rowWith = [&](size_t focus, size_t changed = 99, uint64_t flags = 0) {
        Items items = row;
        items[focus].Flags |= Far3::DIF_FOCUS;
        if (changed < items.size())
            items[changed].Flags |= flags;
        return items;
    };
    struct Case {
        const char* What;
        Items Dialog;
        const char* Keys;
        intptr_t Focus;
        intptr_t ExitCode;
    };
    const Case cases[] = {
        {"Left from a button to the edit", rowWith(1), "<Left>", 0, -1},
        {"Right from a button to the radio button", rowWith(1), "<Right>", 2, -1},
        {"Left to a disabled edit does nothing", rowWith(1, 0, Far3::DIF_DISABLE), "<Left>", 1, -1},
        {"Left with nothing on the row is Up", rowWith(4), "<Left>", 3, -1},
        {"Right with nothing on the row is Down", rowWith(4), "<Right>", 0, -1},
        {"a label at the end goes round", {Item(Far3::DI_BUTTON, 2, 0, 0, 0, u"B"), Item(Far3::DI_EDIT, 2, 1, 9, 1),
                                           Item(Far3::DI_TEXT, 2, 2, 0, 2, u"&Zed")},
         "<Alt+Z>", 0, 0},
        {"a label presses the button it reaches",
         {Item(Far3::DI_TEXT, 2, 0, 0, 0, u"&Press"), Item(Far3::DI_BUTTON, 2, 1, 0, 1, u"Do"),
          Item(Far3::DI_EDIT, 2, 2, 9, 2)},
         "<Alt+P>", 1, 1},
        {"a label after an edit with more on its row",
         {Item(Far3::DI_EDIT, 0, 0, 5, 0), Item(Far3::DI_TEXT, 7, 0, 0, 0, u"&L"), Item(Far3::DI_CHECKBOX, 10, 0, 0, 0, u"c")},
         "<Alt+L>", 2, -1},
        {"a label after a disabled edit ending its row",
         {with(Item(Far3::DI_EDIT, 0, 0, 5, 0), Far3::DIF_DISABLE), Item(Far3::DI_TEXT, 7, 0, 0, 0, u"&L"),
          Item(Far3::DI_BUTTON, 2, 1, 0, 1, u"B"), with(Item(Far3::DI_CHECKBOX, 10, 1, 0, 1, u"c"), Far3::DIF_FOCUS)},
         "<Alt+L>", 3, -1},
        {"a label passes radio buttons that are not selected",
         {Item(Far3::DI_TEXT, 2, 0, 0, 0, u"&R"), with(Item(Far3::DI_RADIOBUTTON, 2, 1, 0, 1, u"a"), Far3::DIF_GROUP),
          with(Item(Far3::DI_RADIOBUTTON, 2, 2, 0, 2, u"b"), 0, 1), Item(Far3::DI_BUTTON, 2, 3, 0, 3, u"B")},
         "<Alt+R>", 2, -1},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.Init(c.Dialog, -1, -1, 30, 4);
        std::optional<intptr_t> focus;
        dialog.User.QueueKeys(c.Keys);
        dialog.User.QueueCheck([&](const DialogView& view) { focus = view.Focus; });
        EXPECT_EQ(dialog.Run("<Esc>"), c.ExitCode) << c.What;
        EXPECT_EQ(c.ExitCode < 0 ? focus : dialog.Closed().Focus, c.Focus) << c.What;
    }
}

// DIF_SELECTONENTRY marks an edit's whole text each time it gets the focus.
TEST(DialogRun, SelectOnEntryMarksTheTextOnEachFocus)
{
    struct Case {
        const char* Keys;
        size_t BlockEnd;
    };
    for (const Case& c : {Case{"", 3}, Case{"<End>", 0}, Case{"<End><Tab><Shift+Tab>", 3}}) {
        Harness dialog;
        std::vector<Far3::FarDialogItem> items = StandardItems();
        items[Edit].Flags |= Far3::DIF_SELECTONENTRY;
        dialog.Init(items);
        std::optional<DialogItemView> edit;
        dialog.User.QueueKeys(c.Keys);
        dialog.User.QueueCheck([&](const DialogView& view) { edit = view.Item(Edit); });
        dialog.Run("<Esc>");
        ASSERT_TRUE(edit) << c.Keys;
        EXPECT_EQ(edit->BlockStart, 0u) << c.Keys;
        EXPECT_EQ(edit->BlockEnd, c.BlockEnd) << c.Keys;
    }
}

TEST(DialogRun, EditsStartUnchangedAndTheFirstCharacterReplacesTheText)
{
    struct Case {
        const char* Keys;
        std::u16string Text;
        size_t Changes;
    };
    const Case cases[] = {
        {"x", u"x", 1},
        {"xy", u"xy", 2},
        {"<End>x", u"abcx", 1},
        {"<Left>x", u"abxc", 1},
        {"<Del>", u"", 1},
        {"<BS>", u"ab", 1},
        {"<Home><Del>", u"bc", 1},
        {"<Tab><Shift+Tab>x", u"x", 1},   // moving the focus in does not end the state
        {"<Ctrl+C>x", u"x", 1},
        {"<Right>", u"abc", 0},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.Init(StandardItems());
        dialog.Run(std::string(c.Keys) + "<Esc>");
        EXPECT_EQ(dialog.Text(Edit), c.Text) << c.Keys;
        const std::vector<Event> changes = dialog.Of(Far3::DN_EDITCHANGE);
        ASSERT_EQ(changes.size(), c.Changes) << c.Keys;
        if (!changes.empty()) {
            EXPECT_EQ(changes.back().Text, c.Text) << c.Keys;
        }
    }
}

TEST(DialogRun, SetTextReportsOnlyOnceTheDialogIsInitialised)
{
    Harness dialog;
    dialog.Init(StandardItems());
    intptr_t unchangedAfterInit = -1;
    dialog.Answer = [&](intptr_t msg, intptr_t param1, void*) -> std::optional<intptr_t> {
        auto set = [&](const char16_t* text) {
            Far3::FarDialogItemData data{sizeof data, std::char_traits<char16_t>::length(text),
                                         const_cast<char16_t*>(text)};
            dialog.Send(Far3::DM_SETTEXT, Edit, &data);
        };
        if (msg == Far3::DN_INITDIALOG) {
            set(u"from init");
            unchangedAfterInit = dialog.Send(Far3::DM_EDITUNCHANGEDFLAG, Edit, reinterpret_cast<void*>(-1));
        }
        if (msg == Far3::DN_BTNCLICK && param1 == Check)
            set(u"from click");
        // A handler that changes its own item is not told about it again.
        if (msg == Far3::DN_EDITCHANGE && param1 == Edit)
            set(u"own");
        return std::nullopt;
    };
    dialog.Run("<Tab><Space><Esc>");
    EXPECT_EQ(unchangedAfterInit, 1);
    const std::vector<Event> changes = dialog.Of(Far3::DN_EDITCHANGE);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].Text, u"from click");
    EXPECT_EQ(dialog.Text(Edit), u"own");
    EXPECT_EQ(dialog.Send(Far3::DM_EDITUNCHANGEDFLAG, Edit, reinterpret_cast<void*>(-1)), 0);
}

TEST(DialogRun, ButtonAndCheckBoxAnswersDecide)
{
    {   // A click answered non-zero keeps the dialog open; DIF_BTNNOCLOSE too.
        Harness dialog;
        std::vector<Far3::FarDialogItem> items = StandardItems();
        items[Cancel].Flags |= Far3::DIF_BTNNOCLOSE;
        dialog.Init(items);
        dialog.Answer = [](intptr_t msg, intptr_t param1, void*) -> std::optional<intptr_t> {
            if (msg == Far3::DN_BTNCLICK && param1 == Ok)
                return 1;
            return std::nullopt;
        };
        EXPECT_EQ(dialog.Run("<Alt+O><Alt+C><Esc>"), -1);
        EXPECT_EQ(dialog.Of(Far3::DN_BTNCLICK).size(), 2u);
    }
    {   // The check box changes first; the handler sees the new state and may veto it.
        Harness dialog;
        dialog.Init(StandardItems());
        int clicks = 0;
        dialog.Answer = [&](intptr_t msg, intptr_t, void*) -> std::optional<intptr_t> {
            if (msg == Far3::DN_BTNCLICK)
                return ++clicks == 2 ? 0 : 1;
            return std::nullopt;
        };
        dialog.Run("<Tab><Space><Space><Esc>");
        const std::vector<Event> events = dialog.Of(Far3::DN_BTNCLICK);
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0].Param2, 1);
        EXPECT_EQ(events[0].Text, u"1");
        EXPECT_EQ(events[1].Param2, 0);
        EXPECT_EQ(dialog.Send(Far3::DM_GETCHECK, Check), 1); // the second change was vetoed
    }
    {   // Numpad + offers the state before changing anything.
        Harness dialog;
        dialog.Init(StandardItems());
        dialog.Run("<Tab><Num+><Esc>");
        const std::vector<Event> events = dialog.Of(Far3::DN_BTNCLICK);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].Text, u"0");
        EXPECT_EQ(dialog.Send(Far3::DM_GETCHECK, Check), 1);
    }
    {   // A refused close keeps the dialog open; a disabled default button makes Enter do nothing.
        Harness dialog;
        std::vector<Far3::FarDialogItem> items = StandardItems();
        items[Ok].Flags |= Far3::DIF_DISABLE;
        dialog.Init(items);
        int closes = 0;
        dialog.Answer = [&](intptr_t msg, intptr_t, void*) -> std::optional<intptr_t> {
            if (msg == Far3::DN_CLOSE)
                return ++closes == 1 ? 0 : 1;
            return std::nullopt;
        };
        EXPECT_EQ(dialog.Run("<Enter><Esc><Alt+C>"), Cancel);
        EXPECT_EQ(closes, 2);
    }
}

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
TEST(DialogRun, TheStartFollowsFar)
{
    using Step = std::function<void(Harness&)>;
    struct Case {
        const char* What;
        Step AtInit;
        intptr_t InitAnswer;
        Step AtFirstFocus;
        intptr_t Focus;
        std::u16string Text;
        intptr_t Unchanged;
        size_t EditChanges, FocusKills;
    };
    const Step noStep = [](Harness&) {};
    const Step clearUnchanged = [](Harness& d) { d.Send(Far3::DM_EDITUNCHANGEDFLAG, Edit, nullptr); };
    const Step disableEdit = [](Harness& d) { d.Send(Far3::DM_ENABLE, Edit, nullptr); };
    const Step emptyEdit = [](Harness& d) { SendSetText(d, Edit, u""); };
    const Case cases[] = {
        {"the first focus handler's text is reported", noStep, 0, [](Harness& d) { SendSetText(d, Edit, u"gf"); },
         Edit, u"gf", 0, 1, 0},
        {"the first focus handler moves the focus with events", noStep, 0,
         [](Harness& d) { d.Send(Far3::DM_SETFOCUS, Check); }, Check, u"newest", 1, 0, 1},
        {"init answered 0 keeps what it did", clearUnchanged, 0, noStep, Edit, u"newest", 0, 0, 0},
        {"init answered 1 marks edits unchanged again", clearUnchanged, 1, noStep, Edit, u"newest", 1, 0, 0},
        {"init answered 0 keeps a disabled focus", disableEdit, 0, noStep, Edit, u"newest", 1, 0, 0},
        {"init answered 1 chooses the focus again", disableEdit, 1, noStep, Check, u"newest", 1, 0, 0},
        {"init answered 0 keeps the emptied text", emptyEdit, 0, noStep, Edit, u"", 1, 0, 0},
        {"init answered 1 loads the last history again", emptyEdit, 1, noStep, Edit, u"newest", 1, 0, 0},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.History.Add(u"TestHistory", u"newest");
        std::vector<Far3::FarDialogItem> items = StandardItems();
        items[Edit].Flags |= Far3::DIF_USELASTHISTORY;
        items[Edit].Data = nullptr;
        dialog.Init(items);
        bool firstFocus = true;
        dialog.Answer = [&](intptr_t msg, intptr_t, void*) -> std::optional<intptr_t> {
            if (msg == Far3::DN_INITDIALOG) {
                c.AtInit(dialog);
                return c.InitAnswer;
            }
            if (msg == Far3::DN_GOTFOCUS && firstFocus) {
                firstFocus = false;
                c.AtFirstFocus(dialog);
            }
            return std::nullopt;
        };
        dialog.Run("<Esc>");
        EXPECT_EQ(dialog.Closed().Focus, c.Focus) << c.What;
        EXPECT_EQ(dialog.Text(Edit), c.Text) << c.What;
        EXPECT_EQ(dialog.Send(Far3::DM_EDITUNCHANGEDFLAG, Edit, reinterpret_cast<void*>(-1)), c.Unchanged) << c.What;
        EXPECT_EQ(dialog.Of(Far3::DN_EDITCHANGE).size(), c.EditChanges) << c.What;
        EXPECT_EQ(dialog.Of(Far3::DN_KILLFOCUS).size(), c.FocusKills) << c.What;
    }
}

// Keys the procedure hands in with DM_KEY, and keys while the dialog or
// its focused item is hidden. F2 is the procedure's own key: it runs the
// case's step and takes the key.
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

TEST(DialogRun, HistoriesAreKeptForEveryExitButEsc)
{
    struct Case {
        const char* Keys;
        std::vector<std::u16string> History;
    };
    const Case cases[] = {
        {"new<Enter>", {u"new", u"old"}},
        {"new<Alt+C>", {u"new", u"old"}},
        {"new<Esc>", {u"old"}},
        {"OLD<Enter>", {u"OLD"}}, // an equal entry, ignoring case, moves to the top
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.History.Add(u"TestHistory", u"old");
        dialog.Init(StandardItems());
        dialog.Run(c.Keys);
        EXPECT_EQ(dialog.History.Entries(u"TestHistory"), c.History) << c.Keys;
    }

    // Ctrl+Down offers the list; a choice replaces the text and is reported.
    Harness dialog;
    dialog.History.Add(u"TestHistory", u"first");
    dialog.History.Add(u"TestHistory", u"second");
    dialog.Init(StandardItems());
    dialog.User.QueueKeys("<Ctrl+Down>");
    dialog.User.QueueListChoice(1);
    dialog.Run("<Esc>");
    EXPECT_EQ(dialog.Text(Edit), u"first");
    EXPECT_EQ(dialog.Of(Far3::DN_EDITCHANGE).size(), 1u);
    ASSERT_EQ(dialog.User.Dialogs().back().Lists.size(), 1u);
    EXPECT_EQ(dialog.User.Dialogs().back().Lists[0], (std::vector<std::string>{"second", "first"}));

    // DIF_USELASTHISTORY fills an empty edit with the newest entry.
    Harness last;
    last.History.Add(u"TestHistory", u"newest");
    std::vector<Far3::FarDialogItem> items = StandardItems();
    items[Edit].Data = nullptr;
    items[Edit].Flags |= Far3::DIF_USELASTHISTORY;
    last.Init(items);
    last.Run("<Esc>");
    EXPECT_EQ(last.Text(Edit), u"newest");
}

// DM_SETHISTORY on an empty DIF_USELASTHISTORY edit, and what a hidden
// edit leaves in its history when the dialog closes with OK: only a text
// that is no longer "unchanged". F2 is the procedure's key for the step.
TEST(DialogRun, HistoryMessagesAndHiddenEditsFollowFar)
{
    using Step = std::function<void(Harness&)>;
    struct Case {
        const char* What;
        const char16_t* StartText;
        Step AtInit;
        Step AtF2;
        std::u16string Text;
        size_t EditChanges;
        std::vector<std::u16string> Saved; // the edit's history after OK
    };
    const Step noStep = [](Harness&) {};
    const Step otherList = [](Harness& d) { d.Send(Far3::DM_SETHISTORY, Edit, const_cast<char16_t*>(u"Other")); };
    // Hidden with the focus elsewhere, then the case's step.
    auto hiddenThen = [](Step step) {
        return [step](Harness& d) {
            d.Send(Far3::DM_SHOWITEM, Edit, nullptr);
            step(d);
        };
    };
    const Case cases[] = {
        {"set during init: loaded quietly", nullptr, otherList, noStep, u"other newest", 0,
         {u"other newest", u"other older"}},
        {"set later: loaded and reported", nullptr, noStep, otherList, u"other newest", 1,
         {u"other newest", u"other older"}},
        {"an edit with text keeps it", u"mine", otherList, noStep, u"mine", 0,
         {u"mine", u"other newest", u"other older"}},
        {"hidden and unchanged: not saved", u"mine", noStep, hiddenThen(noStep), u"mine", 0, {u"newest"}},
        {"hidden, text set during init: still unchanged", u"mine", [](Harness& d) { SendSetText(d, Edit, u"init"); },
         hiddenThen(noStep), u"init", 0, {u"newest"}},
        {"hidden, flag cleared: saved", u"mine", noStep,
         hiddenThen([](Harness& d) { d.Send(Far3::DM_EDITUNCHANGEDFLAG, Edit, nullptr); }), u"mine", 0,
         {u"mine", u"newest"}},
        {"hidden, cursor set: saved", u"mine", noStep, hiddenThen([](Harness& d) {
             Far3::COORD at{1, 0};
             d.Send(Far3::DM_SETCURSORPOS, Edit, &at);
         }),
         u"mine", 0, {u"mine", u"newest"}},
        {"hidden, text set: saved", u"mine", noStep, hiddenThen([](Harness& d) { SendSetText(d, Edit, u"set"); }),
         u"set", 1, {u"set", u"newest"}},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.History.Add(u"TestHistory", u"newest");
        dialog.History.Add(u"Other", u"other older");
        dialog.History.Add(u"Other", u"other newest");
        std::vector<Far3::FarDialogItem> items = StandardItems();
        items[Edit].Data = c.StartText;
        items[Edit].Flags |= Far3::DIF_USELASTHISTORY;
        items[Edit].History = c.StartText ? u"TestHistory" : u"Empty";
        dialog.Init(items);
        dialog.Answer = [&](intptr_t msg, intptr_t, void* param2) -> std::optional<intptr_t> {
            if (msg == Far3::DN_INITDIALOG)
                c.AtInit(dialog);
            if (msg == Far3::DN_CONTROLINPUT &&
                static_cast<Far3::INPUT_RECORD*>(param2)->Event.KeyEvent.wVirtualKeyCode == Far3::VirtualKey::F1 + 1) {
                c.AtF2(dialog);
                return 1;
            }
            return std::nullopt;
        };
        EXPECT_EQ(dialog.Run("<Tab><F2><Alt+O>"), Ok) << c.What;
        EXPECT_EQ(dialog.Text(Edit), c.Text) << c.What;
        EXPECT_EQ(dialog.Of(Far3::DN_EDITCHANGE).size(), c.EditChanges) << c.What;
        const std::u16string list = dialog.Closed().Item(Edit).History;
        EXPECT_EQ(dialog.History.Entries(list.empty() ? u"TestHistory" : list), c.Saved) << c.What;
    }
}

TEST(HistoryStore, KeptInTheLocalProfileAndLimited)
{
#if !defined(ZELVANE_HOST_NO_SQLITE)
    HostTests::TempFolder profile;
    MakeHistoryStore(profile.Path())->Add(u"Name", u"one");
    MakeHistoryStore(profile.Path())->Add(u"Name", u"two");
    EXPECT_EQ(MakeHistoryStore(profile.Path())->Entries(u"Name"), (std::vector<std::u16string>{u"two", u"one"}));
    EXPECT_TRUE(MakeHistoryStore(profile.Path())->Entries(u"Other").empty());
    EXPECT_TRUE(std::filesystem::exists(profile / "history.db"));
#endif

    MemoryHistoryStore memory;
    for (size_t i = 0; i <= HistoryStore::MaxEntries; ++i)
        memory.Add(u"Name", std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + std::u16string(i / 26 + 1, u'x'));
    EXPECT_EQ(memory.Entries(u"Name").size(), HistoryStore::MaxEntries);
}

TEST(HistoryStore, TheDropDownListTakesFarsKeys)
{
    // The list of "gamma", "beta", "alpha" (newest first) under Ctrl+Down;
    // then the keys, with the answer to Del's question.
    struct Case {
        const char* Keys;
        intptr_t Answer;
        std::u16string Text;                          // the edit afterwards
        std::vector<std::u16string> Listed;           // the store as listed afterwards
        std::vector<std::u16string> Locked;           // of those, the locked ones
        std::u16string Copied;
    };
    using L = std::vector<std::u16string>;
    const L all{u"gamma", u"beta", u"alpha"};
    const Case cases[] = {
        {"<Down><Enter>", 0, u"beta", all, {}, u""},
        {"<Down><Down><Tab>", 0, u"alpha", all, {}, u""},
        {"<Up><Up><Enter>", 0, u"gamma", all, {}, u""},                  // no wrap at the top
        {"<Down><Down><Down><Down><Enter>", 0, u"alpha", all, {}, u""},   // nor at the bottom
        {"<PgDn><PgUp><End><Home><Enter>", 0, u"gamma", all, {}, u""},
        {"<Down><Esc>", 0, u"abc", all, {}, u""},
        {"<Down><Shift+Del><Enter>", 0, u"alpha", {u"gamma", u"alpha"}, {}, u""},
        {"<Down><Ins><Esc>", 0, u"abc", {u"beta", u"gamma", u"alpha"}, {u"beta"}, u""},
        {"<Down><Ins><Ins><Esc>", 0, u"abc", all, {}, u""},
        {"<Down><Ins><Shift+Del><Enter>", 0, u"beta", {u"beta", u"gamma", u"alpha"}, {u"beta"}, u""},
        {"<Down><Down><Ins><Del><Enter>", 0, u"alpha", {u"alpha"}, {u"alpha"}, u""},
        {"<Del><Enter>", 1, u"gamma", all, {}, u""},
        {"<Del>", 0, u"abc", {}, {}, u""},                               // the emptied list closes
        {"<Down><Ctrl+C><Esc>", 0, u"abc", all, {}, u"beta"},
        {"<End><Ctrl+Ins><Enter>", 0, u"alpha", all, {}, u"alpha"},
    };
    for (const Case& c : cases) {
        Harness dialog;
        for (const char16_t* entry : {u"alpha", u"beta", u"gamma"})
            dialog.History.Add(u"TestHistory", entry);
        dialog.User.QueueAnswer(c.Answer);
        dialog.Init(StandardItems());
        dialog.Run(std::string("<Ctrl+Down>") + c.Keys);
        EXPECT_EQ(dialog.Closed().Item(Edit).Text, c.Text) << c.Keys;
        L listed, locked;
        for (const HistoryEntry& entry : dialog.History.Listed(u"TestHistory")) {
            listed.push_back(entry.Text);
            if (entry.Locked)
                locked.push_back(entry.Text);
        }
        EXPECT_EQ(listed, c.Listed) << c.Keys;
        EXPECT_EQ(locked, c.Locked) << c.Keys;
        EXPECT_EQ(dialog.Service.HostClipboard().Text(), c.Copied) << c.Keys;
        // Del asks first, as a warning.
        const bool asked = std::string_view(c.Keys).find("<Del>") != std::string_view::npos;
        ASSERT_EQ(dialog.User.Messages().size(), asked ? 1u : 0u) << c.Keys;
        if (asked) {
            EXPECT_TRUE(dialog.User.Messages()[0].Flags & Far3::FMSG_WARNING);
        }
    }

    // The list as drawn: a single frame under the edit, a date row first,
    // a tick on the locked entry, at most eight rows.
    Harness shown;
    for (int i = 0; i < 12; ++i)
        shown.History.Add(u"TestHistory", u"entry" + std::u16string(1, static_cast<char16_t>(u'a' + i)));
    shown.History.SetLocked(u"TestHistory", u"entrya", true);
    shown.Init(StandardItems(), 0, 0, 40, 8);
    std::vector<std::u16string> painted; // the list's columns, a row per screen row
    DialogView::HistoryListView list;
    shown.User.QueueKeys("<Ctrl+Down><End>");
    shown.User.QueueCheck([&](const DialogView& view) {
        list = view.HistoryList;
        CellGrid grid(80, 25);
        PaintDialog(view, grid);
        for (int y = 0; y < grid.Height(); ++y) {
            painted.emplace_back();
            for (int x = 5; x <= 34; ++x)
                painted.back() += grid.At(x, y).Char;
        }
    });
    shown.Run("<Esc><Esc>");
    ASSERT_EQ(list.Rows.size(), 13u);
    EXPECT_TRUE(list.Rows[0].Separator);
    EXPECT_EQ(list.Rows[0].Text, HistoryDropDown::DateCaption(HistoryTimeNow()));
    EXPECT_EQ(list.Rows[1].Text, u"entrya");
    EXPECT_TRUE(list.Rows[1].Locked);
    EXPECT_EQ(list.Selected, 12u);
    EXPECT_EQ(list.Top, 5u);
    // The edit is at row 3, columns 5 to 33, its arrow at 34.
    ASSERT_EQ(painted.size(), 25u);
    EXPECT_EQ(painted[4], u"┌" + std::u16string(28, u'─') + u"┐");
    EXPECT_EQ(painted[5].substr(0, 9), u"│  entryi");
    EXPECT_EQ(painted[12].substr(0, 9), u"│  entryb");
    EXPECT_EQ(painted[13], u"└" + std::u16string(28, u'─') + u"┘");
    EXPECT_EQ(painted[14].substr(0, 1), u" ");

    // Home shows the date row and the locked entry, ticked.
    Harness top;
    top.History.Add(u"TestHistory", u"one");
    top.History.SetLocked(u"TestHistory", u"one", true);
    top.Init(StandardItems(), 0, 0, 40, 8);
    std::vector<std::u16string> rows;
    top.User.QueueKeys("<Ctrl+Down>");
    top.User.QueueCheck([&](const DialogView& view) {
        CellGrid grid(80, 25);
        PaintDialog(view, grid);
        for (int y = 5; y <= 6; ++y) {
            rows.emplace_back();
            for (int x = 5; x <= 34; ++x)
                rows.back() += grid.At(x, y).Char;
        }
    });
    top.Run("<Esc><Esc>");
    ASSERT_EQ(rows.size(), 2u);
    const std::u16string caption = u" " + HistoryDropDown::DateCaption(HistoryTimeNow()) + u" ";
    const size_t dashes = 28 - caption.size();
    EXPECT_EQ(rows[0], u"├" + std::u16string(dashes / 2, u'─') + caption + std::u16string(dashes - dashes / 2, u'─') + u"┤");
    EXPECT_EQ(rows[1].substr(0, 7), u"│√ one ");
}

TEST(HistoryStore, KeepsLocksAndTimesInFarsTable)
{
#if !defined(ZELVANE_HOST_NO_SQLITE)
    // A history.db as earlier hosts wrote it: every entry unlocked, two days.
    HostTests::TempFolder profile;
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((profile / "history.db").string().c_str(), &db), SQLITE_OK);
        const char* rows =
            "CREATE TABLE history(id INTEGER PRIMARY KEY, kind INTEGER NOT NULL, key TEXT NOT NULL, "
            "type INTEGER NOT NULL, lock INTEGER NOT NULL, name TEXT NOT NULL, time INTEGER NOT NULL, "
            "guid TEXT NOT NULL, file TEXT NOT NULL, data TEXT NOT NULL);"
            "INSERT INTO history(kind, key, type, lock, name, time, guid, file, data) VALUES "
            "(3, 'Name', 0, 0, 'old', 133000000000000000, '', '', ''),"
            "(3, 'Name', 0, 0, 'Same', 133000000010000000, '', '', ''),"
            "(3, 'Name', 0, 0, 'newer', 133100000000000000, '', '', ''),"
            "(1, 'Name', 0, 0, 'a command', 133100000000000000, '', '', '');";
        EXPECT_EQ(sqlite3_exec(db, rows, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    const auto texts = [](const std::vector<HistoryEntry>& entries) {
        std::vector<std::u16string> found;
        for (const HistoryEntry& entry : entries)
            found.push_back(entry.Text + (entry.Locked ? u"*" : u""));
        return found;
    };
    using L = std::vector<std::u16string>;
    std::vector<HistoryEntry> read = MakeHistoryStore(profile.Path())->Listed(u"Name");
    EXPECT_EQ(texts(read), (L{u"newer", u"Same", u"old"}));
    EXPECT_EQ(HistoryDropDown(read).View(0).Rows.size(), 5u); // two days, two date rows

    MakeHistoryStore(profile.Path())->SetLocked(u"Name", u"old", true);
    MakeHistoryStore(profile.Path())->SetLocked(u"Name", u"Same", true);
    EXPECT_EQ(texts(MakeHistoryStore(profile.Path())->Listed(u"Name")), (L{u"Same*", u"old*", u"newer"}));
    // Re-adding replaces one equal entry, ignoring case, and keeps its lock.
    MakeHistoryStore(profile.Path())->Add(u"Name", u"SAME");
    EXPECT_EQ(texts(MakeHistoryStore(profile.Path())->Listed(u"Name")), (L{u"SAME*", u"old*", u"newer"}));
    EXPECT_EQ(MakeHistoryStore(profile.Path())->Entries(u"Name"), (L{u"SAME", u"newer", u"old"}));
    // Shift+Del and Del leave locked entries alone.
    EXPECT_FALSE(MakeHistoryStore(profile.Path())->Remove(u"Name", u"old"));
    MakeHistoryStore(profile.Path())->ClearUnlocked(u"Name");
    EXPECT_EQ(texts(MakeHistoryStore(profile.Path())->Listed(u"Name")), (L{u"SAME*", u"old*"}));
#endif

    // The size limit drops unlocked entries only.
    MemoryHistoryStore memory;
    memory.Add(u"Name", u"kept");
    memory.SetLocked(u"Name", u"kept", true);
    for (size_t i = 0; i < HistoryStore::MaxEntries; ++i)
        memory.Add(u"Name", u"entry " + Utf8ToUtf16(std::to_string(i)));
    const std::vector<HistoryEntry> listed = memory.Listed(u"Name");
    ASSERT_EQ(listed.size(), HistoryStore::MaxEntries + 1);
    EXPECT_EQ(listed.front().Text, u"kept");
    EXPECT_TRUE(listed.front().Locked);
}

TEST(DialogMessages, AnswerAsFarDoes)
{
    Harness dialog;
    dialog.Init(StandardItems());
    dialog.Run("<Esc>");

    // Buttons: brackets in the item, not in DM_GETTEXT.
    EXPECT_EQ(dialog.Text(Ok), u"&OK");
    const intptr_t size = dialog.Send(Far3::DM_GETDLGITEM, Ok);
    ASSERT_GT(size, static_cast<intptr_t>(sizeof(Far3::FarDialogItem)));
    std::vector<std::byte> buffer(static_cast<size_t>(size));
    auto* record = reinterpret_cast<Far3::FarDialogItem*>(buffer.data());
    Far3::FarGetDialogItem request{sizeof request, buffer.size(), record};
    EXPECT_EQ(dialog.Send(Far3::DM_GETDLGITEM, Ok, &request), size);
    EXPECT_EQ(PluginText(record->Data), u"{ &OK }");
    EXPECT_NE(record->History, nullptr);
    EXPECT_EQ(PluginText(record->History), u"");
    request.Size = buffer.size() - 1;
    EXPECT_EQ(dialog.Send(Far3::DM_GETDLGITEM, Ok, &request), size);

    // Item changes: the same type only.
    Far3::FarDialogItem changed = *static_cast<Far3::FarDialogItem*>(record);
    changed.Flags |= Far3::DIF_DISABLE;
    EXPECT_EQ(dialog.Send(Far3::DM_SETDLGITEM, Ok, &changed), 1);
    EXPECT_EQ(dialog.Text(Ok), u"&OK");
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLE, Ok, reinterpret_cast<void*>(-1)), 0);
    changed.Type = Far3::DI_CHECKBOX;
    EXPECT_EQ(dialog.Send(Far3::DM_SETDLGITEM, Ok, &changed), 0);

    // Queries and switches return the previous state.
    struct Case {
        intptr_t Msg, Item, Param2, Result;
    };
    const Case cases[] = {
        {Far3::DM_ENABLE, Edit, 0, 1},
        {Far3::DM_ENABLE, Edit, -1, 0},
        {Far3::DM_ENABLE, Edit, 1, 0},
        {Far3::DM_SHOWITEM, Check, 0, 1},
        {Far3::DM_SHOWITEM, Check, -1, 0},
        {Far3::DM_SETCHECK, Check, Far3::BSTATE_CHECKED, 0},
        {Far3::DM_GETCHECK, Check, 0, 1},
        {Far3::DM_SETCHECK, Check, Far3::BSTATE_TOGGLE, 1},
        {Far3::DM_GETCHECK, Edit, 0, 0},
        {Far3::DM_EDITUNCHANGEDFLAG, Edit, 0, 1},
        {Far3::DM_EDITUNCHANGEDFLAG, Edit, -1, 0},
        {Far3::DM_ENABLE, 99, 1, 0}, // no such item
    };
    for (const Case& c : cases)
        EXPECT_EQ(dialog.Send(c.Msg, c.Item, reinterpret_cast<void*>(c.Param2)), c.Result)
            << "message " << c.Msg << " item " << c.Item;

    // The redraw counter goes negative and back.
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 0), 0);
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 0), -1);
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 1), -2);
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 1), -1);
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 1), 0);
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 5), 0);

    // A dead handle is refused, never followed.
    Far3::HANDLE dead = reinterpret_cast<Far3::HANDLE>(0x1234);
    EXPECT_EQ(dialog.Service.Send(dead, Far3::DM_GETTEXT, 0, nullptr), 0);
    EXPECT_EQ(dialog.Service.Send(dead, Far3::DM_GETFOCUS, 0, nullptr), -1);
    dialog.Service.Free(dialog.Handle);
    EXPECT_EQ(dialog.Service.Count(), 0u);
    EXPECT_EQ(dialog.Send(Far3::DM_GETTEXT, Edit), 0);
}

TEST(DialogMessages, GeometryIsTheHostsOwn)
{
    Harness dialog;
    dialog.User.SetScreen(ScreenSize{80, 25});
    dialog.Init(StandardItems());
    dialog.Run("<Esc>");
    auto position = [&](intptr_t item) {
        Far3::SMALL_RECT rect{};
        EXPECT_EQ(dialog.Send(Far3::DM_GETITEMPOSITION, item, &rect), 1);
        return std::vector<int>{rect.Left, rect.Top, rect.Right, rect.Bottom};
    };
    // The buttons are centred together on the whole width, one space apart:
    // "{ OK }" and "[ Cancel ]" in 40 columns start at 11 and 18.
    EXPECT_EQ(position(Ok), (std::vector<int>{11, 5, 17, 5}));
    EXPECT_EQ(position(Cancel), (std::vector<int>{18, 5, 28, 5}));
    EXPECT_EQ(position(Check), (std::vector<int>{5, 4, 14, 4}));
    EXPECT_EQ(position(Frame), (std::vector<int>{3, 1, 36, 6}));
    EXPECT_EQ(position(Edit), (std::vector<int>{5, 3, 33, 3}));

    auto screenRect = [&] {
        Far3::SMALL_RECT rect{};
        EXPECT_EQ(dialog.Send(Far3::DM_GETDLGRECT, 0, &rect), 1);
        return std::vector<int>{rect.Left, rect.Top, rect.Right, rect.Bottom};
    };
    EXPECT_EQ(screenRect(), (std::vector<int>{20, 8, 59, 15}));
    // Resizing keeps the corner; moving to -1, -1 centres again.
    Far3::COORD size{60, 10};
    EXPECT_EQ(dialog.Send(Far3::DM_RESIZEDIALOG, 0, &size), reinterpret_cast<intptr_t>(&size));
    EXPECT_EQ(screenRect(), (std::vector<int>{20, 8, 79, 17}));
    Far3::COORD centre{-1, -1};
    dialog.Send(Far3::DM_MOVEDIALOG, 1, &centre);
    EXPECT_EQ(screenRect(), (std::vector<int>{10, 7, 69, 16}));
    EXPECT_EQ(centre.X, 10);

    Far3::SMALL_RECT wrong{10, 3, 5, 3};
    EXPECT_EQ(dialog.Send(Far3::DM_SETITEMPOSITION, Edit, &wrong), 0);
    Far3::SMALL_RECT tall{6, 3, 20, 6};
    EXPECT_EQ(dialog.Send(Far3::DM_SETITEMPOSITION, Edit, &tall), 1);
    EXPECT_EQ(position(Edit), (std::vector<int>{6, 3, 20, 3})); // a one-line edit stays one row
}

TEST(DialogRun, AConsoleResizeIsReportedAndTheDialogCentredAgain)
{
    struct Case {
        const char* What;
        intptr_t X1, Y1;
        ScreenSize Size;
        int Left, Top;
    };
    const Case cases[] = {
        {"centred", -1, -1, {100, 30}, 30, 11},
        {"placed, still on the screen", 5, 3, {60, 15}, 5, 3},
        {"placed, its corner beyond the new size", 70, 20, {60, 15}, 59, 14},
        {"placed, only its left beyond", 70, 2, {60, 15}, 59, 2},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.User.SetScreen(ScreenSize{120, 40});
        dialog.Init(StandardItems(), c.X1, c.Y1, c.X1 < 0 ? 40 : c.X1 + 39, c.Y1 < 0 ? 8 : c.Y1 + 7);
        std::optional<Far3::COORD> reported;
        dialog.Answer = [&](intptr_t msg, intptr_t, void* param2) -> std::optional<intptr_t> {
            if (msg == Far3::DN_RESIZECONSOLE)
                reported = *static_cast<Far3::COORD*>(param2);
            return std::nullopt;
        };
        dialog.User.QueueResize(c.Size);
        dialog.Run("<Esc>");
        ASSERT_TRUE(reported) << c.What;
        EXPECT_EQ(reported->X, c.Size.Width) << c.What;
        EXPECT_EQ(reported->Y, c.Size.Height) << c.What;
        EXPECT_EQ(dialog.Closed().Left, c.Left) << c.What;
        EXPECT_EQ(dialog.Closed().Top, c.Top) << c.What;
    }
}

// Ctrl+F5 and then the keys of the move, which the procedure never sees;
// the script ends with the Esc that closes the dialog. The dialog starts
// centred at 20, 8 on an 80 x 25 screen.
TEST(DialogRun, TheKeyboardMovesTheDialog)
{
    struct Case {
        const char* Keys;
        bool Refuse;
        int Left, Top;
        std::vector<intptr_t> Drags; // DN_DRAGGED's Param1 * 10 + Param2
        size_t ControlInputs;
    };
    const Case cases[] = {
        {"<Ctrl+F5><Right><Down><Enter><Esc>", false, 21, 9, {0, 10}, 1},
        {"<Ctrl+F5><Ctrl+Left><Ctrl+Up><Ctrl+F5><Esc>", false, 10, 3, {0, 10}, 1},
        {"<Ctrl+F5><Home><PgUp><Enter><Esc>", false, 0, 0, {0, 10}, 1},
        {"<Ctrl+F5><End><PgDn><Right><x><Enter><Esc>", false, 41, 17, {0, 10}, 1},
        {"<Ctrl+F5><Right><Right><Esc><Esc>", false, 20, 8, {0, 11}, 1},
        {"<Ctrl+F5><Right><Esc>", true, 20, 8, {0}, 2},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.User.SetScreen(ScreenSize{80, 25});
        dialog.Init(StandardItems());
        std::vector<intptr_t> drags;
        dialog.Answer = [&](intptr_t msg, intptr_t param1, void* param2) -> std::optional<intptr_t> {
            if (msg != Far3::DN_DRAGGED)
                return std::nullopt;
            drags.push_back(param1 * 10 + reinterpret_cast<intptr_t>(param2));
            return c.Refuse ? 0 : 1;
        };
        EXPECT_EQ(dialog.Run(c.Keys), -1) << c.Keys;
        EXPECT_FALSE(dialog.User.RanOutOfInput()) << c.Keys;
        EXPECT_EQ(dialog.Closed().Left, c.Left) << c.Keys;
        EXPECT_EQ(dialog.Closed().Top, c.Top) << c.Keys;
        EXPECT_EQ(drags, c.Drags) << c.Keys;
        EXPECT_EQ(dialog.Of(Far3::DN_CONTROLINPUT).size(), c.ControlInputs) << c.Keys;
    }
}

// The mouse as Far's dialogs take it. A script step is "L x y" (left
// click: press and release), "R x y" (right click), "P x y" / "M x y" /
// "U x y" (left press, move with it held, release), "list n" (the choice
// in the list that drops down) or "keys ...", with x and y counted from
// the dialog's first place on the screen (20, 8). The procedure may take
// the mouse presses, refuse the drag or take Enter.
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

TEST(DialogRun, CloseFromTheProcedureAndFreeWhileRunning)
{
    Harness dialog;
    dialog.Init(StandardItems());
    dialog.Answer = [&](intptr_t msg, intptr_t, void*) -> std::optional<intptr_t> {
        if (msg == Far3::DN_INITDIALOG) {
            // Freed inside its own run: gone once the run returns.
            dialog.Service.Free(dialog.Handle);
            EXPECT_EQ(dialog.Send(Far3::DM_CLOSE, -1), 1);
        }
        return std::nullopt;
    };
    EXPECT_EQ(dialog.Run(), Edit); // DM_CLOSE with -1 closes with the focused item
    EXPECT_EQ(dialog.Of(Far3::DN_GOTFOCUS).size(), 0u);
    EXPECT_EQ(dialog.Service.Count(), 0u);
}

TEST(DialogPainter, DrawsTheDialogAsFarDoes)
{
    Harness dialog;
    dialog.Init(StandardItems());
    dialog.Run("<Tab><Space><Esc>");
    const std::vector<std::string> expected{
        "                                        ",
        "   ╔════════════ Title ═════════════╗   ",
        "   ║ Name:                          ║   ",
        "   ║ abc                          ↓ ║   ",
        "   ║ [x] Check                      ║   ",
        "   ║       { OK } [ Cancel ]        ║   ",
        "   ╚════════════════════════════════╝   ",
        "                                        ",
    };
    EXPECT_EQ(DialogText(dialog.Closed()), expected);
    const DialogItemView& edit = dialog.Closed().Item(Edit);
    EXPECT_TRUE(edit.Unchanged);
    EXPECT_EQ(edit.History, u"TestHistory");
    EXPECT_EQ(dialog.Closed().Item(Ok).Shown, u"{ OK }");
    EXPECT_EQ(dialog.Closed().Item(Ok).Hotkey, 2u);

    // The focused button takes the focus colour, and loses it when disabled.
    Harness disabled;
    disabled.Init(StandardItems());
    std::vector<Far3::FarColor> focusedColors, disabledColors;
    disabled.User.QueueKeys("<Tab><Tab>");
    disabled.User.QueueCheck([&](const DialogView& view) {
        focusedColors = view.Item(Ok).Colors;
        disabled.Send(Far3::DM_ENABLE, Ok, nullptr);
    });
    disabled.User.QueueKeys("<Shift+Space>"); // does nothing; the dialog is drawn again
    disabled.User.QueueCheck([&](const DialogView& view) { disabledColors = view.Item(Ok).Colors; });
    disabled.Run("<Esc>");
    ASSERT_FALSE(focusedColors.empty());
    ASSERT_FALSE(disabledColors.empty());
    EXPECT_TRUE(SameColor(focusedColors[0], ConsoleColor(0, 3)));   // black on cyan
    EXPECT_TRUE(SameColor(disabledColors[0], ConsoleColor(8, 7)));  // dark gray on light gray
}

// Items on the first row of a 21-column dialog, as Far lays out and draws
// them: centred groups, check box marks, button brackets, '&' marks, box
// titles and separator captions.
TEST(DialogPainter, ItemsLookAsFarDrawsThem)
{
    const uint64_t group = Far3::DIF_CENTERGROUP;
    auto checked = [](Far3::FarDialogItem item, intptr_t state) {
        item.Selected = state;
        return item;
    };
    struct Case {
        const char* What;
        std::vector<Far3::FarDialogItem> Items;
        std::string Row;
        size_t HotkeyCell; // column of the hotkey; npos: none
    };
    const size_t none = std::string::npos;
    const Case cases[] = {
        {"a group of check boxes", {Item(Far3::DI_CHECKBOX, 0, 0, 0, 0, u"A", group),
                                    Item(Far3::DI_CHECKBOX, 0, 0, 0, 0, u"B", group)},
         "    [ ] A [ ] B      ", none},
        {"a group of texts", {Item(Far3::DI_TEXT, 0, 0, 0, 0, u"ab", group), Item(Far3::DI_TEXT, 0, 0, 0, 0, u"cd", group)},
         "        abcd         ", none},
        {"a group of buttons", {Item(Far3::DI_BUTTON, 0, 0, 0, 0, u"OK", group)}, "       [ OK ]        ", none},
        {"state 2 on a two-state box", {checked(Item(Far3::DI_CHECKBOX, 1, 0, 0, 0, u"Two"), 2)},
         " [x] Two             ", none},
        {"state 2 on a three-state box",
         {checked(Item(Far3::DI_CHECKBOX, 1, 0, 0, 0, u"Two", Far3::DIF_3STATE), 2)}, " [?] Two             ", none},
        {"a check box without a text", {checked(Item(Far3::DI_CHECKBOX, 1, 0, 0, 0, u""), 1)},
         " [x]                 ", none},
        {"a button that brings its brackets", {Item(Far3::DI_BUTTON, 1, 0, 0, 0, u"[Browse]")},
         " [Browse]            ", none},
        {"a button without a text", {Item(Far3::DI_BUTTON, 1, 0, 0, 0, u"")}, "                     ", none},
        {"a later '&' is dropped", {Item(Far3::DI_TEXT, 1, 0, 0, 0, u"a&b&c")}, " abc                 ", 2},
        {"'&&' and a last lone '&'", {Item(Far3::DI_TEXT, 1, 0, 0, 0, u"a&&b&")}, " a&b                 ", none},
        {"'&&&' makes '&' the hotkey", {Item(Far3::DI_TEXT, 1, 0, 0, 0, u"&&&x&&y")}, " &x&y                ", 1},
        {"a box title too long", {Item(Far3::DI_DOUBLEBOX, 0, 0, 20, 2, u"abcdefghijklmnopqrstuvwxyz")},
         "╔abcdefghijklmnopqr…╗", none},
        {"a box title one short of the room", {Item(Far3::DI_DOUBLEBOX, 0, 0, 20, 2, u"abcdefghijklmnopqr")},
         " abcdefghijklmnopqr ╗", none},
        {"a separator caption with its own space",
         {Item(Far3::DI_TEXT, -1, 0, 0, 0, u" Cap", Far3::DIF_SEPARATOR)}, "   ╟──── Cap ────╢   ", none},
        {"a separator caption at its column", {Item(Far3::DI_TEXT, 5, 0, 0, 0, u"Cap", Far3::DIF_SEPARATOR)},
         "   ╟─ Cap ───────╢   ", none},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.Init(c.Items, -1, -1, 21, 3);
        dialog.Run("<Esc>");
        EXPECT_EQ(DialogText(dialog.Closed()).at(0), c.Row) << c.What;
        size_t hotkey = none;
        for (const DialogItemView& item : dialog.Closed().Items)
            if (item.Hotkey != none)
                hotkey = static_cast<size_t>(item.Left - dialog.Closed().Left) + item.Hotkey;
        EXPECT_EQ(hotkey, c.HotkeyCell) << c.What;
    }

    // DM_SETTEXT on a button answers with the length the brackets included.
    Harness dialog;
    dialog.Init(StandardItems());
    dialog.Answer = [&](intptr_t msg, intptr_t, void*) -> std::optional<intptr_t> {
        if (msg == Far3::DN_INITDIALOG) {
            std::u16string text = u"&Stop";
            Far3::FarDialogItemData data{sizeof data, text.size(), text.data()};
            EXPECT_EQ(dialog.Send(Far3::DM_SETTEXT, Cancel, &data), 9);
            EXPECT_EQ(dialog.Send(Far3::DM_SETTEXT, Edit, &data), 5);
        }
        return std::nullopt;
    };
    dialog.Run("<Esc>");
    EXPECT_EQ(dialog.Text(Cancel), u"&Stop");
}

// The procedure's drawing answers: DN_CTLCOLORDIALOG's colour clears the
// dialog area; DN_DRAWDLGITEMDONE comes with no item.
TEST(DialogPainter, TheProcedureColoursTheDialog)
{
    const Far3::FarColor blue = ConsoleColor(15, 1);
    struct Case {
        const char* What;
        std::optional<Far3::FarColor> Written;
        Far3::FarColor Expected;
    };
    const Case cases[] = {
        {"left alone", std::nullopt, ConsoleColor(0, 7)},
        {"recoloured", blue, blue},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.User.SetScreen(ScreenSize{80, 25});
        dialog.Init(StandardItems());
        size_t itemsDone = 0, withItem = 0;
        dialog.Answer = [&](intptr_t msg, intptr_t, void* param2) -> std::optional<intptr_t> {
            if (msg == Far3::DN_CTLCOLORDIALOG && c.Written)
                *static_cast<Far3::FarColor*>(param2) = *c.Written;
            if (msg == Far3::DN_DRAWDLGITEMDONE) {
                ++itemsDone;
                withItem += param2 != nullptr;
            }
            return std::nullopt;
        };
        dialog.Run("<Esc>");
        CellGrid screen(80, 25);
        PaintDialog(dialog.Closed(), screen);
        const Far3::FarColor cell = screen.At(dialog.Closed().Left + 1, dialog.Closed().Top).Color;
        EXPECT_EQ(cell.BackgroundColor, c.Expected.BackgroundColor) << c.What;
        EXPECT_EQ(cell.ForegroundColor, c.Expected.ForegroundColor) << c.What;
        EXPECT_GT(itemsDone, 0u) << c.What;
        EXPECT_EQ(withItem, 0u) << c.What;
    }
}

// The line mode prints only the part of a dialog that is on the screen.
TEST(DialogPainter, TheLineModeShowsOnlyWhatIsOnTheScreen)
{
    Harness dialog;
    dialog.Init({Item(Far3::DI_DOUBLEBOX, 0, 0, 19, 2, u"Title"), Item(Far3::DI_TEXT, 1, 1, 0, 1, u"0123456789abcdefgh")},
                0, 0, 19, 2);
    dialog.Run("<Esc>");
    const DialogView placed = dialog.Closed();
    const std::vector<std::string> whole = DialogText(placed);
    ASSERT_EQ(whole.size(), 3u);
    // The rows [top, bottom) and columns [left, right) of the whole dialog.
    auto part = [&](int left, int top, int right, int bottom) {
        std::vector<std::string> rows;
        for (int y = top; y < bottom; ++y)
            rows.push_back(Utf16ToUtf8(Utf8ToUtf16(whole[static_cast<size_t>(y)]).substr(left, right - left)));
        return rows;
    };
    struct Case {
        const char* What;
        int X, Y, ScreenWidth, ScreenHeight;
        std::vector<std::string> Rows;
    };
    const Case cases[] = {
        {"on the screen", 0, 0, 80, 25, whole},
        {"a smaller screen", 0, 0, 10, 2, part(0, 0, 10, 2)},
        {"above and left of it", -5, -1, 80, 25, part(5, 1, 20, 3)},
        {"below and right of it", 75, 23, 80, 25, part(0, 0, 5, 2)},
        {"beyond it", 100, 0, 80, 25, {}},
    };
    for (const Case& c : cases) {
        DialogView moved = placed;
        moved.Left += c.X;
        moved.Top += c.Y;
        for (DialogItemView& item : moved.Items) {
            item.Left += c.X;
            item.Right += c.X;
            item.Top += c.Y;
            item.Bottom += c.Y;
        }
        EXPECT_EQ(DialogText(moved, c.ScreenWidth, c.ScreenHeight), c.Rows) << c.What;
    }

    // A dialog of a trillion cells prints a screenful.
    DialogView huge;
    huge.Width = huge.Height = 1'000'000;
    EXPECT_EQ(DialogText(huge, 80, 25), std::vector<std::string>(25, std::string(80, ' ')));
}

TEST(DialogPainter, LongTextsStopShortOfTheFrame)
{
    const std::u16string longText(30, u'x');
    const std::string ten(10, 'x');
    struct Case {
        const char* What;
        intptr_t X1, X2;
        Far3::FARDIALOGFLAGS Flags;
        std::u16string Text;
        std::string Row;
    };
    for (const Case& c : {
             Case{"from a column", 5, 0, 0, longText, "   ║ " + ten + " ║   "},
             Case{"centred", -1, 0, 0, longText, "   ║ " + ten + " ║   "},
             Case{"wider than the frame", 5, 18, 0, longText, "   ║ " + ten + " ║   "},
             Case{"short and centred", -1, 0, 0, u"abc", "   ║    abc     ║   "},
             Case{"small, from a column", 1, 0, Far3::FDLG_SMALLDIALOG, longText, "║" + std::string(17, 'x') + " ║"},
             Case{"small, centred", -1, 0, Far3::FDLG_SMALLDIALOG, longText, "║ " + std::string(16, 'x') + " ║"},
         }) {
        const bool small = (c.Flags & Far3::FDLG_SMALLDIALOG) != 0;
        Harness dialog;
        dialog.Init({Item(Far3::DI_DOUBLEBOX, small ? 0 : 3, 0, small ? 19 : 16, 2),
                     Item(Far3::DI_TEXT, c.X1, 1, c.X2, 1, c.Text.c_str())},
                    -1, -1, 20, 3, c.Flags);
        dialog.Run("<Esc>");
        EXPECT_EQ(DialogText(dialog.Closed()).at(1), c.Row) << c.What;
        // The whole text is still the item's own.
        EXPECT_EQ(dialog.Text(1), c.Text) << c.What;
    }
}

} // namespace
