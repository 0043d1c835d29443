#include "host/dialogs/HistoryDropDown.h"

#include "base/FileTime.h"
#include "far3/FarKeysW.h"

#include <algorithm>
#include <ctime>

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;

// The local calendar day of a stored time; false when it has none.
bool HistoryLocalDay(int64_t time, std::tm& day)
{
    return time > 0 && Base::LocalCalendarTime(static_cast<uint64_t>(time), day);
}

bool SameHistoryDay(int64_t a, int64_t b)
{
    std::tm dayA{}, dayB{};
    const bool knownA = HistoryLocalDay(a, dayA), knownB = HistoryLocalDay(b, dayB);
    if (!knownA || !knownB)
        return knownA == knownB;
    return dayA.tm_year == dayB.tm_year && dayA.tm_yday == dayB.tm_yday;
}

} // namespace

HistoryDropDown::HistoryDropDown(std::vector<HistoryEntry> entries) : Listed(std::move(entries))
{
    MoveTo(0);
}

std::u16string HistoryDropDown::DateCaption(int64_t time)
{
    std::tm day{};
    if (!HistoryLocalDay(time, day))
        return {};
    char text[32];
    const size_t length = std::strftime(text, sizeof text, "%m/%d/%Y", &day);
    return std::u16string(text, text + length);
}

std::vector<size_t> HistoryDropDown::EntryRows() const
{
    std::vector<size_t> rows;
    size_t row = 0;
    for (size_t i = 0; i < Listed.size(); ++i) {
        if (i == 0 || !SameHistoryDay(Listed[i - 1].Time, Listed[i].Time))
            ++row; // the date row
        rows.push_back(row++);
    }
    return rows;
}

size_t HistoryDropDown::RowCount() const
{
    const std::vector<size_t> rows = EntryRows();
    return rows.empty() ? 0 : rows.back() + 1;
}

void HistoryDropDown::MoveTo(size_t entry)
{
    if (Listed.empty()) {
        Cursor = Top = 0;
        return;
    }
    Cursor = std::min(entry, Listed.size() - 1);
    const std::vector<size_t> rows = EntryRows();
    const size_t row = rows[Cursor];
    // A date row right above the cursor shows with it.
    const bool dated = Cursor == 0 || rows[Cursor - 1] != row - 1;
    Top = std::min(Top, dated ? row - 1 : row);
    if (row >= Top + MaxRows)
        Top = row - MaxRows + 1;
    const size_t count = RowCount();
    Top = std::min(Top, count > MaxRows ? count - MaxRows : 0);
}

HistoryDropDown::Action HistoryDropDown::Key(const KeyPress& key)
{
    const bool plain = !key.Ctrl() && !key.Alt() && !key.Shift();
    const bool shiftOnly = key.Shift() && !key.Ctrl() && !key.Alt();
    const bool ctrlOnly = key.Ctrl() && !key.Alt() && !key.Shift();
    if (plain && (key.VirtualKey == Vk::Escape || key.VirtualKey == Vk::F10))
        return Action::Cancel;
    if (Listed.empty())
        return Action::Stay;
    const size_t last = Listed.size() - 1;
    constexpr size_t Page = MaxRows - 1;
    if (plain) {
        switch (key.VirtualKey) {
        case Vk::Return:
        case Vk::Tab: return Action::Choose;
        case Vk::Delete: return Action::ClearAll;
        case Vk::Insert: return Action::ToggleLock;
        case Vk::Up: MoveTo(Cursor == 0 ? 0 : Cursor - 1); return Action::Stay;
        case Vk::Down: MoveTo(std::min(Cursor + 1, last)); return Action::Stay;
        case Vk::Home: MoveTo(0); return Action::Stay;
        case Vk::End: MoveTo(last); return Action::Stay;
        case Vk::Prior: MoveTo(Cursor > Page ? Cursor - Page : 0); return Action::Stay;
        case Vk::Next: MoveTo(std::min(Cursor + Page, last)); return Action::Stay;
        default: return Action::Stay;
        }
    }
    if (shiftOnly && key.VirtualKey == Vk::Delete)
        return Action::DeleteEntry;
    if (ctrlOnly && (key.VirtualKey == Vk::Insert || key.VirtualKey == 'C'))
        return Action::Copy;
    return Action::Stay;
}

void HistoryDropDown::Reload(std::vector<HistoryEntry> entries)
{
    const std::u16string text = Listed.empty() ? std::u16string() : Listed[Cursor].Text;
    size_t place = Cursor;
    Listed = std::move(entries);
    for (size_t i = 0; i < Listed.size(); ++i)
        if (Listed[i].Text == text)
            place = i;
    MoveTo(place);
}

DialogView::HistoryListView HistoryDropDown::View(intptr_t item) const
{
    DialogView::HistoryListView view;
    view.Item = item;
    const std::vector<size_t> rows = EntryRows();
    for (size_t i = 0; i < Listed.size(); ++i) {
        if (view.Rows.size() < rows[i])
            view.Rows.push_back({DateCaption(Listed[i].Time), true, false});
        view.Rows.push_back({Listed[i].Text, false, Listed[i].Locked});
    }
    view.Selected = rows.empty() ? 0 : rows[Cursor];
    view.Top = Top;
    return view;
}

} // namespace Host
