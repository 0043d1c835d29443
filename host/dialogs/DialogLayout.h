// Where Far puts a running dialog's items: centred texts and button groups,
// separators joining the frame, buttons and check boxes as wide as their
// texts, a long plain text cut to the cells inside the frame. Used for drawing and for DM_GETITEMPOSITION, which reports the
// rectangles the host computed rather than the ones the plugin declared.
#pragma once

#include "host/dialogs/DialogItem.h"

#include <optional>
#include <string>
#include <vector>

namespace Host {

// Dialog-relative cells, inclusive.
struct CellRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct ItemPlacement {
    CellRect Cells;                 // what is drawn
    Far3::SMALL_RECT Reported{};    // what DM_GETITEMPOSITION answers
    std::u16string Shown;           // the drawn text, hotkey mark removed
    size_t Hotkey = std::u16string::npos;
    // A separator's caption placed by its X1: cells from Cells.Left; none: centred.
    std::optional<int> CaptionOffset;
};

// The placement of every item in a dialog of `width` x `height`.
std::vector<ItemPlacement> LayOutItems(const std::vector<DialogItem>& items, int width, int height,
                                       bool smallDialog);

} // namespace Host
