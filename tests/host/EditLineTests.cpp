// The dialogs' edit line driven by keys, as a person edits in Far: each
// table row is the keys typed into the edit "abc def" of a running dialog
// and what follows: the text, the cursor, the marked block, and how many
// DN_EDITCHANGE reports the procedure heard.
#include "host/text/HostText.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/services/DialogService.h"

#include <gtest/gtest.h>

#include <optional>

using namespace Host;

namespace {

constexpr Far3::GUID EditPluginGuid{0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
constexpr Far3::GUID EditDialogGuid{0xED17, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 12}};

Far3::FarDialogItem Item(Far3::FARDIALOGITEMTYPES type, intptr_t x1, intptr_t x2, intptr_t y, const char16_t* text,
                         uint64_t flags = 0, const char16_t* history = nullptr)
{
    Far3::FarDialogItem item{};
    item.Type = type;
    item.X1 = x1;
    item.Y1 = y;
    item.X2 = x2;
    item.Y2 = y;
    item.Data = text;
    item.Flags = flags | (history ? Far3::DIF_HISTORY : 0);
    item.History = history;
    return item;
}

enum : intptr_t { EditIndex = 1, OkIndex = 2 };

// A box, the edit, OK; the procedure counts DN_EDITCHANGE.
struct EditDialog {
    explicit EditDialog(const char16_t* text = u"abc def", uint64_t flags = 0, const char16_t* history = nullptr,
                        intptr_t maxLength = 0)
    {
        Current = this;
        Service.SetPlugin(EditPluginGuid);
        Service.SetPanelNames([](PanelText which) -> std::u16string {
            switch (which) {
            case PanelText::ActiveFile: return u"photo.jpg";
            case PanelText::PassiveFile: return u"other.txt";
            case PanelText::LeftFolder: return u"/left/";
            case PanelText::RightFolder: return u"/right/";
            }
            return {};
        });
        std::vector<Far3::FarDialogItem> items{
            Item(Far3::DI_DOUBLEBOX, 3, 56, 1, u"Edit"),
            Item(Far3::DI_EDIT, 5, 34, 2, text, flags, history),
            Item(Far3::DI_BUTTON, 0, 0, 3, u"OK", Far3::DIF_CENTERGROUP | Far3::DIF_DEFAULTBUTTON),
        };
        items[0].Y2 = 4;
        items[EditIndex].MaxLength = static_cast<size_t>(maxLength);
        Handle = Service.Init(&EditPluginGuid, &EditDialogGuid, -1, -1, 60, 6, nullptr, items.data(), items.size(), 0, Proc,
                              nullptr);
    }
    ~EditDialog() { Current = nullptr; }

    intptr_t Run(std::string_view keys)
    {
        User.QueueKeys(keys);
        return Service.Run(Handle);
    }
    // The edit as it was when the last key was read.
    const DialogItemView& Edit() const { return User.Dialogs().back().Closed.Item(EditIndex); }

    static intptr_t Proc(Far3::HANDLE dialog, intptr_t msg, intptr_t param1, void* param2)
    {
        if (msg == Far3::DN_EDITCHANGE)
            Current->Changes.emplace_back(PluginText(static_cast<Far3::FarDialogItem*>(param2)->Data));
        return Current->Service.DefProc(dialog, msg, param1, param2);
    }

    ScriptedFrontEnd User;
    MemoryHistoryStore History;
    DialogService Service{User, History};
    Far3::HANDLE Handle = Far3::InvalidHandleValue;
    std::vector<std::u16string> Changes;
    static inline EditDialog* Current = nullptr;
};

struct Row {
    const char* Keys;
    std::u16string Text;
    size_t Cursor;
    size_t BlockStart, BlockEnd; // equal: no block
    size_t Changes;
};

void Check(const Row& row, EditDialog& dialog)
{
    dialog.Run(std::string(row.Keys) + "<Esc>");
    const DialogItemView& edit = dialog.Edit();
    EXPECT_EQ(edit.Text, row.Text) << row.Keys;
    EXPECT_EQ(edit.Cursor, row.Cursor) << row.Keys;
    EXPECT_EQ(edit.BlockEnd > edit.BlockStart ? edit.BlockStart : 0, row.BlockStart) << row.Keys;
    EXPECT_EQ(edit.BlockEnd > edit.BlockStart ? edit.BlockEnd : 0, row.BlockEnd) << row.Keys;
    EXPECT_EQ(dialog.Changes.size(), row.Changes) << row.Keys;
    EXPECT_FALSE(dialog.User.RanOutOfInput()) << row.Keys;
}

} // namespace

