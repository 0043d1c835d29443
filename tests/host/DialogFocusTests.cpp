// The focus and its rules: what can take it, the events of a change, the
// arrows and labels, the text marked on each focus.
#include "DialogHarness.h"

#include <gtest/gtest.h>

using namespace Host;
using namespace HostDialogTesting;

namespace {

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

} // namespace
