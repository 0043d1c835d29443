// A dialog as the user sees it at one moment: where it is on the screen and,
// for every item, what is drawn where and in which state. The dialog manager
// hands one to the front end before each key it reads, so a person sees it
// painted and a test can read it.
#pragma once

#include "far3/Plugin3.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

struct DialogItemView {
    size_t Index = 0;
    Far3::FARDIALOGITEMTYPES Type = Far3::DI_TEXT;
    uint64_t Flags = 0;
    // Screen cells the item covers, inclusive (as drawn, not as declared).
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    // The item's own text: an edit's current text, a button's caption
    // without brackets, a label with its '&' hotkey marks.
    std::u16string Text;
    // What is drawn: brackets around buttons, hotkey marks removed.
    std::u16string Shown;
    // Position of the hotkey character in Shown; npos when none.
    size_t Hotkey = std::u16string::npos;
    // A separator's caption: where it starts, in cells from Left; none: centred.
    std::optional<int> CaptionOffset;
    intptr_t Checked = 0;
    std::u16string History;
    size_t Cursor = 0;
    // Edits: the marked block [BlockStart, BlockEnd), the first text
    // position shown in the field, and overtype.
    size_t BlockStart = 0, BlockEnd = 0;
    size_t FirstShown = 0;
    bool Overtype = false;
    bool Focused = false;
    bool Enabled = true;
    bool Visible = true;
    // An edit whose next typed character replaces the whole text.
    bool Unchanged = false;
    // False when the plugin asked the host to skip drawing the item.
    bool Drawn = true;
    // The colours the dialog procedure left for the item: text, hotkey,
    // frame, focused; for edits text, block, unchanged text, history arrow.
    std::vector<Far3::FarColor> Colors;
};

struct DialogView {
    Far3::GUID Id{};
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Warning = false;
    bool SmallDialog = false;
    bool NoShadow = false;
    // False when hidden (DM_SHOWDIALOG) or when the plugin skipped drawing.
    bool Visible = true;
    intptr_t Focus = -1;
    // The colour DN_CTLCOLORDIALOG left for the dialog area; none: the default.
    std::optional<Far3::FarColor> Background;
    std::vector<DialogItemView> Items;
    // The auto-completion list dropped down under an edit: the edit's index
    // (-1 when no list is open), the history entries offered, and the one
    // chosen with the cursor keys (-1 none).
    struct CompletionList {
        intptr_t Item = -1;
        std::vector<std::u16string> Entries;
        intptr_t Selected = -1;
    } Completion;
    // The history list dropped down under an edit (Ctrl+Down): the edit's
    // index (-1 when none is open), its rows (a date row starts each day's
    // entries; locked entries are ticked), the row chosen and the first row
    // shown. JustOpened is true the first time a list is shown.
    struct HistoryListView {
        struct Row {
            std::u16string Text;
            bool Separator = false;
            bool Locked = false;
        };
        intptr_t Item = -1;
        std::vector<Row> Rows;
        size_t Selected = 0;
        size_t Top = 0;
        bool JustOpened = false;
    } HistoryList;

    // The first item whose text (or shown text) equals `text`; null when none.
    const DialogItemView* Find(std::u16string_view text) const;
    const DialogItemView& Item(size_t index) const { return Items.at(index); }
};

} // namespace Host
