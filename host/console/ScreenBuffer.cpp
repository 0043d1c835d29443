#include "host/console/ScreenBuffer.h"

#include "base/Utf16.h"

#include "host/text/HostText.h"

#include <algorithm>

namespace Host {

namespace {

// Marks cells of a blank grid that the dialog painter has not written.
constexpr char16_t Untouched = 0xFFFF;
constexpr Far3::FarColor UntouchedColor{0, 0xDEADBEEF, 0xDEADBEEF, nullptr};

} // namespace

bool SameColor(const Far3::FarColor& a, const Far3::FarColor& b)
{
    return a.Flags == b.Flags && a.ForegroundColor == b.ForegroundColor && a.BackgroundColor == b.BackgroundColor;
}

ScreenBuffer::ScreenBuffer(int width, int height, const Far3::FarColor& color)
    : Columns(std::max(0, width)), Rows(std::max(0, height)),
      Cells(static_cast<size_t>(Columns) * static_cast<size_t>(Rows), ScreenCell{u" ", color, false, false})
{
}

void ScreenBuffer::Detach(int x, int y)
{
    ScreenCell& cell = Cells[Index(x, y)];
    if (cell.SecondHalf && x > 0) {
        ScreenCell& first = Cells[Index(x - 1, y)];
        first.Text = u" ";
    } else if (!cell.SecondHalf && x + 1 < Columns && Cells[Index(x + 1, y)].SecondHalf) {
        ScreenCell& second = Cells[Index(x + 1, y)];
        second.Text = u" ";
        second.SecondHalf = false;
    }
    cell.SecondHalf = false;
}

void ScreenBuffer::PutGlyph(int x, int y, const Glyph& glyph, const Far3::FarColor& color)
{
    if (!Inside(x, y))
        return;
    Detach(x, y);
    Cells[Index(x, y)] = ScreenCell{glyph.Text, color, false, false};
    if (glyph.Width == 2 && x + 1 < Columns) {
        Detach(x + 1, y);
        Cells[Index(x + 1, y)] = ScreenCell{u"", color, false, true};
    } else if (glyph.Width == 2) {
        Cells[Index(x, y)].Text = u" ";
    }
}

int ScreenBuffer::Write(int x, int y, std::u16string_view text, const Far3::FarColor& color, int limit)
{
    const int end = limit < 0 ? Columns : std::min(limit, Columns);
    for (const Glyph& glyph : SplitGlyphs(text)) {
        if (x + glyph.Width > end) {
            // Half a wide glyph does not fit: the column stays blank.
            if (x < end)
                PutGlyph(x, y, Glyph{u" ", 1}, color);
            return end;
        }
        PutGlyph(x, y, glyph, color);
        x += glyph.Width;
    }
    return x;
}

void ScreenBuffer::Fill(int left, int top, int right, int bottom, char16_t c, const Far3::FarColor& color)
{
    const Glyph glyph{std::u16string(1, c), 1};
    for (int y = std::max(0, top); y <= std::min(bottom, Rows - 1); ++y)
        for (int x = std::max(0, left); x <= std::min(right, Columns - 1); ++x)
            PutGlyph(x, y, glyph, color);
}

void ScreenBuffer::Recolor(int left, int top, int right, int bottom, const Far3::FarColor& color)
{
    for (int y = std::max(0, top); y <= std::min(bottom, Rows - 1); ++y)
        for (int x = std::max(0, left); x <= std::min(right, Columns - 1); ++x)
            Cells[Index(x, y)].Color = color;
}

void ScreenBuffer::SetUnderline(int x, int y)
{
    if (Inside(x, y))
        Cells[Index(x, y)].Underline = true;
}

CellGrid ScreenBuffer::BlankGrid() const
{
    CellGrid grid(Columns, Rows);
    grid.Fill(0, 0, Columns - 1, Rows - 1, Untouched, UntouchedColor);
    return grid;
}

void ScreenBuffer::Overlay(const CellGrid& grid)
{
    const int width = std::min(Columns, grid.Width());
    const int height = std::min(Rows, grid.Height());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Cell& cell = grid.At(x, y);
            if (SameColor(cell.Color, UntouchedColor))
                continue;
            if (cell.Char == Untouched) {
                Cells[Index(x, y)].Color = cell.Color;
                continue;
            }
            // A surrogate pair the painter put into two cells is one glyph.
            std::u16string text(1, cell.Char);
            if (Base::IsHighSurrogate(cell.Char) && x + 1 < width) {
                text += grid.At(x + 1, y).Char;
                const std::vector<Glyph> glyphs = SplitGlyphs(text);
                PutGlyph(x, y, glyphs.front(), cell.Color);
                if (glyphs.front().Width == 1)
                    PutGlyph(x + 1, y, Glyph{u" ", 1}, cell.Color);
                ++x;
                continue;
            }
            std::vector<Glyph> glyphs = SplitGlyphs(text);
            Glyph glyph = glyphs.empty() ? Glyph{u" ", 1} : glyphs.front();
            if (glyph.Width == 0)
                glyph = Glyph{u" ", 1};
            PutGlyph(x, y, glyph, cell.Color);
            if (glyph.Width == 2)
                ++x; // the painter's next cell is covered by this glyph
        }
    }
}

std::vector<std::string> ScreenBuffer::Text() const
{
    std::vector<std::string> lines;
    for (int y = 0; y < Rows; ++y) {
        std::u16string row;
        for (int x = 0; x < Columns; ++x)
            row += Cells[Index(x, y)].Text;
        lines.push_back(Utf16ToUtf8(row));
    }
    return lines;
}

} // namespace Host
