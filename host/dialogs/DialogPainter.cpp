#include "host/dialogs/DialogPainter.h"

#include "host/text/HostText.h"
#include "host/dialogs/DialogColors.h"

#include <algorithm>

namespace Host {

namespace {

Far3::FarColor ColorOf(const DialogItemView& item, size_t which)
{
    return which < item.Colors.size() ? item.Colors[which] : ConsoleColor(0, 7);
}

// A text with its hotkey character in the hotkey colour.
void WriteWithHotkey(CellGrid& grid, int x, int y, const DialogItemView& item, std::u16string_view text,
                     size_t hotkey, const Far3::FarColor& color)
{
    grid.Write(x, y, text, color);
    if (hotkey < text.size())
        grid.Put(x + static_cast<int>(hotkey), y, text[hotkey], ColorOf(item, ItemHotkey));
}

void PaintBox(CellGrid& grid, const DialogItemView& item)
{
    const bool doubled = item.Type == Far3::DI_DOUBLEBOX;
    const Far3::FarColor color = ColorOf(item, ItemFrame);
    const int left = item.Left, top = item.Top, right = item.Right, bottom = item.Bottom;
    if (top == bottom) {
        grid.Fill(left, top, right, top, doubled ? u'═' : u'─', color);
        return;
    }
    if (left == right) {
        grid.Fill(left, top, left, bottom, doubled ? u'║' : u'│', color);
        return;
    }
    grid.Fill(left + 1, top, right - 1, top, doubled ? u'═' : u'─', color);
    grid.Fill(left + 1, bottom, right - 1, bottom, doubled ? u'═' : u'─', color);
    grid.Fill(left, top + 1, left, bottom - 1, doubled ? u'║' : u'│', color);
    grid.Fill(right, top + 1, right, bottom - 1, doubled ? u'║' : u'│', color);
    grid.Put(left, top, doubled ? u'╔' : u'┌', color);
    grid.Put(right, top, doubled ? u'╗' : u'┐', color);
    grid.Put(left, bottom, doubled ? u'╚' : u'└', color);
    grid.Put(right, bottom, doubled ? u'╝' : u'┘', color);
    if (item.Shown.empty())
        return;
    // The title: cut to the inner width with '…' at its end, a space on
    // each side while it is shorter than that, centred unless DIF_LEFTTEXT
    // or DIF_RIGHTTEXT puts it at an edge.
    const int width = right - left + 1;
    const size_t room = static_cast<size_t>(std::max(0, width - 2));
    std::u16string title = item.Shown;
    size_t hotkey = item.Hotkey;
    if (title.size() > room) {
        title = room == 0 ? std::u16string() : title.substr(0, room - 1) + u"…";
        if (hotkey != std::u16string::npos && hotkey + 1 >= room)
            hotkey = std::u16string::npos;
    }
    if (title.size() < room) {
        title = u" " + title + u" ";
        hotkey = hotkey == std::u16string::npos ? hotkey : hotkey + 1;
    }
    int x = left + (width - static_cast<int>(title.size())) / 2;
    if (item.Flags & Far3::DIF_LEFTTEXT)
        x = left + 1;
    else if (item.Flags & Far3::DIF_RIGHTTEXT)
        x = right - static_cast<int>(title.size());
    WriteWithHotkey(grid, x, top, item, title, hotkey, ColorOf(item, ItemText));
}

void PaintSeparator(CellGrid& grid, const DialogItemView& item)
{
    const bool doubled = (item.Flags & Far3::DIF_SEPARATOR2) && !(item.Flags & Far3::DIF_SEPARATOR);
    const Far3::FarColor color = ColorOf(item, ItemFrame);
    grid.Fill(item.Left, item.Top, item.Right, item.Top, doubled ? u'═' : u'─', color);
    grid.Put(item.Left, item.Top, doubled ? u'╠' : u'╟', color);
    grid.Put(item.Right, item.Top, doubled ? u'╣' : u'╢', color);
    if (item.Shown.empty())
        return;
    // The caption with a space on each side it does not already have, at
    // the item's column or centred on the line.
    std::u16string caption = item.Shown;
    size_t hotkey = item.Hotkey;
    if (caption.front() != u' ') {
        caption.insert(caption.begin(), u' ');
        hotkey = hotkey == std::u16string::npos ? hotkey : hotkey + 1;
    }
    if (caption.back() != u' ')
        caption += u' ';
    const int x = item.CaptionOffset
                      ? item.Left + *item.CaptionOffset
                      : item.Left + (item.Right - item.Left + 1 - static_cast<int>(caption.size())) / 2;
    WriteWithHotkey(grid, x, item.Top, item, caption, hotkey, ColorOf(item, ItemText));
}

void PaintText(CellGrid& grid, const DialogItemView& item)
{
    const int width = item.Right - item.Left + 1;
    const int length = static_cast<int>(item.Shown.size());
    int x = item.Left;
    if (width > length && (item.Flags & Far3::DIF_CENTERTEXT))
        x += (width - length) / 2;
    else if (width > length && (item.Flags & Far3::DIF_RIGHTTEXT))
        x += width - length;
    grid.Fill(item.Left, item.Top, item.Right, item.Top, u' ', ColorOf(item, ItemText));
    const std::u16string shown = item.Shown.substr(0, static_cast<size_t>(std::max(width, 0)));
    WriteWithHotkey(grid, x, item.Top, item, shown, item.Hotkey, ColorOf(item, ItemText));
}

void PaintEdit(CellGrid& grid, const DialogItemView& item)
{
    const int width = std::max(1, item.Right - item.Left + 1);
    const Far3::FarColor color = ColorOf(item, item.Unchanged ? EditUnchanged : EditText);
    grid.Fill(item.Left, item.Top, item.Left + width - 1, item.Top, u' ', ColorOf(item, EditText));
    std::u16string text = item.Text;
    if (item.Type == Far3::DI_PSWEDIT) {
        text.assign(text.size(), u'*');
    } else {
        // Trailing blanks are made visible: spaces as '·', tabs as '→'.
        for (size_t i = text.size(); i > 0 && (text[i - 1] == u' ' || text[i - 1] == u'\t'); --i)
            text[i - 1] = text[i - 1] == u' ' ? u'·' : u'→';
    }
    const size_t first = std::min(item.FirstShown, text.size());
    const size_t shown = std::min(text.size() - first, static_cast<size_t>(width));
    for (size_t i = 0; i < shown; ++i) {
        const size_t at = first + i;
        const bool marked = at >= item.BlockStart && at < item.BlockEnd;
        grid.Put(item.Left + static_cast<int>(i), item.Top, text[at], marked ? ColorOf(item, EditBlock) : color);
    }
    if (!item.History.empty())
        grid.Put(item.Right + 1, item.Top, u'↓', ColorOf(item, EditArrow));
}

// A list dropped down under an edit (its history, or the entries offered to
// complete it), as Far draws a combo box's list: a single frame in white on
// cyan from the edit's left end to its arrow, at most eight rows (above the
// edit when there is no room below), a column for the tick of a locked
// entry, the cursor's row white on black, and date rows as captions in
// separators that join the frame.
void PaintDropDown(CellGrid& grid, const DialogItemView& edit, const std::vector<DialogView::HistoryListView::Row>& rows,
                   size_t top, size_t selected)
{
    constexpr size_t MaxRows = 8;
    if (rows.empty())
        return;
    const size_t count = std::min(rows.size(), MaxRows);
    top = std::min(top, rows.size() - count);
    const int left = edit.Left, right = std::max(edit.Right + (edit.History.empty() ? 0 : 1), edit.Left + 2);
    int boxTop = edit.Top + 1;
    const int height = static_cast<int>(count) + 2;
    if (boxTop + height > grid.Height() && edit.Top - height >= 0)
        boxTop = edit.Top - height;
    const int bottom = boxTop + height - 1;
    const Far3::FarColor frame = ConsoleColor(15, 3), text = ConsoleColor(15, 3), chosen = ConsoleColor(15, 0);
    grid.Fill(left, boxTop, right, bottom, u' ', frame);
    grid.Put(left, boxTop, u'┌', frame);
    grid.Put(right, boxTop, u'┐', frame);
    grid.Put(left, bottom, u'└', frame);
    grid.Put(right, bottom, u'┘', frame);
    for (int x = left + 1; x < right; ++x) {
        grid.Put(x, boxTop, u'─', frame);
        grid.Put(x, bottom, u'─', frame);
    }
    const size_t inner = static_cast<size_t>(right - left - 1);
    for (size_t row = 0; row < count; ++row) {
        const size_t index = top + row;
        const DialogView::HistoryListView::Row& shown = rows[index];
        const int y = boxTop + 1 + static_cast<int>(row);
        if (shown.Separator) {
            grid.Put(left, y, u'├', frame);
            grid.Put(right, y, u'┤', frame);
            grid.Fill(left + 1, y, right - 1, y, u'─', frame);
            if (!shown.Text.empty()) {
                const std::u16string caption = u" " + shown.Text + u" ";
                const std::u16string_view fitted = std::u16string_view(caption).substr(0, inner);
                grid.Write(left + 1 + static_cast<int>((inner - fitted.size()) / 2), y, fitted, frame);
            }
            continue;
        }
        grid.Put(left, y, u'│', frame);
        grid.Put(right, y, u'│', frame);
        const Far3::FarColor color = index == selected ? chosen : text;
        grid.Fill(left + 1, y, right - 1, y, u' ', color);
        if (shown.Locked)
            grid.Put(left + 1, y, u'√', color);
        if (inner > 2)
            grid.Write(left + 3, y, std::u16string_view(shown.Text).substr(0, inner - 2), color);
    }
}

void PaintCompletion(CellGrid& grid, const DialogView& dialog)
{
    const DialogView::CompletionList& list = dialog.Completion;
    if (list.Item < 0 || static_cast<size_t>(list.Item) >= dialog.Items.size() || list.Entries.empty())
        return;
    std::vector<DialogView::HistoryListView::Row> rows;
    for (const std::u16string& entry : list.Entries)
        rows.push_back({entry, false, false});
    constexpr intptr_t Rows = 8;
    const size_t top = list.Selected >= Rows ? static_cast<size_t>(list.Selected - Rows + 1) : 0;
    PaintDropDown(grid, dialog.Items[static_cast<size_t>(list.Item)], rows, top,
                  list.Selected < 0 ? rows.size() : static_cast<size_t>(list.Selected));
}

void PaintHistoryList(CellGrid& grid, const DialogView& dialog)
{
    const DialogView::HistoryListView& list = dialog.HistoryList;
    if (list.Item < 0 || static_cast<size_t>(list.Item) >= dialog.Items.size())
        return;
    PaintDropDown(grid, dialog.Items[static_cast<size_t>(list.Item)], list.Rows, list.Top, list.Selected);
}

// "[x] " and the text; "[x]" alone when there is none. 'x' for any state
// but 0, and 2 on a three-state box, which shows '?'.
void PaintCheck(CellGrid& grid, const DialogItemView& item)
{
    std::u16string mark;
    if (item.Type == Far3::DI_RADIOBUTTON)
        mark = item.Checked ? u"(•)" : u"( )";
    else if (item.Checked == 2 && (item.Flags & Far3::DIF_3STATE))
        mark = u"[?]";
    else
        mark = item.Checked ? u"[x]" : u"[ ]";
    if (!item.Shown.empty())
        mark += u' ';
    const Far3::FarColor color = ColorOf(item, ItemText);
    grid.Write(item.Left, item.Top, mark, color);
    WriteWithHotkey(grid, item.Left + 4, item.Top, item, item.Shown, item.Hotkey, color);
}

void PaintItem(CellGrid& grid, const DialogItemView& item)
{
    if (!item.Visible || !item.Drawn)
        return;
    switch (item.Type) {
    case Far3::DI_SINGLEBOX:
    case Far3::DI_DOUBLEBOX:
        PaintBox(grid, item);
        break;
    case Far3::DI_TEXT:
    case Far3::DI_VTEXT:
        if (item.Flags & (Far3::DIF_SEPARATOR | Far3::DIF_SEPARATOR2))
            PaintSeparator(grid, item);
        else
            PaintText(grid, item);
        break;
    case Far3::DI_EDIT:
    case Far3::DI_FIXEDIT:
    case Far3::DI_PSWEDIT:
    case Far3::DI_COMBOBOX:
        PaintEdit(grid, item);
        break;
    case Far3::DI_BUTTON:
        WriteWithHotkey(grid, item.Left, item.Top, item, item.Shown, item.Hotkey, ColorOf(item, ItemText));
        break;
    case Far3::DI_CHECKBOX:
    case Far3::DI_RADIOBUTTON:
        PaintCheck(grid, item);
        break;
    default:
        break;
    }
}

} // namespace

CellGrid::CellGrid(int width, int height)
    : Columns(std::max(0, width)), Rows(std::max(0, height)),
      Cells(static_cast<size_t>(Columns) * static_cast<size_t>(Rows))
{
}

void CellGrid::Put(int x, int y, char16_t c, const Far3::FarColor& color)
{
    if (x < 0 || y < 0 || x >= Columns || y >= Rows)
        return;
    Cells[Offset(x, y)] = Cell{c, color};
}

void CellGrid::Write(int x, int y, std::u16string_view text, const Far3::FarColor& color)
{
    for (size_t i = 0; i < text.size(); ++i)
        Put(x + static_cast<int>(i), y, text[i], color);
}

void CellGrid::Fill(int left, int top, int right, int bottom, char16_t c, const Far3::FarColor& color)
{
    // Only the cells inside the grid: a dialog may be far larger than the screen.
    for (int y = std::max(top, 0); y <= std::min(bottom, Rows - 1); ++y)
        for (int x = std::max(left, 0); x <= std::min(right, Columns - 1); ++x)
            Put(x, y, c, color);
}

std::vector<std::string> CellGrid::Text() const
{
    std::vector<std::string> lines;
    for (int y = 0; y < Rows; ++y) {
        std::u16string row;
        for (int x = 0; x < Columns; ++x)
            row += At(x, y).Char;
        lines.push_back(Utf16ToUtf8(row));
    }
    return lines;
}

void PaintDialog(const DialogView& dialog, CellGrid& screen)
{
    if (!dialog.Visible)
        return;
    const int right = dialog.Left + dialog.Width - 1;
    const int bottom = dialog.Top + dialog.Height - 1;
    if (!dialog.NoShadow) {
        // The shadow: two columns right of the dialog and one row below it.
        const Far3::FarColor shadow = ConsoleColor(8, 0);
        for (int y = dialog.Top + 1; y <= bottom + 1; ++y)
            for (int x = dialog.Left + 2; x <= right + 2; ++x)
                if ((x > right || y > bottom) && x >= 0 && y >= 0 && x < screen.Width() && y < screen.Height())
                    screen.Put(x, y, screen.At(x, y).Char, shadow);
    }
    screen.Fill(dialog.Left, dialog.Top, right, bottom, u' ',
                dialog.Background.value_or(DefaultDialogColor(dialog.Warning ? Far3::FDLG_WARNING : 0)));
    for (const DialogItemView& item : dialog.Items)
        PaintItem(screen, item);
    PaintCompletion(screen, dialog);
    PaintHistoryList(screen, dialog);
}

namespace {

// The cells [left, right) x [top, bottom) of the screen with the dialog
// painted on them (no shadow), one line per row.
std::vector<std::string> DialogPart(const DialogView& dialog, int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return {};
    DialogView moved = dialog;
    moved.NoShadow = true;
    for (DialogItemView& item : moved.Items) {
        item.Left -= left;
        item.Right -= left;
        item.Top -= top;
        item.Bottom -= top;
    }
    moved.Left = dialog.Left - left;
    moved.Top = dialog.Top - top;
    CellGrid grid(right - left, bottom - top);
    PaintDialog(moved, grid);
    return grid.Text();
}

} // namespace

std::vector<std::string> DialogText(const DialogView& dialog)
{
    return DialogPart(dialog, dialog.Left, dialog.Top, dialog.Left + dialog.Width, dialog.Top + dialog.Height);
}

std::vector<std::string> DialogText(const DialogView& dialog, int screenWidth, int screenHeight)
{
    const int64_t right = std::min<int64_t>(int64_t{dialog.Left} + dialog.Width, screenWidth);
    const int64_t bottom = std::min<int64_t>(int64_t{dialog.Top} + dialog.Height, screenHeight);
    return DialogPart(dialog, std::max(dialog.Left, 0), std::max(dialog.Top, 0), static_cast<int>(right),
                      static_cast<int>(bottom));
}

} // namespace Host
