#include "host/views/EditorView.h"

#include "far3/FarKeysW.h"
#include "host/text/HostText.h"
#include "host/views/KeyBar.h"
#include "host/views/Palette.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;
constexpr uint16_t SaveKey = 0x71; // F2

constexpr uintptr_t CodePageUtf16 = 1200;
constexpr int TabSize = 8;

std::u16string DecodeText(const std::string& bytes, uintptr_t codePage)
{
    if (bytes.starts_with("\xFF\xFE") || codePage == CodePageUtf16) {
        const size_t start = bytes.starts_with("\xFF\xFE") ? 2 : 0;
        std::u16string text;
        for (size_t i = start; i + 1 < bytes.size(); i += 2)
            text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
        return text;
    }
    std::string_view view(bytes);
    if (view.starts_with("\xEF\xBB\xBF"))
        view.remove_prefix(3);
    return Utf8ToUtf16(view);
}

std::u16string ExpandTabs(const std::u16string& line)
{
    std::u16string result;
    int column = 0;
    for (const Glyph& glyph : SplitGlyphs(line)) {
        if (glyph.Text == u"\t") {
            const int spaces = TabSize - column % TabSize;
            result.append(static_cast<size_t>(spaces), u' ');
            column += spaces;
            continue;
        }
        result += glyph.Text;
        column += glyph.Width;
    }
    return result;
}

// The screen column where each glyph of a line starts, tabs reaching the
// next multiple of eight; one more entry for the end of the line.
std::vector<int> GlyphColumns(const std::vector<Glyph>& glyphs)
{
    std::vector<int> columns;
    int column = 0;
    for (const Glyph& glyph : glyphs) {
        columns.push_back(column);
        column += glyph.Text == u"\t" ? TabSize - column % TabSize : glyph.Width;
    }
    columns.push_back(column);
    return columns;
}

std::u16string Number(size_t value)
{
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

std::u16string CodePageName(uintptr_t codePage)
{
    if (codePage == CodePageUtf16)
        return u"UTF-16";
    if (codePage == Far3::CodePage::Utf8 || codePage == 0 || codePage == static_cast<uintptr_t>(-1))
        return u"UTF-8";
    return Number(codePage);
}

bool HoldsModifier(const KeyPress& key)
{
    return key.Ctrl() || key.Alt() || key.Shift();
}

bool TypesCharacter(const KeyPress& key)
{
    if (key.Char < 0x20 || key.Char == 0x7F)
        return false;
    return !(key.Ctrl() || key.Alt()) || KeepsCharacterWithModifier(key);
}

} // namespace

std::vector<std::u16string> ReadTextLines(const std::filesystem::path& file, uintptr_t codePage)
{
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::u16string text = DecodeText(bytes, codePage);
    std::vector<std::u16string> lines;
    std::u16string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            lines.push_back(ExpandTabs(line));
            line.clear();
            continue;
        }
        line += c;
    }
    lines.push_back(ExpandTabs(line));
    return lines;
}

MessageBox SaveQuestion(const EditorWindow& window)
{
    return MessageBox{0, "Editor", {window.FileName.string(), "Save the file?"}, {"&Yes", "&No", "&Cancel"}};
}

MessageBox SaveFailure(const EditorWindow& window, const std::string& reason)
{
    return MessageBox{Far3::FMSG_WARNING, "Error", {"Cannot save the file", window.FileName.string(), reason}, {"OK"}};
}

EditorView::EditorView(EditorWindow window, std::vector<std::u16string> lines)
    : Shown(std::move(window)), Document(lines), ReadOnly(true)
{
    if (Shown.StartLine > 0)
        CursorLine = std::min(static_cast<size_t>(Shown.StartLine - 1), Document.LineCount() - 1);
}

EditorView::EditorView(EditorWindow window, EditorText text, Ask ask)
    : Shown(std::move(window)), Document(std::move(text)), Asker(std::move(ask))
{
    if (Shown.StartLine > 0)
        CursorLine = std::min(static_cast<size_t>(Shown.StartLine - 1), Document.LineCount() - 1);
}

size_t EditorView::GlyphCount(size_t line) const
{
    return SplitGlyphs(Document.Line(line)).size();
}

