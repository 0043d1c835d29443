#include "host/dialogs/DialogLayout.h"

#include "base/Int16Clamp.h"

#include <algorithm>
#include <limits>

namespace Host {

namespace {

using Base::ClampToInt16;

bool InCenterGroup(const DialogItem& item)
{
    return item.Has(Far3::DIF_CENTERGROUP) && item.IsVisible() &&
           (item.IsButton() || item.IsCheckLike() || item.Type == Far3::DI_TEXT || item.Type == Far3::DI_VTEXT);
}

// The columns an item takes in a centred group: its text, a space after a
// button, "[x] " and a space around a check box; an empty text adds nothing.
int GroupWidth(const DialogItem& item, const ItemPlacement& placement)
{
    const int length = static_cast<int>(placement.Shown.size());
    if (length == 0)
        return 0;
    if (item.IsButton())
        return length + 1;
    if (item.IsCheckLike())
        return length + 5;
    return length;
}

// The most cells a plain DI_TEXT may take so that it stays inside the
// frame: from X1 to five cells short of the dialog's edge, or the width less
// ten when centred; a small dialog has no margin, so two and four.
size_t LongestPlainText(const DialogItem& item, int width, bool smallDialog)
{
    const int room = item.X1 == -1 ? width - (smallDialog ? 4 : 10)
                                   : width - ClampToInt16(item.X1) - (smallDialog ? 2 : 5);
    return static_cast<size_t>(std::max(0, room));
}

ItemPlacement PlaceOne(const DialogItem& item, int width, int height, bool smallDialog)
{
    ItemPlacement place;
    place.Shown = item.HasHotkeyText() ? WithoutHotkeyMark(item.Data, &place.Hotkey) : item.Data;
    // A plain text stays whole for its hotkey; only its cells are cut.
    const int room = item.Type == Far3::DI_TEXT ? static_cast<int>(LongestPlainText(item, width, smallDialog))
                                                : std::numeric_limits<int>::max();
    const int length = std::min(static_cast<int>(place.Shown.size()), room);
    int left = ClampToInt16(item.X1);
    int top = ClampToInt16(item.Y1);
    int right = ClampToInt16(item.X2);
    int bottom = ClampToInt16(item.Y2);
    if (item.Type == Far3::DI_TEXT && item.Y1 == -1)
        top = bottom = height / 2;

    CellRect& cells = place.Cells;
    Far3::SMALL_RECT& reported = place.Reported;
    if (item.IsSeparator()) {
        cells = smallDialog ? CellRect{0, top, width - 1, top} : CellRect{3, top, width - 4, top};
        reported = {ClampToInt16(3), ClampToInt16(top), ClampToInt16(width - 6), ClampToInt16(top)};
        if (item.X1 != -1)
            place.CaptionOffset = left - cells.Left;
        return place;
    }
    if (item.IsBox()) {
        cells = {left, top, right, bottom};
    } else if (item.IsText()) {
        if (item.X1 == -1)
            left = (width - length) / 2;
        const bool fitted = item.X2 > item.X1 && item.X1 >= 0;
        const int fittedRight = room < right - left + 1 ? left + room - 1 : right;
        cells = {left, top, fitted ? fittedRight : left + length - 1, top};
    } else if (item.IsButton()) {
        cells = {left, top, left + length - 1, top};
        reported = {ClampToInt16(left), ClampToInt16(top), ClampToInt16(left + length), ClampToInt16(top)};
        return place;
    } else if (item.IsCheckLike()) {
        // "[x] " and the text; "[x]" alone when there is none.
        cells = {left, top, length == 0 ? left + 2 : left + length + 3, top};
        reported = {ClampToInt16(left), ClampToInt16(top), ClampToInt16(left + length + 4), ClampToInt16(top)};
        return place;
    } else if (item.Type == Far3::DI_LISTBOX || (item.Type == Far3::DI_EDIT && item.Has(Far3::DIF_EDITOR))) {
        cells = {left, top, right, bottom};
    } else {
        cells = {left, top, right, top};
    }
    reported = {ClampToInt16(cells.Left), ClampToInt16(cells.Top), ClampToInt16(cells.Right),
                ClampToInt16(cells.Bottom)};
    return place;
}

// Consecutive centred items on one row are laid out as one group across the
// whole dialog width, one space apart.
void CenterGroups(const std::vector<DialogItem>& items, std::vector<ItemPlacement>& places, int width)
{
    size_t i = 0;
    while (i < items.size()) {
        if (!InCenterGroup(items[i])) {
            ++i;
            continue;
        }
        std::vector<size_t> group{i};
        size_t next = i + 1;
        for (; next < items.size(); ++next) {
            if (!items[next].IsVisible())
                continue;
            if (!InCenterGroup(items[next]) || items[next].Y1 != items[i].Y1)
                break;
            group.push_back(next);
        }
        // The space after the last button is not counted when the group
        // starts with a button that has a text.
        int total = items[i].IsButton() && !places[i].Shown.empty() ? -1 : 0;
        for (size_t member : group)
            total += GroupWidth(items[member], places[member]);
        int x = std::max(0, (width - total) / 2);
        for (size_t member : group) {
            ItemPlacement& place = places[member];
            const int shift = x - place.Cells.Left;
            place.Cells.Left += shift;
            place.Cells.Right += shift;
            place.Reported.Left = ClampToInt16(place.Reported.Left + shift);
            place.Reported.Right = ClampToInt16(place.Reported.Right + shift);
            x += GroupWidth(items[member], place);
        }
        i = next;
    }
}

} // namespace

std::vector<ItemPlacement> LayOutItems(const std::vector<DialogItem>& items, int width, int height,
                                       bool smallDialog)
{
    std::vector<ItemPlacement> places;
    places.reserve(items.size());
    for (const DialogItem& item : items)
        places.push_back(PlaceOne(item, width, height, smallDialog));
    CenterGroups(items, places, width);
    return places;
}

} // namespace Host
