#include "host/dialogs/DialogLayout.h"

#include <algorithm>

namespace Host {

namespace {

int Narrow(intptr_t value)
{
    return static_cast<int>(std::clamp<intptr_t>(value, -32768, 32767));
}

int16_t Short(int value)
{
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

bool InCenterGroup(const DialogItem& item)
{
    return item.Has(Far3::DIF_CENTERGROUP) && item.IsVisible() &&
           (item.IsButton() || item.IsCheckLike() || item.Type == Far3::DI_TEXT || item.Type == Far3::DI_VTEXT);
}

// The columns an item takes in a centred group: its text, a space after a
// button, "[x] " and a space around a check box.
int GroupWidth(const DialogItem& item, const ItemPlacement& placement)
{
    const int length = static_cast<int>(placement.Shown.size());
    if (item.IsButton())
        return length + 1;
    if (item.IsCheckLike())
        return length + 5;
    return length;
}

ItemPlacement PlaceOne(const DialogItem& item, int width, int height, bool smallDialog)
{
    ItemPlacement place;
    place.Shown = item.HasHotkeyText() ? WithoutHotkeyMark(item.Data, &place.Hotkey) : item.Data;
    const int length = static_cast<int>(place.Shown.size());
    int left = Narrow(item.X1);
    int top = Narrow(item.Y1);
    int right = Narrow(item.X2);
    int bottom = Narrow(item.Y2);
    if (item.Type == Far3::DI_TEXT && item.Y1 == -1)
        top = bottom = height / 2;

    CellRect& cells = place.Cells;
    Far3::SMALL_RECT& reported = place.Reported;
    if (item.IsSeparator()) {
        cells = smallDialog ? CellRect{0, top, width - 1, top} : CellRect{3, top, width - 4, top};
        reported = {Short(3), Short(top), Short(width - 6), Short(top)};
        return place;
    }
    if (item.IsBox()) {
        cells = {left, top, right, bottom};
    } else if (item.IsText()) {
        if (item.X1 == -1)
            left = (width - length) / 2;
        const bool fitted = item.X2 > item.X1 && item.X1 >= 0;
        cells = {left, top, fitted ? right : left + length - 1, top};
    } else if (item.IsButton()) {
        cells = {left, top, left + length - 1, top};
        reported = {Short(left), Short(top), Short(left + length), Short(top)};
        return place;
    } else if (item.IsCheckLike()) {
        cells = {left, top, left + length + 3, top};
        reported = {Short(left), Short(top), Short(left + length + 4), Short(top)};
        return place;
    } else if (item.Type == Far3::DI_LISTBOX || (item.Type == Far3::DI_EDIT && item.Has(Far3::DIF_EDITOR))) {
        cells = {left, top, right, bottom};
    } else {
        cells = {left, top, right, top};
    }
    reported = {Short(cells.Left), Short(cells.Top), Short(cells.Right), Short(cells.Bottom)};
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
        int total = -1;
        for (size_t member : group)
            total += GroupWidth(items[member], places[member]);
        int x = std::max(0, (width - total) / 2);
        for (size_t member : group) {
            ItemPlacement& place = places[member];
            const int shift = x - place.Cells.Left;
            place.Cells.Left += shift;
            place.Cells.Right += shift;
            place.Reported.Left = Short(place.Reported.Left + shift);
            place.Reported.Right = Short(place.Reported.Right + shift);
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
