// The whole terminal screen as the full-screen front end composes it before
// putting it on the terminal: cells of glyphs with Far's console colours.
// A wide glyph takes its cell and marks the next one as its second half.
// Dialogs painted by the dialog manager (a CellGrid) are laid over it.
#pragma once

#include "host/dialogs/DialogPainter.h"
#include "host/console/TextWidth.h"

#include <string>
#include <vector>

namespace Host {

struct ScreenCell {
    // The glyph drawn here; empty in the second half of a wide glyph.
    std::u16string Text = u" ";
    Far3::FarColor Color{};
    bool Underline = false;
    bool SecondHalf = false;
};

class ScreenBuffer {
public:
    ScreenBuffer(int width, int height, const Far3::FarColor& color);

    int Width() const { return Columns; }
    int Height() const { return Rows; }
    const ScreenCell& At(int x, int y) const { return Cells[Index(x, y)]; }

    // Writes text from column x, measured by display width, stopping before
    // column `limit` (the screen's edge when negative). Returns the column
    // after the text.
    int Write(int x, int y, std::u16string_view text, const Far3::FarColor& color, int limit = -1);
    void Fill(int left, int top, int right, int bottom, char16_t c, const Far3::FarColor& color);
    // Changes the colour of cells and keeps their glyphs (shadows, bars).
    void Recolor(int left, int top, int right, int bottom, const Far3::FarColor& color);
    void SetUnderline(int x, int y);

    // Lays a painted dialog over the screen: every cell the painter touched
    // is taken from `grid`; a cell whose glyph the painter left alone (a
    // shadow) keeps its glyph and takes the new colour. `grid` must be the
    // screen's size and start filled by BlankGrid().
    void Overlay(const CellGrid& grid);
    // A grid of the screen's size in which untouched cells can be told apart.
    CellGrid BlankGrid() const;

    // One UTF-8 line per row, as a terminal would show it.
    std::vector<std::string> Text() const;

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(Columns) + static_cast<size_t>(x); }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Columns && y < Rows; }
    void PutGlyph(int x, int y, const Glyph& glyph, const Far3::FarColor& color);
    // Clears a half of a wide glyph whose other half is being overwritten.
    void Detach(int x, int y);

    int Columns;
    int Rows;
    std::vector<ScreenCell> Cells;
};

// True when both colours are the same, flags and values.
bool SameColor(const Far3::FarColor& a, const Far3::FarColor& b);

} // namespace Host