TEST(EditLine, MarksABlockThatTypingAndDeletingReplace)
{
    const Row rows[] = {
        {"<Shift+Home>x", u"x", 1, 0, 0, 1},
        {"<Shift+Left><Shift+Left>", u"abc def", 5, 5, 7, 0},
        {"<Home><Shift+Right><Shift+Right>Z", u"Zc def", 1, 0, 0, 1},
        {"<Home><Shift+End>", u"abc def", 7, 0, 7, 0},
        {"<Home><Ctrl+Shift+Right>", u"abc def", 4, 0, 4, 0},
        {"<Ctrl+Shift+Left><Del>", u"abc ", 4, 0, 0, 1},
        {"<Shift+Left><Shift+Left><BS>", u"abc d", 5, 0, 0, 1},
        {"<Ctrl+A>", u"abc def", 7, 0, 7, 0},
        {"<Ctrl+A>q", u"q", 1, 0, 0, 1},
        {"<Shift+Left><Left>", u"abc def", 5, 0, 0, 0},     // an unshifted move drops the block
        {"<Shift+Left><Shift+Right>", u"abc def", 7, 0, 0, 0}, // back to nothing marked
        {"<Ctrl+A><Ctrl+U>x", u"abc defx", 8, 0, 0, 1},     // Ctrl+U drops the block
    };
    for (const Row& row : rows) {
        EditDialog dialog;
        Check(row, dialog);
    }
}

TEST(EditLine, CopiesCutsAndPastesThroughTheHostsClipboard)
{
    const Row rows[] = {
        {"<Ctrl+Ins><End><Shift+Ins>", u"abc defabc def", 14, 0, 0, 1}, // nothing marked: the whole line
        {"<Ctrl+C><Ctrl+V>", u"abc def", 7, 0, 0, 0},                   // unchanged: the paste replaces all
        {"<Shift+Left><Shift+Left><Ctrl+X><Home><Ctrl+V>", u"efabc d", 2, 0, 0, 2},
        {"<Home><Shift+Right><Shift+Del><End><Shift+Ins>", u"bc defa", 7, 0, 0, 2},
        {"<Shift+Del><Ctrl+V><Ctrl+V>", u"abc defabc def", 14, 0, 0, 3}, // unchanged, at the end: cuts all
        {"<Home><Shift+Right><Ctrl+C>x<Ctrl+V>", u"xabc def", 2, 0, 0, 2},
    };
    for (const Row& row : rows) {
        EditDialog dialog;
        Check(row, dialog);
    }
    // The clipboard outlives the dialog and every new text is offered on.
    EditDialog dialog;
    std::u16string offered;
    dialog.Service.HostClipboard().Offer = [&](std::u16string_view text) { offered = text; };
    dialog.Run("<Home><Ctrl+Shift+Right><Ctrl+C><Esc>");
    EXPECT_EQ(dialog.Service.HostClipboard().Text(), u"abc ");
    EXPECT_EQ(offered, u"abc ");
    // Pasted line breaks become spaces, breaks at the end go; MaxLength cuts.
    EditDialog limited(u"", 0, nullptr, 6);
    limited.Service.HostClipboard().Set(u"a\r\nb\nc\r\n");
    limited.Run("<Shift+Ins><Shift+Ins><Esc>");
    EXPECT_EQ(limited.Edit().Text, u"a b ca");
    // A password is never copied.
    EditDialog password(u"secret");
    std::vector<Far3::FarDialogItem> items{Item(Far3::DI_PSWEDIT, 5, 20, 1, u"secret")};
    password.Service.HostClipboard().Set(u"kept");
    const Far3::HANDLE psw = password.Service.Init(&EditPluginGuid, &EditDialogGuid, -1, -1, 30, 4, nullptr, items.data(),
                                                   items.size(), 0, nullptr, nullptr);
    password.User.QueueKeys("<Ctrl+Ins><Esc>");
    password.Service.Run(psw);
    EXPECT_EQ(password.Service.HostClipboard().Text(), u"kept");
}

