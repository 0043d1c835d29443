// Draws a dialog as Far draws it, into a grid of character cells with
// colours: the double frame and its title, separators joining the frame,
// texts with their hotkeys, "[ Buttons ]" and the default "{ Button }",
// "[x] " check boxes, edit fields with the history arrow. The terminal front
// end shows the grid; tests read it as text.
#pragma once

#include "host/dialogs/DialogView.h"

#include <string>
#include <vector>

namespace Host {

struct Cell {
    char16_t Char = u' ';
    Far3::FarColor Color{};
};

class CellGrid {
public:
    CellGrid(int width, int height);

    int Width() const { return Columns; }
    int Height() const { return Rows; }
    // Cells outside the grid are ignored.
    void Put(int x, int y, char16_t c, const Far3::FarColor& color);
    void Write(int x, int y, std::u16string_view text, const Far3::FarColor& color);
    void Fill(int left, int top, int right, int bottom, char16_t c, const Far3::FarColor& color);
    const Cell& At(int x, int y) const { return Cells[Offset(x, y)]; }
    // One UTF-8 line per row.
    std::vector<std::string> Text() const;

private:
    // Counted in size_t: a large grid has more cells than an int holds.
    size_t Offset(int x, int y) const
    {
        return static_cast<size_t>(y) * static_cast<size_t>(Columns) + static_cast<size_t>(x);
    }

    int Columns;
    int Rows;
    std::vector<Cell> Cells;
};

// Paints the dialog at its screen position (shadow included).
void PaintDialog(const DialogView& dialog, CellGrid& screen);
// The dialog's own rectangle as text, one line per row.
std::vector<std::string> DialogText(const DialogView& dialog);
// Only the part of the dialog that lies on a screen of that size (what the
// line mode prints); empty when none of it does.
std::vector<std::string> DialogText(const DialogView& dialog, int screenWidth, int screenHeight);

} // namespace Host