size_t EditorView::Offset(size_t glyph) const
{
    size_t offset = 0;
    const std::vector<Glyph> glyphs = SplitGlyphs(Document.Line(CursorLine));
    for (size_t i = 0; i < glyph && i < glyphs.size(); ++i)
        offset += glyphs[i].Text.size();
    return offset;
}

size_t EditorView::GlyphAt(size_t offset) const
{
    size_t glyph = 0;
    size_t end = 0;
    for (const Glyph& shown : SplitGlyphs(Document.Line(CursorLine))) {
        if (end >= offset)
            break;
        end += shown.Text.size();
        ++glyph;
    }
    return glyph;
}

void EditorView::Clamp()
{
    CursorLine = std::min(CursorLine, Document.LineCount() - 1);
    CursorColumn = std::min(CursorColumn, GlyphCount(CursorLine));
}

bool EditorView::Save()
{
    if (std::optional<std::string> failure = Document.Save(Shown.FileName)) {
        if (Asker)
            Asker(SaveFailure(Shown, *failure));
        return false;
    }
    SavedOnce = true;
    return true;
}

bool EditorView::MayClose()
{
    if (ReadOnly || !Document.Modified() || !Asker)
        return true;
    switch (Asker(SaveQuestion(Shown))) {
    case 0: return Save();
    case 1: return true;
    default: return false;
    }
}

bool EditorView::Key(const KeyPress& key)
{
    const size_t page = static_cast<size_t>(std::max(1, TextRows - 1));
    Clamp();
    switch (key.VirtualKey) {
    case Vk::Escape:
    case Vk::F10:
        if (!HoldsModifier(key))
            return !MayClose();
        break;
    case SaveKey:
        if (!ReadOnly && !HoldsModifier(key))
            Save();
        break;
    case Vk::Up:
        CursorLine = CursorLine > 0 ? CursorLine - 1 : 0;
        break;
    case Vk::Down:
        ++CursorLine;
        break;
    case Vk::Left:
        if (CursorColumn > 0) {
            --CursorColumn;
        } else if (!ReadOnly && CursorLine > 0) {
            --CursorLine;
            CursorColumn = GlyphCount(CursorLine);
        }
        break;
    case Vk::Right:
        if (!ReadOnly && CursorColumn >= GlyphCount(CursorLine) && CursorLine + 1 < Document.LineCount()) {
            ++CursorLine;
            CursorColumn = 0;
        } else {
            ++CursorColumn;
        }
        break;
    case Vk::Prior:
        CursorLine = CursorLine > page ? CursorLine - page : 0;
        TopLine = TopLine > page ? TopLine - page : 0;
        break;
    case Vk::Next:
        CursorLine += page;
        TopLine += page;
        break;
    case Vk::Home:
        if (key.Ctrl())
            CursorLine = 0;
        CursorColumn = 0;
        break;
    case Vk::End:
        if (key.Ctrl())
            CursorLine = Document.LineCount() - 1;
        CursorColumn = GlyphCount(std::min(CursorLine, Document.LineCount() - 1));
        break;
    default:
        if (!ReadOnly)
            Edit(key);
        break;
    }
    Clamp();
    return true;
}

bool EditorView::Edit(const KeyPress& key)
{
    const size_t at = Offset(CursorColumn);
    switch (key.VirtualKey) {
    case Vk::Delete:
        if (HoldsModifier(key))
            return false;
        if (CursorColumn < GlyphCount(CursorLine))
            Document.Erase(CursorLine, at, Offset(CursorColumn + 1) - at);
        else
            Document.Join(CursorLine);
        return true;
    case Vk::Back:
        if (HoldsModifier(key))
            return false;
        if (CursorColumn > 0) {
            const size_t before = Offset(CursorColumn - 1);
            Document.Erase(CursorLine, before, at - before);
            CursorColumn = GlyphAt(before);
        } else if (CursorLine > 0) {
            --CursorLine;
            CursorColumn = GlyphCount(CursorLine);
            Document.Join(CursorLine);
        }
        return true;
    case Vk::Return:
        if (key.Ctrl() || key.Alt())
            return false;
        Document.Split(CursorLine, at);
        ++CursorLine;
        CursorColumn = 0;
        return true;
    case 'Y':
        if (!key.Ctrl() || key.Alt() || key.Shift())
            break;
        Document.DeleteLine(CursorLine);
        CursorColumn = 0;
        return true;
    case Vk::Tab:
        if (HoldsModifier(key))
            return false;
        Document.Insert(CursorLine, at, u"\t");
        ++CursorColumn;
        return true;
    default:
        break;
    }
    if (!TypesCharacter(key))
        return false;
    const char16_t typed[] = {key.Char, 0};
    Document.Insert(CursorLine, at, typed);
    CursorColumn = GlyphAt(at + 1);
    return true;
}

