#include "host/views/PanelView.h"

#include "base/FileTime.h"
#include "host/views/Palette.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace Host {

namespace {

constexpr int MinWidth = 24;
constexpr int MinHeight = 9;

bool IsFolder(const PanelItem& item)
{
    return (item.Attributes & Far3::FileAttribute::Directory) != 0;
}

std::u16string Ascii(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

// The item's last write time in the strftime format, local time.
std::u16string WriteTimeText(const PanelItem& item, const char* format)
{
    std::tm tm{};
    if (!Base::LocalCalendarTime(Base::FileTimeValue(item.LastWriteTime), tm))
        return {};
    char text[16];
    std::strftime(text, sizeof text, format, &tm);
    return Ascii(text);
}

std::u16string DateText(const PanelItem& item)
{
    return WriteTimeText(item, "%m/%d/%y");
}

std::u16string TimeText(const PanelItem& item)
{
    return WriteTimeText(item, "%H:%M");
}

// The size column: the number when it fits, else in K, M, G; folders say so.
std::u16string SizeText(const PanelItem& item, int width)
{
    if (item.IsParentLink())
        return u"Up";
    if (IsFolder(item))
        return u"Folder";
    std::u16string text = Ascii(std::to_string(item.Size));
    uint64_t value = item.Size;
    for (const char* unit : {" K", " M", " G", " T"}) {
        if (static_cast<int>(text.size()) <= width)
            break;
        value /= 1024;
        text = Ascii(std::to_string(value) + unit);
    }
    return text;
}

Far3::FarColor ItemColor(const PanelItem& item, bool cursor)
{
    if (cursor)
        return item.Selected ? Palette::PanelSelectedCursor() : Palette::PanelCursor();
    if (item.Selected)
        return Palette::PanelSelected();
    return IsFolder(item) ? Palette::PanelFolder() : Palette::PanelText();
}

// A text centred in a frame row between columns left and right (exclusive).
void CenterOn(ScreenBuffer& screen, int left, int right, int row, const std::u16string& text,
              const Far3::FarColor& color)
{
    const int room = right - left - 1;
    if (room <= 2 || text.empty())
        return;
    const std::u16string shown = FitWidth(text, room);
    const int x = left + 1 + (room - DisplayWidth(shown)) / 2;
    screen.Write(x, row, shown, color, right);
}

// The folder's path as the frame's title; a long one keeps its end.
std::u16string TitleText(const std::u16string& directory, int room)
{
    std::u16string title = u" " + directory + u" ";
    if (DisplayWidth(title) <= room)
        return title;
    std::u16string tail = directory;
    while (!tail.empty() && DisplayWidth(u" …" + tail + u" ") > room)
        tail.erase(0, 1);
    return u" …" + tail + u" ";
}

void PaintPanel(ScreenBuffer& screen, int left, int width, const PanelGeometry& geometry, const PanelPicture& picture)
{
    const int height = screen.Height();
    const int right = left + width - 1;
    const Far3::FarColor frame = Palette::PanelText();
    const int separatorRow = height - 5;
    const int statusRow = height - 4;
    const int bottomRow = height - 3;

    // The frame and the rows inside it.
    screen.Fill(left, 0, right, bottomRow, u' ', frame);
    screen.Fill(left + 1, 0, right - 1, 0, u'═', frame);
    screen.Fill(left + 1, bottomRow, right - 1, bottomRow, u'═', frame);
    screen.Fill(left, 1, left, bottomRow - 1, u'║', frame);
    screen.Fill(right, 1, right, bottomRow - 1, u'║', frame);
    screen.Fill(left + 1, separatorRow, right - 1, separatorRow, u'─', frame);
    screen.Write(left, 0, u"╔", frame);
    screen.Write(right, 0, u"╗", frame);
    screen.Write(left, bottomRow, u"╚", frame);
    screen.Write(right, bottomRow, u"╝", frame);
    screen.Write(left, separatorRow, u"╟", frame);
    screen.Write(right, separatorRow, u"╢", frame);

    // Column lines run from the heads down to the separator.
    const int inner = left + 1;
    std::vector<int> columns{inner, inner + geometry.NameWidth + 1,
                             inner + geometry.NameWidth + 1 + geometry.SizeWidth + 1};
    if (geometry.TimeWidth > 0)
        columns.push_back(columns.back() + geometry.DateWidth + 1);
    for (size_t c = 1; c < columns.size(); ++c) {
        screen.Fill(columns[c] - 1, 1, columns[c] - 1, separatorRow - 1, u'║', frame);
        screen.Write(columns[c] - 1, separatorRow, u"╨", frame);
    }
    const std::vector<int> widths{geometry.NameWidth, geometry.SizeWidth, geometry.DateWidth, geometry.TimeWidth};
    const std::u16string heads[] = {u"Name", u"Size", u"Date", u"Time"};
    for (size_t c = 0; c < columns.size(); ++c)
        CenterOn(screen, columns[c] - 1, columns[c] + widths[c], 1, heads[c], Palette::PanelHeader());
    screen.Write(inner, 1, u"n", Palette::PanelHeader());

    const Panel& panel = *picture.Source;
    const std::vector<PanelItem>& items = panel.Items();
    for (int row = 0; row < geometry.ItemRows; ++row) {
        const size_t index = picture.Top + static_cast<size_t>(row);
        if (index >= items.size())
            break;
        const PanelItem& item = items[index];
        const bool cursor = picture.Active && index == panel.CurrentItem();
        const Far3::FarColor color = ItemColor(item, cursor);
        const int y = geometry.FirstItemRow + row;
        std::u16string line = PadWidth(item.Name, geometry.NameWidth, false, u'}') + u"║" +
                              PadWidth(SizeText(item, geometry.SizeWidth), geometry.SizeWidth, true) + u"║" +
                              PadWidth(DateText(item), geometry.DateWidth);
        if (geometry.TimeWidth > 0)
            line += u"║" + PadWidth(TimeText(item), geometry.TimeWidth);
        screen.Write(inner, y, line, color, right);
        // The column lines keep the frame's colour outside the cursor bar.
        if (!cursor)
            for (size_t c = 1; c < columns.size(); ++c)
                screen.Recolor(columns[c] - 1, y, columns[c] - 1, y, frame);
    }

    // The title: the active panel's in the cursor colour.
    const std::u16string title = TitleText(panel.Directory(), width - 4);
    CenterOn(screen, left, right + 1, 0, title, picture.Active ? Palette::PanelActiveTitle() : frame);

    const std::u16string selection = SelectionSummary(panel);
    if (!selection.empty())
        CenterOn(screen, left, right, separatorRow, u" " + selection + u" ", Palette::PanelSelectionInfo());

    // The status line: the current item's name, size, date and time.
    if (picture.Active && panel.CurrentItem() < items.size()) {
        const PanelItem& item = items[panel.CurrentItem()];
        const int room = width - 2;
        const std::u16string facts = PadWidth(SizeText(item, 9), 9, true) + u" " + PadWidth(DateText(item), 8) +
                                     u" " + PadWidth(TimeText(item), 5);
        const int nameRoom = std::max(0, room - DisplayWidth(facts) - 1);
        screen.Write(inner, statusRow, PadWidth(item.Name, nameRoom, false, u'}') + u" " + facts, frame, right);
    }
    CenterOn(screen, left, right, bottomRow, u" " + TotalsSummary(panel) + u" ", frame);
}

} // namespace

PanelGeometry PanelLayout(int width, int height)
{
    PanelGeometry geometry;
    geometry.LeftWidth = width / 2;
    geometry.ItemRows = std::max(0, height - 7);
    const int inner = geometry.LeftWidth - 2;
    if (inner >= 56)
        geometry.TimeWidth = 5;
    const int fixed = geometry.SizeWidth + 1 + geometry.DateWidth + 1 + (geometry.TimeWidth ? geometry.TimeWidth + 1 : 0);
    geometry.NameWidth = std::max(1, inner - fixed);
    return geometry;
}

size_t ScrollTop(size_t top, size_t cursor, size_t rows, size_t count)
{
    if (rows == 0)
        return cursor;
    if (cursor < top)
        top = cursor;
    else if (cursor >= top + rows)
        top = cursor - rows + 1;
    // No empty rows at the end while there are items above.
    if (count > rows && top > count - rows)
        top = count - rows;
    if (count <= rows)
        top = 0;
    return top;
}

std::u16string GroupedNumber(uint64_t value)
{
    std::string digits = std::to_string(value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return Ascii(grouped);
}

std::u16string ShortSize(uint64_t value)
{
    if (value < 1024)
        return Ascii(std::to_string(value) + " B");
    double scaled = static_cast<double>(value);
    const char* units[] = {"K", "M", "G", "T", "P"};
    size_t unit = 0;
    scaled /= 1024;
    while (scaled >= 1024 && unit + 1 < std::size(units)) {
        scaled /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", scaled, units[unit]);
    return Ascii(text);
}

namespace {

std::u16string Summary(const std::u16string& bytes, size_t files, size_t folders)
{
    return u"Bytes: " + bytes + u", files: " + Ascii(std::to_string(files)) + u", folders: " +
           Ascii(std::to_string(folders));
}

struct Count {
    uint64_t Bytes = 0;
    size_t Files = 0;
    size_t Folders = 0;
};

// Files with their bytes, and folders, among the items `counted` accepts.
template <typename Predicate>
Count CountItems(const Panel& panel, Predicate counted)
{
    Count count;
    for (const PanelItem& item : panel.Items()) {
        if (!counted(item))
            continue;
        if (IsFolder(item)) {
            ++count.Folders;
        } else {
            ++count.Files;
            count.Bytes += item.Size;
        }
    }
    return count;
}

} // namespace

std::u16string SelectionSummary(const Panel& panel)
{
    const Count count = CountItems(panel, [](const PanelItem& item) { return item.Selected; });
    if (count.Files + count.Folders == 0)
        return {};
    return Summary(GroupedNumber(count.Bytes), count.Files, count.Folders);
}

std::u16string TotalsSummary(const Panel& panel)
{
    const Count count = CountItems(panel, [](const PanelItem& item) { return !item.IsParentLink(); });
    return Summary(ShortSize(count.Bytes), count.Files, count.Folders);
}

void PaintPanels(ScreenBuffer& screen, const PanelPicture& left, const PanelPicture& right, const KeyLabels& keys)
{
    const int width = screen.Width();
    const int height = screen.Height();
    screen.Fill(0, 0, width - 1, height - 1, u' ', Palette::Console());
    if (width < MinWidth || height < MinHeight) {
        screen.Write(0, 0, u"The terminal is too small", Palette::Console());
        return;
    }
    const PanelGeometry geometry = PanelLayout(width, height);
    PaintPanel(screen, 0, geometry.LeftWidth, geometry, left);
    const PanelGeometry other = PanelLayout(2 * (width - geometry.LeftWidth), height);
    PaintPanel(screen, geometry.LeftWidth, width - geometry.LeftWidth, other, right);

    // The command line: the active folder as the prompt.
    const PanelPicture& active = left.Active ? left : right;
    screen.Write(0, height - 2, FitWidth(active.Source->Directory() + u">", width), Palette::Console());
    PaintKeyBar(screen, height - 1, keys);
}

} // namespace Host
