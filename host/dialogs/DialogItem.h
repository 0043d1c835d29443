// The host's own copy of one dialog item, made at DialogInit: the plugin's
// record and texts are never read again (Far copies them too), and the
// results are read back only through DM_* messages.
#pragma once

#include "far3/Plugin3.h"

#include <string>

namespace Host {

struct DialogItem {
    Far3::FARDIALOGITEMTYPES Type = Far3::DI_TEXT;
    intptr_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    intptr_t Selected = 0;
    uint64_t Flags = 0;
    size_t MaxLength = 0;
    intptr_t UserData = 0;
    // Data: the text; for a running button it carries its brackets, as in Far.
    std::u16string Data;
    std::u16string History;
    std::u16string Mask;

    // Edit lines only (EditLine.h edits them): cursor position, the marked
    // block [BlockStart, BlockEnd) (empty when equal), the unchanged state,
    // overtype and the first text position shown.
    size_t Cursor = 0;
    size_t BlockStart = 0, BlockEnd = 0;
    bool Unchanged = false;
    bool Overtype = false;
    size_t LeftPos = 0;
    bool QuoteNext = false; // Ctrl+Q: the next key is typed as it is

    bool HasBlock() const { return BlockStart < BlockEnd; }
    void DropBlock() { BlockStart = BlockEnd = 0; }
    // Marks an edit's whole text (DIF_SELECTONENTRY, on getting the focus).
    void SelectAll();

    static DialogItem FromRecord(const Far3::FarDialogItem& record);

    bool Has(uint64_t flag) const { return (Flags & flag) != 0; }
    bool IsEdit() const;
    // An edit that starts in the unchanged state (not a multi-line editor line).
    bool StartsUnchanged() const;
    bool IsButton() const { return Type == Far3::DI_BUTTON; }
    bool IsCheckLike() const { return Type == Far3::DI_CHECKBOX || Type == Far3::DI_RADIOBUTTON; }
    bool IsBox() const { return Type == Far3::DI_SINGLEBOX || Type == Far3::DI_DOUBLEBOX; }
    bool IsText() const { return Type == Far3::DI_TEXT || Type == Far3::DI_VTEXT; }
    bool IsSeparator() const;
    bool IsVisible() const { return !Has(Far3::DIF_HIDDEN); }
    bool IsEnabled() const { return !Has(Far3::DIF_DISABLE); }
    bool CanFocus() const;
    // Of a kind that can hold the focus, whatever its flags.
    bool TypeTakesFocus() const;
    // Items whose texts mark a hotkey with '&'.
    bool HasHotkeyText() const;
    bool ShowsHistoryArrow() const;

    // Sets an edit's text: cut to MaxLength, cursor at the end.
    void SetEditText(std::u16string text);
    // The text as DM_GETTEXT reports it: a button without its brackets.
    std::u16string PlainText() const;
    // Adds a button's brackets ("[ " " ]", the default button "{ " " }")
    // unless DIF_NOBRACKETS, the text is empty or it starts with '[' or '{'.
    void AddBrackets();
};

// A text with its hotkey marks resolved: "&Ok" shows "Ok" with the hotkey
// at 0; "&&" shows one '&'; a later single '&' and a lone '&' at the end
// are not shown. `hotkey` is npos when there is none.
std::u16string WithoutHotkeyMark(std::u16string_view text, size_t* hotkey = nullptr);

} // namespace Host
