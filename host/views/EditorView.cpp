#include "host/views/EditorView.h"

#include "framework/FarKeysW.h"
#include "host/text/HostText.h"
#include "host/views/KeyBar.h"
#include "host/views/Palette.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;

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

std::u16string Number(size_t value)
{
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
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

EditorView::EditorView(EditorWindow window, std::vector<std::u16string> lines)
    : Shown(std::move(window)), Lines(std::move(lines))
{
    if (Lines.empty())
        Lines.emplace_back();
    if (Shown.StartLine > 0)
        CursorLine = std::min(static_cast<size_t>(Shown.StartLine - 1), Lines.size() - 1);
}

void EditorView::Clamp()
{
    CursorLine = std::min(CursorLine, Lines.size() - 1);
    CursorColumn = std::min(CursorColumn, SplitGlyphs(Lines[CursorLine]).size());
}

bool EditorView::Key(const KeyPress& key)
{
    const size_t page = static_cast<size_t>(std::max(1, TextRows - 1));
    switch (key.VirtualKey) {
    case Vk::Escape:
    case Vk::F10:
        return false;
    case Vk::Up:
        CursorLine = CursorLine > 0 ? CursorLine - 1 : 0;
        break;
    case Vk::Down:
        ++CursorLine;
        break;
    case Vk::Left:
        if (CursorColumn > 0)
            --CursorColumn;
        break;
    case Vk::Right:
        ++CursorColumn;
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
            CursorLine = Lines.size() - 1;
        CursorColumn = SplitGlyphs(Lines[std::min(CursorLine, Lines.size() - 1)]).size();
        break;
    default:
        break;
    }
    Clamp();
    return true;
}

void EditorView::Paint(ScreenBuffer& screen)
{
    const int width = screen.Width();
    const int height = screen.Height();
    TextRows = std::max(1, height - 2);
    Clamp();
    // Keep the cursor inside the window.
    const size_t rows = static_cast<size_t>(TextRows);
    if (CursorLine < TopLine)
        TopLine = CursorLine;
    else if (CursorLine >= TopLine + rows)
        TopLine = CursorLine - rows + 1;
    TopLine = std::min(TopLine, Lines.size() > rows ? Lines.size() - rows : 0);

    const std::vector<Glyph> current = SplitGlyphs(Lines[CursorLine]);
    if (CursorColumn < LeftColumn)
        LeftColumn = CursorColumn;
    auto widthBetween = [&](size_t from, size_t to) {
        int columns = 0;
        for (size_t i = from; i < to && i < current.size(); ++i)
            columns += current[i].Width;
        return columns + static_cast<int>(to > current.size() ? to - std::max(from, current.size()) : 0);
    };
    while (LeftColumn < CursorColumn && widthBetween(LeftColumn, CursorColumn) >= width)
        ++LeftColumn;

    screen.Fill(0, 0, width - 1, height - 1, u' ', Palette::EditorText());
    // The status line: the title, then the position.
    const std::u16string title = Shown.Title.empty() ? PathToUtf16(Shown.FileName) : Utf8ToUtf16(Shown.Title);
    const std::u16string position = u"│Ln " + Number(CursorLine + 1) + u"/" + Number(Lines.size()) + u"│Col " +
                                    Number(CursorColumn + 1) + u" ";
    const int positionWidth = DisplayWidth(position);
    screen.Fill(0, 0, width - 1, 0, u' ', Palette::EditorStatus());
    screen.Write(0, 0, FitWidth(title, std::max(0, width - positionWidth - 1), u'}'), Palette::EditorStatus());
    screen.Write(std::max(0, width - positionWidth), 0, position, Palette::EditorStatus());

    for (int row = 0; row < TextRows; ++row) {
        const size_t index = TopLine + static_cast<size_t>(row);
        if (index >= Lines.size())
            break;
        std::u16string visible;
        const std::vector<Glyph> glyphs = SplitGlyphs(Lines[index]);
        for (size_t i = LeftColumn; i < glyphs.size(); ++i)
            visible += glyphs[i].Text;
        screen.Write(0, 1 + row, visible, Palette::EditorText());
    }
    KeyLabels labels;
    labels[9] = u"Quit";
    PaintKeyBar(screen, height - 1, labels);

    ScreenX = std::min(width - 1, widthBetween(LeftColumn, CursorColumn));
    ScreenY = 1 + static_cast<int>(CursorLine - TopLine);
}

} // namespace Host