void EditorView::Paste(std::u16string_view text)
{
    if (ReadOnly)
        return;
    Clamp();
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t at = Offset(CursorColumn);
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            Document.Split(CursorLine, at);
            ++CursorLine;
            CursorColumn = 0;
            continue;
        }
        Document.Insert(CursorLine, at, text.substr(i, 1));
        CursorColumn = GlyphAt(at + 1);
    }
}

void EditorView::Paint(ScreenBuffer& screen)
{
    const int width = screen.Width();
    const int height = screen.Height();
    TextRows = std::max(1, height - 2);
    Clamp();
    // Keep the cursor inside the window.
    const size_t rows = static_cast<size_t>(TextRows);
    const size_t lineCount = Document.LineCount();
    if (CursorLine < TopLine)
        TopLine = CursorLine;
    else if (CursorLine >= TopLine + rows)
        TopLine = CursorLine - rows + 1;
    TopLine = std::min(TopLine, lineCount > rows ? lineCount - rows : 0);

    // Scroll sideways until the cursor's cell is on the screen.
    const std::vector<Glyph> current = SplitGlyphs(Document.Line(CursorLine));
    const std::vector<int> columns = GlyphColumns(current);
    const int cursorWidth =
        CursorColumn < current.size() ? columns[CursorColumn + 1] - columns[CursorColumn] : 1;
    if (CursorColumn < LeftColumn)
        LeftColumn = CursorColumn;
    while (LeftColumn < CursorColumn && columns[CursorColumn] + cursorWidth - columns[LeftColumn] > width)
        ++LeftColumn;

    screen.Fill(0, 0, width - 1, height - 1, u' ', Palette::EditorText());
    // The status line: the title, then the changed mark, code page and position.
    const std::u16string title = Shown.Title.empty() ? PathToUtf16(Shown.FileName) : Utf8ToUtf16(Shown.Title);
    const std::u16string status = u"│" + std::u16string(Document.Modified() ? u"* " : u"  ") + u"│" +
                                  CodePageName(Shown.CodePage) + u"│Ln " + Number(CursorLine + 1) + u"/" +
                                  Number(lineCount) + u"│Col " + Number(CursorColumn + 1) + u" ";
    const int statusWidth = DisplayWidth(status);
    screen.Fill(0, 0, width - 1, 0, u' ', Palette::EditorStatus());
    screen.Write(0, 0, FitWidth(title, std::max(0, width - statusWidth - 1), u'}'), Palette::EditorStatus());
    screen.Write(std::max(0, width - statusWidth), 0, status, Palette::EditorStatus());

    for (int row = 0; row < TextRows; ++row) {
        const size_t index = TopLine + static_cast<size_t>(row);
        if (index >= lineCount)
            break;
        const std::vector<Glyph> glyphs = SplitGlyphs(Document.Line(index));
        const std::vector<int> starts = GlyphColumns(glyphs);
        const size_t first = std::min(LeftColumn, glyphs.size());
        std::u16string visible;
        for (size_t i = first; i < glyphs.size() && starts[i] - starts[first] < width; ++i)
            visible += glyphs[i].Text == u"\t" ? std::u16string(static_cast<size_t>(starts[i + 1] - starts[i]), u' ')
                                               : glyphs[i].Text;
        screen.Write(0, 1 + row, visible, Palette::EditorText());
    }
    KeyLabels labels;
    if (!ReadOnly)
        labels[1] = u"Save";
    labels[9] = u"Quit";
    PaintKeyBar(screen, height - 1, labels);

    ScreenX = std::min(width - 1, columns[CursorColumn] - columns[std::min(LeftColumn, CursorColumn)]);
    ScreenY = 1 + static_cast<int>(CursorLine - TopLine);
}

} // namespace Host
