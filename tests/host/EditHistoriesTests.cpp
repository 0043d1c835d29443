// The edits' histories: what a dialog keeps and when, the history
// messages, the store in the local profile and its drop-down list.
#include "DialogHarness.h"

#include "TempFolder.h"
#include "host/dialogs/DialogPainter.h"
#include "host/dialogs/HistoryDropDown.h"

#include <gtest/gtest.h>

#include <cstdio>
#if !defined(ZELVANE_HOST_NO_SQLITE)
#include <sqlite3.h>
#endif

using namespace Host;
using namespace HostDialogTesting;

namespace {

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

} // namespace
