// The two file panels as Far draws them in its full view, each half the
// screen: the folder as the frame's title, column heads (Name, Size,
// Date), the items (folders white, selected names yellow, the cursor a
// cyan bar on the active panel), the selection summary in the separator,
// the status line for the item under the cursor, the totals in the bottom
// frame, the command-line prompt and the key bar.
//
//     row 0            ╔═══ /home/ann/trips ═══╗
//     row 1            ║n   Name   ║ Size ║Date║
//     rows 2 .. H-6    items (H-7 rows)
//     row H-5          ╟─ Bytes: 6,921, files: 2, folders: 0 ─╢
//     row H-4          ║notes.txt      1988 11/30/26 14:05║
//     row H-3          ╚ Bytes: 15.3 K, files: 6, folders: 1 ╝
//     row H-2          /home/ann/trips>
//     row H-1          key bar
#pragma once

#include "host/files/Panel.h"
#include "host/views/KeyBar.h"
#include "host/console/ScreenBuffer.h"

#include <string>

namespace Host {

// Where things are for a screen of `width` x `height`.
struct PanelGeometry {
    int LeftWidth = 0;     // the active (left) panel's columns, frame included
    int ItemRows = 0;      // rows of items
    int FirstItemRow = 2;
    // Columns inside the frame: name, size, date (and time when there is room).
    int NameWidth = 0;
    int SizeWidth = 9;
    int DateWidth = 8;
    int TimeWidth = 0;
};

PanelGeometry PanelLayout(int width, int height);

// The first item shown so that `cursor` is visible, moving `top` as little
// as possible.
size_t ScrollTop(size_t top, size_t cursor, size_t rows, size_t count);

// One panel to draw: its items, the first item shown, and whether the
// cursor bar is drawn (the active panel).
struct PanelPicture {
    const Panel* Source = nullptr;
    size_t Top = 0;
    bool Active = false;
};

// Paints both panels, the command-line prompt and the key bar.
void PaintPanels(ScreenBuffer& screen, const PanelPicture& left, const PanelPicture& right, const KeyLabels& keys);

// Texts as the panel shows them.
std::u16string GroupedNumber(uint64_t value);   // 6,921
std::u16string ShortSize(uint64_t value);       // 0 B, 980 B, 15.3 K, 2.0 M
std::u16string SelectionSummary(const Panel& panel); // empty when nothing is selected
std::u16string TotalsSummary(const Panel& panel);

} // namespace Host