TEST(EditLine, MovesAndDeletesByWordsAndToTheEnds)
{
    const Row rows[] = {
        {"<Ctrl+Left>", u"abc def", 4, 0, 0, 0},
        {"<Ctrl+Left><Ctrl+Left>", u"abc def", 0, 0, 0, 0},
        {"<Home><Ctrl+Right>", u"abc def", 4, 0, 0, 0},
        {"<Ctrl+Right>x", u"x", 1, 0, 0, 1},  // at the end: not the edit's key, the field stays unchanged
        {"<Ctrl+BS>", u"abc ", 4, 0, 0, 1},
        {"<Home><Ctrl+BS>", u"abc def", 0, 0, 0, 1}, // reported although nothing changed
        {"<Ctrl+Shift+BS>", u"", 0, 0, 0, 1},
        {"<Home><Ctrl+Del>", u"def", 0, 0, 0, 1},
        {"<Home><Ctrl+T>", u"def", 0, 0, 0, 1},
        {"<Ctrl+Del>x", u"x", 1, 0, 0, 1},     // at the end: nothing, still unchanged
        {"<Home><Right><Ctrl+K>", u"a", 1, 0, 0, 1},
        {"<Ctrl+Y>", u"", 0, 0, 0, 1},
        {"<Ctrl+Y><Ctrl+Y>", u"", 0, 0, 0, 2}, // reported on an empty field too
        {"<Ctrl+Q><Ctrl+A>", u"\x01", 1, 0, 0, 1},
    };
    for (const Row& row : rows) {
        EditDialog dialog;
        Check(row, dialog);
    }
}

TEST(EditLine, OvertypesAndInsertsPanelNames)
{
    const Row rows[] = {
        {"<Home><Ins>xy", u"xyc def", 2, 0, 0, 2},
        {"<Home><Ins><Ins>x", u"xabc def", 1, 0, 0, 1},
        {"<Shift+Enter>", u"photo.jpg", 9, 0, 0, 1},   // unchanged: the name replaces the text
        {"<End> <Shift+Enter>", u"abc def photo.jpg", 17, 0, 0, 2},
        {"<Ctrl+Shift+Enter>", u"other.txt", 9, 0, 0, 1},
        {"<Ctrl+[>", u"/left/", 6, 0, 0, 1},
        {"<End><Ctrl+]>", u"abc def/right/", 14, 0, 0, 1},
    };
    for (const Row& row : rows) {
        EditDialog dialog;
        Check(row, dialog);
    }
    // A full field: a typed character overwrites the one at the cursor.
    EditDialog full(u"abc", 0, nullptr, 3);
    Check({"<Home>xy", u"xyc", 2, 0, 0, 2}, full);
    // Shift+Enter is the edit's: the dialog stays open.
    EditDialog open;
    EXPECT_EQ(open.Run("<Shift+Enter><Esc>"), -1);
}

