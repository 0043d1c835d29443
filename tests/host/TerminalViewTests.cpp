// The full-screen view's drawing: message boxes built as Far builds them,
// the panels, menus, the editor window and the screen they are composed on.
#include "TempFolder.h"
#include "host/text/HostText.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/dialogs/Clipboard.h"
#include "host/dialogs/DialogColors.h"
#include "host/dialogs/DialogPainter.h"
#include "host/dialogs/MessageLayout.h"
#include "host/views/EditorView.h"
#include "host/views/MenuView.h"
#include "host/views/Palette.h"
#include "host/views/PanelView.h"

#include "far3/FarKeysW.h"

#include <gtest/gtest.h>

#include <optional>

using namespace Host;

namespace {

KeyPress Key(const char* script)
{
    return ParseKeyScript(script).front();
}

std::string Row(const ScreenBuffer& screen, int y)
{
    return screen.Text().at(static_cast<size_t>(y));
}

// The glyphs of `count` cells of a row from column x, as UTF-8.
std::string Cells(const ScreenBuffer& screen, int y, int x, int count)
{
    std::u16string text;
    for (int i = x; i < x + count; ++i)
        text += screen.At(i, y).Text;
    return Utf16ToUtf8(text);
}

TEST(MessageLayout, TheQuitQuestionIsBuiltAsFarBuildsIt)
{
    ScriptedFrontEnd user;
    const MessageBox box{0, "Quit", {"Do you want to quit Far?"}, {"&Yes", "&No"}};
    const DialogView view = MessageBoxView(box, user);
    EXPECT_EQ(view.Left, 23);
    EXPECT_EQ(view.Top, 9);
    const std::vector<std::string> expected{
        "                                  ",
        "   ╔══════════ Quit ══════════╗   ",
        "   ║ Do you want to quit Far? ║   ",
        "   ╟──────────────────────────╢   ",
        "   ║      { Yes } [ No ]      ║   ",
        "   ╚══════════════════════════╝   ",
        "                                  ",
    };
    // The brackets come when the dialog runs; here they are only laid out.
    std::vector<std::string> seen;
    user.QueueCheck([&](const DialogView& running) { seen = DialogText(running); });
    user.QueueKeys("<Esc>");
    EXPECT_EQ(RunMessageBox(box, user), -1);
    EXPECT_EQ(seen, expected);

    struct Case {
        const char* Keys;
        intptr_t Answer;
    };
    for (const Case& c : {Case{"<Enter>", 0}, Case{"<Right><Enter>", 1}, Case{"<Tab><Tab><Enter>", 0},
                          Case{"n", 1}, Case{"<Alt+Y>", 0}, Case{"<F10>", -1}}) {
        user.QueueKeys(c.Keys);
        EXPECT_EQ(RunMessageBox(box, user), c.Answer) << c.Keys;
    }
}

TEST(MessageLayout, WarningsSeparatorsLongLinesAndBoxesWithoutButtons)
{
    const std::string longLine(100, 'x');
    const MessageBox box{Far3::FMSG_WARNING, "Error", {"Cannot rename", "\x01" "Details", longLine}, {"OK"}};
    const MessageLayout layout = LayOutMessage(box, 80);
    EXPECT_EQ(layout.Width, 79); // capped at the console width - 11, + 10
    EXPECT_EQ(layout.Height, 3 + 4 + 2);
    EXPECT_EQ(layout.Flags, Far3::FDLG_WARNING);
    ASSERT_EQ(layout.Items.size(), 6u); // box, 3 lines, separator, button
    EXPECT_TRUE(layout.Items[2].Has(Far3::DIF_SEPARATOR));
    EXPECT_EQ(layout.Items[2].Data, u"Details");
    EXPECT_EQ(layout.Items[3].Type, Far3::DI_EDIT);
    EXPECT_TRUE(layout.Items[3].Has(Far3::DIF_READONLY));
    EXPECT_EQ(layout.Items[3].X2, 79 - 6);
    EXPECT_EQ(layout.FirstButton, 5u);
    EXPECT_TRUE(layout.Items[5].Has(Far3::DIF_DEFAULTBUTTON | Far3::DIF_FOCUS));

    ScriptedFrontEnd user;
    const DialogView warning = MessageBoxView(box, user);
    EXPECT_TRUE(warning.Warning);
    EXPECT_EQ(warning.Item(1).Colors[0].BackgroundColor, 4u); // white on red

    const MessageLayout note = LayOutMessage(MessageBox{0, "Wait", {"Renaming..."}, {}}, 80);
    EXPECT_EQ(note.Height, 1 + 4);
    EXPECT_EQ(note.FirstButton, note.Items.size());
}

TEST(MessageLayout, ALineTooLongForTheBoxReadsLikeItsPlainLines)
{
    std::string longLine;
    for (int i = 0; i < 12; ++i)
        longLine += "line" + std::to_string(i) + "-part ";
    struct Case {
        const char* What;
        uint64_t Flags;
        bool Run;
    };
    for (const Case& c : {Case{"running", 0, true}, Case{"running warning", Far3::FMSG_WARNING, true},
                          Case{"drawn only", 0, false}}) {
        const MessageBox box{c.Flags, "Error", {"Cannot rename", longLine}, {"OK"}};
        const MessageLayout layout = LayOutMessage(box, 80);
        ASSERT_EQ(layout.Items.at(2).Type, Far3::DI_EDIT) << c.What;
        EXPECT_TRUE(layout.Items[2].Has(Far3::DIF_READONLY | Far3::DIF_BTNNOCLOSE | Far3::DIF_SELECTONENTRY))
            << c.What;

        ScriptedFrontEnd user;
        DialogView view;
        if (c.Run) {
            user.QueueCheck([&](const DialogView& running) { view = running; });
            user.QueueKeys("<Esc>");
            EXPECT_EQ(RunMessageBox(box, user), -1) << c.What;
        } else {
            view = MessageBoxView(box, user);
        }
        ASSERT_GT(view.Items.size(), 2u) << c.What;
        const DialogItemView& line = view.Item(2);
        EXPECT_EQ(line.Cursor, 0u) << c.What;
        EXPECT_FALSE(line.Unchanged) << c.What;
        const Far3::FarColor text = DefaultDialogColor(layout.Flags);
        EXPECT_TRUE(SameColor(line.Colors.at(0), text)) << c.What;
        EXPECT_TRUE(SameColor(line.Colors.at(2), text)) << c.What;
        // The start of the line shows, in the colour of the line above it.
        const std::vector<std::string> rows = DialogText(view);
        EXPECT_NE(rows.at(3).find("║ line0-part line1-part"), std::string::npos) << c.What << ": " << rows.at(3);
        CellGrid grid(view.Left + view.Width, view.Top + view.Height);
        PaintDialog(view, grid);
        EXPECT_TRUE(SameColor(grid.At(line.Left, line.Top).Color, grid.At(line.Left, line.Top - 1).Color))
            << c.What;
    }
}

// Tab and the arrows go round the buttons, past a long line's edit, and
// Ctrl+C or Ctrl+Ins copy the box's texts, whatever holds the focus.
TEST(MessageLayout, TheBoxKeysGoRoundTheButtonsAndCopyTheTexts)
{
    const std::string longLine(120, 'x');
    // Items: frame, line, the long line's edit, separator, Delete, Cancel.
    struct Case {
        const char* Keys;
        intptr_t Focus;
    };
    for (const Case& c : {Case{"", 4}, Case{"<Tab>", 5}, Case{"<Tab><Tab>", 4}, Case{"<Right><Right>", 4},
                          Case{"<Shift+Tab>", 5}, Case{"<Left>", 5}, Case{"<Tab><Shift+Tab>", 4}, Case{"<Up>", 2},
                          Case{"<Up><Tab><Tab><Tab>", 4}}) {
        ScriptedFrontEnd user;
        const MessageBox box{0, "Delete", {"Delete the file?", longLine}, {"&Delete", "&Cancel"}};
        std::optional<intptr_t> focus;
        user.QueueKeys(c.Keys);
        user.QueueCheck([&](const DialogView& view) { focus = view.Focus; });
        user.QueueKeys("<Esc>");
        EXPECT_EQ(RunMessageBox(box, user), -1) << c.Keys;
        EXPECT_EQ(focus, c.Focus) << c.Keys;
    }

    for (const char* keys : {"<Ctrl+C><Esc>", "<Up><Ctrl+Ins><Esc>"}) {
        Clipboard clipboard;
        MessageBox box{0, "Delete", {"Delete the file?", "\x01" "Details", longLine}, {"&Delete", "&Cancel"}};
        box.Copies = &clipboard;
        ScriptedFrontEnd user;
        user.QueueKeys(keys);
        EXPECT_EQ(RunMessageBox(box, user), -1) << keys;
        EXPECT_EQ(clipboard.Text(), u"Delete\nDelete the file?\nDetails\n" + Utf8ToUtf16(longLine) + u"\nDelete\nCancel")
            << keys;
    }
}

// A last line that is a separator stands over the buttons; an empty title
// takes no room; a box without buttons shows a '&' of its title and sits
// centred in the rows above the last.
TEST(MessageLayout, SeparatorsTitlesAndBoxesWithoutButtonsSitAsFarPutsThem)
{
    struct Case {
        MessageBox Box;
        int Top;
        std::vector<std::string> Rows;
    };
    const Case cases[] = {
        {{0, "Title", {"Line", "\x01"}, {"OK"}},
         9,
         {"                 ", "   ╔═ Title ═╗   ", "   ║  Line   ║   ", "   ╟─────────╢   ", "   ║ { OK }  ║   ",
          "   ╚═════════╝   ", "                 "}},
        {{0, "", {"a"}, {}}, 9, {"           ", "   ╔═══╗   ", "   ║ a ║   ", "   ╚═══╝   ", "           "}},
        {{0, "R&D", {"x"}, {}},
         9,
         {"               ", "   ╔═ R&D ═╗   ", "   ║   x   ║   ", "   ╚═══════╝   ", "               "}},
        {{0, "Quit", {"Do you want to quit Far?"}, {"&Yes", "&No"}}, 9, {}},
    };
    for (const Case& c : cases) {
        ScriptedFrontEnd user;
        user.SetScreen(ScreenSize{80, 25});
        const DialogView view = MessageBoxView(c.Box, user);
        EXPECT_EQ(view.Top, c.Top) << c.Box.Title;
        if (!c.Rows.empty()) {
            EXPECT_EQ(DialogText(view), c.Rows) << c.Box.Title;
        }
    }
}

PanelItem Item(std::u16string_view name, uint64_t size = 0, bool folder = false, bool selected = false)
{
    PanelItem item;
    item.Name = name;
    item.Size = size;
    item.Attributes = folder ? Far3::FileAttribute::Directory : 0;
    item.Selected = selected;
    return item;
}

TEST(PanelView, DrawsFarsFullViewWithTheSelectionAndTheCursor)
{
    Panel panel;
    panel.ShowItems(u"/trips", {Item(u"..", 0, true), Item(u"photos", 0, true),
                                Item(u"a-very-long-file-name-indeed.txt", 12), Item(u"日本語.txt", 79, false, true),
                                Item(u"notes.txt", 6921, false, true)});
    panel.SetCurrentItem(4);
    ScreenBuffer screen(80, 25, Palette::Console());
    PaintPanels(screen, PanelPicture{&panel, 0, true}, PanelPicture{&panel, 0, false}, KeyLabels{});

    EXPECT_EQ(Cells(screen, 0, 0, 40), "╔═══════════════ /trips ═══════════════╗");
    EXPECT_EQ(Cells(screen, 1, 0, 40), "║n      Name        ║  Size   ║  Date  ║");
    EXPECT_EQ(Cells(screen, 3, 0, 31), "║photos             ║   Folder║");
    EXPECT_EQ(Cells(screen, 4, 0, 31), "║a-very-long-file-n}║       12║");
    EXPECT_EQ(Cells(screen, 5, 0, 31), "║日本語.txt         ║       79║");
    // Wide names keep the columns straight.
    for (int y = 2; y <= 6; ++y)
        EXPECT_EQ(screen.At(20, y).Text, u"║") << y;
    EXPECT_NE(Row(screen, 20).find("─ Bytes: 7,000, files: 2, folders: 0 ─"), std::string::npos);
    EXPECT_EQ(Cells(screen, 21, 0, 10), "║notes.txt");
    EXPECT_NE(Row(screen, 22).find(" Bytes: 6.8 K, files: 3, folders: 1 "), std::string::npos);
    EXPECT_EQ(Row(screen, 23).substr(0, 7), "/trips>");

    // Selected names yellow, the cursor bar cyan, folders white.
    EXPECT_TRUE(SameColor(screen.At(1, 5).Color, Palette::PanelSelected()));
    EXPECT_TRUE(SameColor(screen.At(1, 6).Color, Palette::PanelSelectedCursor()));
    EXPECT_TRUE(SameColor(screen.At(1, 3).Color, Palette::PanelFolder()));
    // The passive panel has no cursor bar.
    EXPECT_TRUE(SameColor(screen.At(41, 6).Color, Palette::PanelSelected()));

    const PanelGeometry wide = PanelLayout(120, 40);
    EXPECT_EQ(wide.ItemRows, 33);
    EXPECT_EQ(wide.TimeWidth, 5);
    EXPECT_EQ(wide.NameWidth, 58 - 9 - 8 - 5 - 3);
}

TEST(PanelView, ScrollsJustEnoughToShowTheCursor)
{
    struct Case {
        size_t Top, Cursor, Rows, Count, Expected;
    };
    for (const Case& c : {Case{0, 5, 18, 30, 0}, Case{0, 18, 18, 30, 1}, Case{10, 3, 18, 30, 3},
                          Case{20, 29, 18, 30, 12}, Case{5, 2, 18, 10, 0}})
        EXPECT_EQ(ScrollTop(c.Top, c.Cursor, c.Rows, c.Count), c.Expected) << c.Cursor;
    EXPECT_EQ(GroupedNumber(1234567), u"1,234,567");
    EXPECT_EQ(ShortSize(0), u"0 B");
    EXPECT_EQ(ShortSize(15667), u"15.3 K");
}

MenuBox Menu(std::u16string title, std::vector<std::u16string> items)
{
    MenuBox menu;
    menu.Title = std::move(title);
    menu.Items = std::move(items);
    return menu;
}

TEST(MenuView, ThePluginsMenuSitsWhereFarPutsIt)
{
    MenuBox menu = Menu(u"Plugin commands", {u"Zelvane 3"});
    const MenuRect rect = MenuLayout(menu, 80, 25);
    EXPECT_EQ(rect.Left, 27);
    EXPECT_EQ(rect.Top, 10);
    EXPECT_EQ(rect.Width, 25);
    EXPECT_EQ(rect.Height, 5);
    ScreenBuffer screen(80, 25, Palette::PanelText());
    PaintMenu(screen, menu);
    EXPECT_EQ(Cells(screen, 11, 29, 21), "╔═ Plugin commands ═╗");
    EXPECT_EQ(Cells(screen, 12, 29, 21), "║  Zelvane 3        ║");
    // The hotkey is marked by its colour alone; Far does not underline it.
    EXPECT_FALSE(screen.At(32, 12).Underline);
    EXPECT_FALSE(SameColor(screen.At(32, 12).Color, screen.At(33, 12).Color));

    // Hotkeys match in upper case in any script, typed or with Alt (Alt+ a
    // letter of another script carries only its character).
    const KeyPress altCyrillicBe{0, u'б', Far3::ControlKey::LeftAlt};
    struct Case {
        const char* Keys;
        MenuAnswer Answer;
        size_t Selected;
        std::vector<std::u16string> Items{u"Alpha", u"Beta", u"Gamma"};
        std::optional<KeyPress> Key = std::nullopt; // instead of Keys
    };
    for (const Case& c : {Case{"<Down>", MenuAnswer::Stay, 1}, Case{"<Down><Down><Down>", MenuAnswer::Stay, 0},
                          Case{"<Up>", MenuAnswer::Stay, 2}, Case{"<End><Enter>", MenuAnswer::Choose, 2},
                          Case{"b", MenuAnswer::Choose, 1}, Case{"<Esc>", MenuAnswer::Cancel, 0},
                          Case{"<Alt+G>", MenuAnswer::Choose, 2},
                          Case{"б", MenuAnswer::Choose, 1, {u"Альфа", u"Бета", u"Гамма"}},
                          Case{"Г", MenuAnswer::Choose, 2, {u"альфа", u"бета", u"гамма"}},
                          Case{"é", MenuAnswer::Choose, 1, {u"Alpha", u"Écran"}},
                          Case{"Alt+б", MenuAnswer::Choose, 1, {u"Альфа", u"Бета"}, altCyrillicBe}}) {
        MenuBox three = Menu(u"Menu", c.Items);
        MenuAnswer answer = MenuAnswer::Stay;
        for (const KeyPress& key : c.Key ? std::vector<KeyPress>{*c.Key} : ParseKeyScript(c.Keys))
            answer = MenuKey(three, key, 3);
        EXPECT_EQ(answer, c.Answer) << c.Keys;
        EXPECT_EQ(three.Selected, c.Selected) << c.Keys;
    }
}

TEST(EditorView, ShowsTheFileAndMovesUntilClosed)
{
    HostTests::TempFolder temp;
    const auto utf8 = temp.Write("list.txt", "\xEF\xBB\xBFheading\r\n\"a\"\t-> \"b\"\r\n");
    EXPECT_EQ(ReadTextLines(utf8, 65001), (std::vector<std::u16string>{u"heading", u"\"a\"     -> \"b\"", u""}));
    const auto utf16 = temp.Write("wide.txt", std::string("\xFF\xFE" "a\0\n\0b\0", 8));
    EXPECT_EQ(ReadTextLines(utf16, 0), (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(ReadTextLines(temp / "missing.txt", 0), std::vector<std::u16string>{u""});

    EditorWindow window;
    window.Title = "Zelvane 3";
    std::vector<std::u16string> lines;
    for (int i = 1; i <= 50; ++i)
        lines.push_back(u"line " + Utf8ToUtf16(std::to_string(i)));
    EditorView editor(window, lines);
    ScreenBuffer screen(80, 25, Palette::EditorText());
    editor.Paint(screen);
    EXPECT_EQ(Row(screen, 0).substr(0, 9), "Zelvane 3");
    EXPECT_NE(Row(screen, 0).find("Ln 1/50"), std::string::npos);
    EXPECT_EQ(Row(screen, 1).substr(0, 6), "line 1");
    EXPECT_EQ(Row(screen, 24).substr(72), "10Quit  ");

    for (const KeyPress& key : ParseKeyScript("<PgDn><Down><End>"))
        EXPECT_TRUE(editor.Key(key));
    editor.Paint(screen);
    EXPECT_EQ(editor.Line(), 23u);
    EXPECT_EQ(editor.Column(), 7u);
    EXPECT_EQ(editor.CursorX(), 7);
    EXPECT_EQ(editor.CursorY(), 2);
    EXPECT_EQ(Row(screen, 1).substr(0, 7), "line 23");
    EXPECT_TRUE(editor.Key(Key("<Ctrl+End>")));
    editor.Paint(screen);
    EXPECT_EQ(Row(screen, 23).substr(0, 7), "line 50");
    EXPECT_FALSE(editor.Key(Key("<Esc>")));
    EXPECT_FALSE(editor.Key(Key("<F10>")));
}

TEST(ScreenBuffer, DialogsLieOverThePanelsWithTheirShadows)
{
    ScreenBuffer screen(10, 3, Palette::PanelText());
    screen.Write(0, 0, u"ab日本cd", Palette::PanelText());
    screen.Write(0, 2, u"0123456789", Palette::PanelText());
    EXPECT_EQ(Row(screen, 0), "ab日本cd  ");
    // Half of a wide glyph overwritten: the other half goes blank.
    screen.Write(3, 0, u"X", Palette::PanelText());
    EXPECT_EQ(Row(screen, 0), "ab X本cd  ");

    CellGrid grid = screen.BlankGrid();
    DialogView box;
    box.Left = 1;
    box.Width = 4;
    box.Height = 2;
    PaintDialog(box, grid);
    screen.Overlay(grid);
    EXPECT_EQ(Row(screen, 0), "a     cd  ");
    EXPECT_TRUE(SameColor(screen.At(1, 0).Color, ConsoleColor(0, 7)));
    // The shadow keeps the glyphs under it and darkens them.
    EXPECT_EQ(Row(screen, 2), "0123456789");
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(SameColor(screen.At(x, 2).Color, ConsoleColor(8, 0)), x >= 3 && x <= 6) << x;
}

} // namespace
