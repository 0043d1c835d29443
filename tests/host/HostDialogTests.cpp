// A dialog's life and its items' own actions: DialogInit's checks and
// copies, the run's events, the start, the close, button and check box
// answers, edits' starting and changed texts.
#include "DialogHarness.h"

#include <gtest/gtest.h>

using namespace Host;
using namespace HostDialogTesting;

namespace {

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

} // namespace