TEST(EditLine, CompletesFromTheHistory)
{
    struct Case {
        const char* Keys;
        std::u16string Text;
        intptr_t ExitCode;
        std::vector<std::u16string> Offered; // the list open at the last key read
        intptr_t Selected;
    };
    const Case cases[] = {
        {"f", u"f", -1, {u"file%#", u"Foto%#.%e"}, -1},                   // ignoring case, newest first
        {"fi", u"fi", -1, {u"file%#"}, -1},
        {"fo<Down>", u"Foto%#.%e", -1, {u"Foto%#.%e"}, 0},
        {"f<Down><Down>", u"Foto%#.%e", -1, {u"file%#", u"Foto%#.%e"}, 1},
        {"f<Down><Down><Down>", u"Foto%#.%e", -1, {u"file%#", u"Foto%#.%e"}, 1}, // no wrap
        {"f<Down><Up>", u"file%#", -1, {u"file%#", u"Foto%#.%e"}, 0},
        {"f<Down><Enter>", u"file%#", OkIndex, {}, -1},             // Enter closes the list and acts
        {"f<Esc>", u"f", -1, {}, -1},                                // Esc closes only the list
        {"x", u"x", -1, {}, -1},                                     // nothing starts with it
        {"f<Right>", u"f", -1, {}, -1},                              // another key closes the list
        {"<Ctrl+Space>", u"abc", -1, {}, -1},                        // by hand: nothing starts with "abc"
        {"<Ctrl+Y>ab<Ctrl+Y>", u"", -1, {}, -1},
    };
    for (const Case& c : cases) {
        EditDialog dialog(u"abc", 0, u"Templates");
        dialog.History.Add(u"Templates", u"Foto%#.%e");
        dialog.History.Add(u"Templates", u"abc");
        dialog.History.Add(u"Templates", u"file%#");
        dialog.User.QueueKeys(c.Keys);
        // The dialog as shown after the keys (or as it closed).
        std::optional<DialogView> seen;
        dialog.User.QueueCheck([&](const DialogView& view) { seen = view; });
        dialog.User.QueueKeys("<Esc>");
        const intptr_t exit = dialog.Service.Run(dialog.Handle);
        const DialogView last = seen.value_or(dialog.User.Dialogs().back().Closed);
        EXPECT_EQ(exit, c.ExitCode) << c.Keys;
        EXPECT_EQ(last.Item(EditIndex).Text, c.Text) << c.Keys;
        EXPECT_EQ(last.Completion.Entries, c.Offered) << c.Keys;
        EXPECT_EQ(last.Completion.Selected, c.Selected) << c.Keys;
        if (!c.Offered.empty()) {
            EXPECT_EQ(last.Completion.Item, EditIndex) << c.Keys;
        }
    }
    // Shift+Del deletes the chosen entry from the history itself.
    EditDialog dialog(u"abc", 0, u"Templates");
    dialog.History.Add(u"Templates", u"file1");
    dialog.History.Add(u"Templates", u"file2");
    dialog.Run("f<Down><Shift+Del><Esc><Esc>");
    EXPECT_EQ(dialog.History.Entries(u"Templates"), (std::vector<std::u16string>{u"file1"}));
    // DIF_NOAUTOCOMPLETE: no list while typing, but Ctrl+Space still offers one.
    EditDialog quiet(u"abc", Far3::DIF_NOAUTOCOMPLETE, u"Templates");
    quiet.History.Add(u"Templates", u"file1");
    intptr_t listed = 0;
    quiet.User.QueueKeys("f");
    quiet.User.QueueCheck([&](const DialogView& view) { listed = view.Completion.Item; });
    quiet.Run("<Esc>");
    EXPECT_EQ(listed, -1);
    EditDialog byHand(u"abc", Far3::DIF_NOAUTOCOMPLETE, u"Templates");
    byHand.History.Add(u"Templates", u"file1");
    byHand.Run("f<Ctrl+Space><Down><Enter>");
    EXPECT_EQ(byHand.Edit().Text, u"file1");
}

// Text pasted into the terminal arrives as one paste into the focused edit.
TEST(EditLine, ATerminalPasteIsOnePaste)
{
    const struct {
        const char* Before;
        std::u16string Pasted;
        std::u16string Text;
        size_t Changes;
    } cases[] = {
        {"", u"new%#", u"new%#", 1},          // unchanged: replaces the text
        {"<End>", u"-%#\n", u"abc def-%#", 1}, // the closing line break goes
        {"<Home><Shift+Right>", u"X", u"Xbc def", 1},
    };
    for (const auto& c : cases) {
        EditDialog dialog;
        dialog.User.QueueKeys(c.Before);
        dialog.User.QueuePaste(c.Pasted);
        dialog.Run("<Esc>");
        EXPECT_EQ(dialog.Edit().Text, c.Text) << c.Before;
        EXPECT_EQ(dialog.Changes.size(), c.Changes) << c.Before;
    }
}
