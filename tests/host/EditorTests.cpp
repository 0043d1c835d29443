#include "host/frontends/LineFrontEnd.h"
#include "host/services/EditorService.h"
#include "host/text/HostText.h"
#include "host/views/EditorView.h"
#include "host/views/Palette.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>

using namespace Host;
using HostTests::TempFolder;

namespace {

constexpr uint64_t OpenAndReturn = Far3::EF_NONMODAL | Far3::EF_IMMEDIATERETURN;

class Editors : public testing::Test {
protected:
    ScriptedFrontEnd User;
    MessageService Messages{User};
    EditorService Service{User, Messages};
    TempFolder Folder;

    intptr_t Open(const std::filesystem::path& file, uint64_t flags, uintptr_t codePage = Far3::CodePage::Utf8)
    {
        EditorWindow request;
        request.FileName = file;
        request.Title = "Failures";
        request.Flags = flags;
        request.CodePage = codePage;
        return Service.Open(request, Folder.Path());
    }
    intptr_t CurrentId()
    {
        Far3::EditorInfo info{};
        info.StructSize = sizeof info;
        return Service.Control(-1, Far3::ECTL_GETINFO, 0, &info) ? info.EditorID : -100;
    }
};

TEST_F(Editors, ClosingDeletesWhatTheFlagsAsk)
{
    struct Case {
        const char* Name;
        uint64_t Flags;
        bool FileRemains;
        bool FolderRemains;
    };
    for (const Case& c : {Case{"keep", 0, true, true},
                          Case{"only file", Far3::EF_DELETEONLYFILEONCLOSE, false, true},
                          Case{"file and empty folder", Far3::EF_DELETEONCLOSE, false, false},
                          Case{"both flags: folder too", Far3::EF_DELETEONCLOSE | Far3::EF_DELETEONLYFILEONCLOSE,
                               false, false}}) {
        SCOPED_TRACE(c.Name);
        std::filesystem::path file = Folder.Write(std::string("t-") + c.Name + "/list.txt", "a\nb\n");
        ASSERT_EQ(Open(file, OpenAndReturn | c.Flags), 1);
        intptr_t id = User.Editors().back().Window.Id;
        EXPECT_EQ(User.Editors().back().Content, "a\nb\n") << "content captured at open";
        EXPECT_TRUE(Service.Close(id));
        EXPECT_FALSE(Service.Close(id));
        EXPECT_EQ(std::filesystem::exists(file), c.FileRemains);
        EXPECT_EQ(std::filesystem::exists(file.parent_path()), c.FolderRemains);
        EXPECT_TRUE(User.Editors().back().Closed);
    }
}

TEST_F(Editors, FolderIsKeptWhenNotEmpty)
{
    std::filesystem::path file = Folder.Write("busy/list.txt", "x");
    Folder.Write("busy/other.txt", "y");
    ASSERT_EQ(Open(file, OpenAndReturn | Far3::EF_DELETEONCLOSE), 1);
    Service.CloseAll();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(std::filesystem::exists(Folder / "busy/other.txt"));
}

TEST_F(Editors, IdsCountUpAndGetInfoSeesTheTopmost)
{
    EXPECT_EQ(CurrentId(), -100) << "no editor: ECTL_GETINFO fails";
    std::filesystem::path file = Folder.Write("f.txt", "");
    ASSERT_EQ(Open(file, OpenAndReturn), 1);
    ASSERT_EQ(Open("relative.txt", OpenAndReturn), 1) << "a missing file opens as a new buffer";
    EXPECT_EQ(User.Editors()[1].Window.FileName, Folder / "relative.txt");
    EXPECT_FALSE(User.Editors()[1].FileExisted);
    EXPECT_EQ(CurrentId(), 1);
    Service.Close(1);
    EXPECT_EQ(CurrentId(), 0);
    ASSERT_EQ(Open(file, OpenAndReturn), 1);
    EXPECT_EQ(CurrentId(), 2);

    Far3::EditorInfo small{};
    small.StructSize = sizeof small - 8;
    EXPECT_EQ(Service.Control(-1, Far3::ECTL_GETINFO, 0, &small), 0);
}

TEST_F(Editors, GetInfoReportsTheCodePage)
{
    std::filesystem::path bom = Folder.Write("bom.txt", "\xEF\xBB\xBFx");
    std::filesystem::path utf16 = Folder.Write("u16.txt", "\xFF\xFEx\0");
    struct Case {
        std::filesystem::path File;
        uintptr_t Requested;
        uintptr_t Reported;
    };
    for (const Case& c : {Case{bom, Far3::CodePage::Utf8, Far3::CodePage::Utf8},
                          Case{utf16, static_cast<uintptr_t>(-1), 1200},
                          Case{bom, static_cast<uintptr_t>(-1), Far3::CodePage::Utf8}, Case{bom, 1251, 1251}}) {
        ASSERT_EQ(Open(c.File, OpenAndReturn, c.Requested), 1);
        Far3::EditorInfo info{};
        info.StructSize = sizeof info;
        ASSERT_EQ(Service.Control(-1, Far3::ECTL_GETINFO, 0, &info), 1);
        EXPECT_EQ(info.CodePage, c.Reported);
    }
}

TEST_F(Editors, FolderNameOrModalOpen)
{
    EXPECT_EQ(Open(Folder.Path(), OpenAndReturn), 0);
    ASSERT_EQ(User.Messages().size(), 1u) << "Far reports the folder in a box";
    EXPECT_TRUE(User.Editors().empty());

    std::filesystem::path file = Folder.Write("modal.txt", "m");
    EXPECT_EQ(Open(file, Far3::EF_DELETEONLYFILEONCLOSE), Far3::EEC_NOT_MODIFIED);
    EXPECT_TRUE(User.Editors().back().Closed) << "a modal editor is closed when the call returns";
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(Service.OpenEditors().empty());
}

// The modal editor answers by whether the file was saved while it was open;
// the text the user saves keeps the file's line ends and byte order mark.
TEST_F(Editors, ModalEditorAnswersWhetherTheFileWasSaved)
{
    struct Case {
        const char* Name;
        const char* Before; // null: no file
        const char* Typed;  // null: the user closes the window as it opened
        bool Save;
        intptr_t Answer;
        const char* After; // null: no file
    };
    const Case cases[] = {
        {"closed as opened", "a\r\nb\r\n", nullptr, false, Far3::EEC_NOT_MODIFIED, "a\r\nb\r\n"},
        {"saved", "a\r\nb\r\n", "a\nc\nd\n", true, Far3::EEC_MODIFIED, "a\r\nc\r\nd\r\n"},
        {"changed, not saved", "a\n", "b\n", false, Far3::EEC_NOT_MODIFIED, "a\n"},
        {"mark kept", "\xEF\xBB\xBF" "a\n", "b\n", true, Far3::EEC_MODIFIED, "\xEF\xBB\xBF" "b\n"},
        {"missing file: a new text", nullptr, "new", true, Far3::EEC_MODIFIED, "new"},
        {"missing file left alone", nullptr, nullptr, false, Far3::EEC_NOT_MODIFIED, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::filesystem::path file = Folder / (std::string(c.Name) + ".txt");
        if (c.Before)
            Folder.Write(file.filename().string(), c.Before);
        if (c.Typed)
            User.QueueEditorText(c.Typed, c.Save);
        EXPECT_EQ(Open(file, Far3::EF_DISABLEHISTORY | Far3::EF_DISABLESAVEPOS), c.Answer);
        EXPECT_EQ(User.PendingEditorTexts(), 0u);
        EXPECT_TRUE(User.Editors().back().Closed);
        EXPECT_TRUE(Service.OpenEditors().empty());
        const std::optional<std::string> after = ReadWholeFile(file);
        EXPECT_EQ(after.has_value(), c.After != nullptr);
        if (c.After && after) {
            EXPECT_EQ(*after, c.After);
        }
    }
}

// The editor's keys: typed into a file, with the answers given to the
// questions it asks; then what the file holds and whether it was saved.
TEST(EditorKeys, EditTheFileAsFarsEditorDoes)
{
    struct Case {
        const char* Name;
        const char* Before; // null: no file
        const char* Keys;
        std::vector<intptr_t> Answers; // to "Save the file?", in order
        const char* After;
        bool Saved;
        bool Closed;
    };
    const Case cases[] = {
        {"type and save", "abc", "X<F2>", {}, "Xabc", true, false},
        {"Del", "abc", "<Right><Del><F2>", {}, "ac", true, false},
        {"BS", "abc", "<End><BS><F2>", {}, "ab", true, false},
        {"Enter splits with the file's line end", "abc\r\n", "<Right><Enter><F2>", {}, "a\r\nbc\r\n", true, false},
        {"BS at a line's start joins", "a\nb\n", "<Down><BS><F2>", {}, "ab\n", true, false},
        {"Del at a line's end joins", "ab\ncd", "<End><Del><F2>", {}, "abcd", true, false},
        {"Ctrl+Y deletes the line", "1\n2\n3\n", "<Down><Ctrl+Y><F2>", {}, "1\n3\n", true, false},
        {"Ctrl+Y empties the last line", "1\n2", "<Down><Ctrl+Y><F2>", {}, "1\n", true, false},
        {"Home, End, arrows", "abc\ndef", "<Down><End><Left>X<Home>Y<Up><Right>Z<F2>", {}, "abZc\nYdeXf", true, false},
        {"Left at a start, Right at an end", "ab\ncd", "<Down><Left>X<Right>Y<F2>", {}, "abX\nYcd", true, false},
        {"Ctrl+Home, Ctrl+End", "a\nb\nc", "<Ctrl+End>X<Ctrl+Home>Y<F2>", {}, "Ya\nb\ncX", true, false},
        {"PgDn, PgUp", "1\n2\n3\n4\n5", "<PgDn>X<PgUp>Y<F2>", {}, "1Y\n2\nX3\n4\n5", true, false},
        {"Tab", "a", "<Tab><F2>", {}, "\ta", true, false},
        {"mark and other lines' bytes kept", "\xEF\xBB\xBF\xFFx\r\nb\r", "<Down><End>c<F2>", {},
         "\xEF\xBB\xBF\xFFx\r\nbc\r", true, false},
        {"wide characters", "\xE6\x97\xA5\xE6\x9C\xAC", "<End><BS><F2>", {}, "\xE6\x97\xA5", true, false},
        {"a combining mark goes with its letter", "e\xCC\x81x", "<Del><F2>", {}, "x", true, false},
        {"a missing file is made on saving", nullptr, "new<F2>", {}, "new", true, false},
        {"F2 on an unchanged text saves", "a", "<F2><Esc>", {}, "a", true, true},
        {"unchanged: Esc closes without asking", "a", "<Right><Esc>", {}, "a", false, true},
        {"F10 asks, Yes saves", "a", "b<F10>", {0}, "ba", true, true},
        {"Esc asks, No drops the change", "a", "b<Esc>", {1}, "a", false, true},
        {"Cancel stays", "a", "b<Esc><Esc><Esc>", {2, -1, 0}, "ba", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        HostTests::TempFolder folder;
        EditorWindow window;
        window.FileName = folder / "file.txt";
        window.CodePage = Far3::CodePage::Utf8;
        if (c.Before)
            folder.Write("file.txt", c.Before);
        std::optional<EditorText> text = EditorText::Load(window.FileName, window.CodePage);
        ASSERT_TRUE(text);
        std::deque<intptr_t> answers(c.Answers.begin(), c.Answers.end());
        std::vector<MessageBox> asked;
        EditorView view(window, std::move(*text), [&](const MessageBox& box) {
            asked.push_back(box);
            // The questions come as Far asks them; the rest run out at Esc.
            const intptr_t answer = answers.empty() ? -1 : answers.front();
            if (!answers.empty())
                answers.pop_front();
            return answer;
        });
        ScreenBuffer screen(80, 5, Palette::EditorText());
        view.Paint(screen);
        bool closed = false;
        for (const KeyPress& key : ParseKeyScript(c.Keys)) {
            ASSERT_FALSE(closed) << "a key after the window closed";
            closed = !view.Key(key);
        }
        EXPECT_EQ(closed, c.Closed);
        EXPECT_EQ(view.Saved(), c.Saved);
        EXPECT_TRUE(answers.empty()) << "fewer questions than answers";
        for (const MessageBox& box : asked)
            EXPECT_EQ(box.Lines.back(), "Save the file?");
        EXPECT_EQ(ReadWholeFile(window.FileName).value_or("(none)"), c.After);
    }
}

// What the window shows: the title and position, tabs to the next
// multiple of eight, wide characters by their cells, long lines scrolled
// sideways with the cursor kept on the screen.
TEST(EditorKeys, TheWindowFollowsTheCursor)
{
    struct Case {
        std::u16string Line;
        const char* Keys;
        std::string Shown; // the start of the text's first row
        int CursorX;
    };
    const std::u16string longLine = u"0123456789" + std::u16string(30, u'-') + u"end";
    const Case cases[] = {
        {u"\tx", "<End>", "        x", 9},
        {u"\u65E5\u672C\u8A9E!", "<End>", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E!", 7},
        {longLine, "<End>", std::string(16, '-') + "end", 19},
        {longLine, "<End><Home>", "0123456789", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Keys);
        EditorWindow window;
        window.Title = "Zelvane 3";
        EditorView view(window, EditorText({c.Line}), [](const MessageBox&) { return intptr_t{-1}; });
        ScreenBuffer screen(20, 5, Palette::EditorText());
        for (const KeyPress& key : ParseKeyScript(c.Keys)) {
            view.Key(key);
            view.Paint(screen);
        }
        EXPECT_EQ(screen.Text()[1].substr(0, c.Shown.size()), c.Shown);
        EXPECT_EQ(view.CursorX(), c.CursorX);
        EXPECT_EQ(view.CursorY(), 1);
    }
    EditorWindow window;
    window.Title = "Zelvane 3: edit the names";
    EditorView view(window, EditorText({u"a", u"b"}), [](const MessageBox&) { return intptr_t{-1}; });
    ScreenBuffer screen(80, 25, Palette::EditorText());
    view.Key(CharKey(u'x'));
    view.Paint(screen);
    EXPECT_EQ(screen.Text()[0].substr(0, 25), "Zelvane 3: edit the names");
    EXPECT_NE(screen.Text()[0].find("\xE2\x94\x82* \xE2\x94\x82UTF-8\xE2\x94\x82Ln 1/2\xE2\x94\x82" "Col 2"),
              std::string::npos);
    EXPECT_NE(screen.Text()[24].find("2Save"), std::string::npos);
    EXPECT_NE(screen.Text()[24].find("10Quit"), std::string::npos);
}

// The line mode's modal editor: its commands replace the text, save and
// close, and closing a changed text asks by button number.
TEST_F(Editors, LineModeEditorCommands)
{
    struct Case {
        const char* Name;
        const char* Input;
        bool Saved;
        const char* After;
    };
    const Case cases[] = {
        {"replace, save, close", "t\nnew a\n..b\n.\nw\nx\n", true, "new a\r\n.b\r\n"},
        {"close asks: Yes", "t\nz\n.\nx\n1\n", true, "z\r\n"},
        {"close asks: No", "t\nz\n.\nx\n2\n", false, "a\r\nb\r\n"},
        {"close asks: Cancel, then No", "t\nz\n.\nx\n3\nx\n2\n", false, "a\r\nb\r\n"},
        {"the script ends", "t\nz\n.\n", false, "a\r\nb\r\n"},
        {"unchanged: closes at once", "p\nx\n", false, "a\r\nb\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EditorWindow window;
        window.FileName = Folder.Write("names.txt", "a\r\nb\r\n");
        window.CodePage = Far3::CodePage::Utf8;
        std::istringstream in(c.Input);
        std::ostringstream out;
        LineFrontEnd line(in, out);
        EXPECT_EQ(line.RunEditor(window), c.Saved) << out.str();
        EXPECT_EQ(ReadWholeFile(window.FileName).value_or("(none)"), c.After);
        EXPECT_EQ(in.peek(), std::char_traits<char>::eof()) << "input left unread";
    }
}

} // namespace

