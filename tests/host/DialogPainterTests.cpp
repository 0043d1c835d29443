// A dialog as drawn: the cells the painter fills, the colours the
// procedure gives through the DN_DRAW* notifications, the line mode.
#include "DialogHarness.h"

#include "host/console/ScreenBuffer.h"
#include "host/dialogs/DialogColors.h"
#include "host/dialogs/DialogPainter.h"

#include <gtest/gtest.h>

using namespace Host;
using namespace HostDialogTesting;

namespace {

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
