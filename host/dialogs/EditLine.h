// The editing of one edit item's text, as Far's one-line edit does it:
// typing (inserting, or overtyping after Ins), the marked block (Shift with
// the cursor keys, Ctrl+A) that typing and pasting replace, the host's
// clipboard (Ctrl+Ins/Ctrl+C copy, Shift+Del/Ctrl+X cut, Shift+Ins/Ctrl+V
// paste), word moves and word deletes, Ctrl+Y/K/U/Q, the names of the
// panels (Shift+Enter, Ctrl+Shift+Enter, Ctrl+[, Ctrl+]), and Far's
// "unchanged" state: until the user edits, the first typed character or
// paste replaces the whole text and Del clears it, while a cursor key only
// ends the state.
//
// An EditLine works on a DialogItem it does not own (the text and the edit
// state live in the item); it lives for one key. The dialog decides which
// keys reach it and sends DN_EDITCHANGE when Report says so.
#pragma once

#include "host/text/KeyScript.h"
#include "host/dialogs/Clipboard.h"
#include "host/dialogs/DialogItem.h"

#include <functional>
#include <string>
#include <string_view>

namespace Host {

// The panel texts an edit can insert.
enum class PanelText { ActiveFile, PassiveFile, LeftFolder, RightFolder };

// What an edit may reach outside itself; both may be absent.
struct EditSurroundings {
    Clipboard* Clip = nullptr;
    std::function<std::u16string(PanelText)> Panels;
};

struct EditKeyResult {
    bool Handled = false; // the edit took the key
    bool Report = false;  // DN_EDITCHANGE is due (Far also sends it for some keys that change nothing)
};

class EditLine {
public:
    EditLine(DialogItem& item, EditSurroundings surroundings);

    EditKeyResult Key(const KeyPress& key);
    // Text put in as Shift+Ins puts the clipboard's: over the block, or over
    // the whole text while it is unchanged; line breaks become spaces.
    EditKeyResult Paste(std::u16string_view text);
    // Replaces the text, as a choice from the history does (the edit is changed then).
    void Replace(std::u16string_view text);

    // The most characters the edit takes (0: no limit).
    static size_t Limit(const DialogItem& item);
    // The field's width in cells.
    static size_t Width(const DialogItem& item);
    // Where the shown part of the text starts so that the cursor is inside
    // the field, keeping the item's left position where it can.
    static size_t FirstShown(const DialogItem& item, size_t width);

private:
    bool ReadOnly() const;
    // Typing and pasting.
    bool Type(char16_t c);
    void Insert(std::u16string_view text);
    // The block.
    void MoveTo(size_t position, bool extend);
    void DeleteBlock();
    std::u16string_view BlockText() const;
    // Words: where Ctrl+Left and Ctrl+Right go from the cursor.
    size_t WordLeft() const;
    size_t WordRight() const;
    void Erase(size_t from, size_t to);
    void Copy();
    void Scroll(bool backspaceAtEdge);

    DialogItem& Item;
    EditSurroundings Around;
};

} // namespace Host
