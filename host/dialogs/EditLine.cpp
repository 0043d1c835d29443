#include "host/dialogs/EditLine.h"

#include "far3/FarKeysW.h"

#include <algorithm>

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;

// Far's default word delimiters, and blanks.
bool IsWordBreak(char16_t c)
{
    return c == u' ' || c == u'\t' || std::u16string_view(u"~!%^&*()+|{}:\"<>?`-=\\[];',./").find(c) !=
                                          std::u16string_view::npos;
}

// Line breaks become one space each; breaks at the end are dropped.
std::u16string OneLine(std::u16string_view text)
{
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r'))
        text.remove_suffix(1);
    std::u16string line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        line += (text[i] == u'\r' || text[i] == u'\n') ? u' ' : text[i];
    }
    return line;
}

// How far Backspace at the left edge of the field scrolls back.
constexpr size_t BackScroll = 15;

} // namespace

EditLine::EditLine(DialogItem& item, EditSurroundings surroundings) : Item(item), Around(std::move(surroundings))
{
    Item.Cursor = std::min(Item.Cursor, Item.Data.size());
    Item.BlockEnd = std::min(Item.BlockEnd, Item.Data.size());
    Item.BlockStart = std::min(Item.BlockStart, Item.BlockEnd);
}

size_t EditLine::Limit(const DialogItem& item)
{
    if (item.Type == Far3::DI_FIXEDIT)
        return Width(item);
    return item.MaxLength;
}

size_t EditLine::Width(const DialogItem& item)
{
    return static_cast<size_t>(std::max<intptr_t>(1, item.X2 - item.X1 + 1));
}

size_t EditLine::FirstShown(const DialogItem& item, size_t width)
{
    width = std::max<size_t>(1, width);
    if (item.Data.size() < width && item.Cursor < width)
        return 0;
    size_t first = std::min(item.LeftPos, item.Data.size());
    if (item.Cursor < first)
        first = item.Cursor;
    if (item.Cursor >= first + width)
        first = item.Cursor - width + 1;
    return first;
}

bool EditLine::ReadOnly() const
{
    return Item.Has(Far3::DIF_READONLY);
}

void EditLine::Scroll(bool backspaceAtEdge)
{
    if (backspaceAtEdge)
        Item.LeftPos = Item.LeftPos > BackScroll ? Item.LeftPos - BackScroll : 0;
    Item.LeftPos = FirstShown(Item, Width(Item));
}

bool EditLine::Type(char16_t c)
{
    if (Item.HasBlock())
        DeleteBlock();
    if (Item.Unchanged) {
        Item.Data.clear();
        Item.Cursor = 0;
    }
    Item.Unchanged = false;
    const size_t limit = Limit(Item);
    const bool full = limit != 0 && Item.Data.size() >= limit;
    // Overtype, and a full field, replace the character at the cursor.
    if ((Item.Overtype || full) && Item.Cursor < Item.Data.size()) {
        Item.Data[Item.Cursor++] = c;
        return true;
    }
    if (full)
        return false;
    Item.Data.insert(Item.Cursor, 1, c);
    ++Item.Cursor;
    return true;
}

void EditLine::Insert(std::u16string_view text)
{
    if (Item.Unchanged) {
        Item.Data.clear();
        Item.Cursor = 0;
    }
    Item.Unchanged = false;
    if (Item.HasBlock())
        DeleteBlock();
    const size_t limit = Limit(Item);
    if (limit != 0)
        text = text.substr(0, limit > Item.Data.size() ? limit - Item.Data.size() : 0);
    Item.Data.insert(Item.Cursor, text);
    Item.Cursor += text.size();
}

void EditLine::MoveTo(size_t position, bool extend)
{
    position = std::min(position, Item.Data.size());
    if (extend) {
        // The end of the block away from the cursor stays where it is.
        const size_t anchor = !Item.HasBlock() ? Item.Cursor
                              : Item.Cursor == Item.BlockStart ? Item.BlockEnd
                                                               : Item.BlockStart;
        Item.BlockStart = std::min(anchor, position);
        Item.BlockEnd = std::max(anchor, position);
    } else {
        Item.DropBlock();
    }
    Item.Cursor = position;
}

void EditLine::DeleteBlock()
{
    Item.Data.erase(Item.BlockStart, Item.BlockEnd - Item.BlockStart);
    Item.Cursor = Item.BlockStart;
    Item.DropBlock();
}

std::u16string_view EditLine::BlockText() const
{
    return std::u16string_view(Item.Data).substr(Item.BlockStart, Item.BlockEnd - Item.BlockStart);
}

size_t EditLine::WordLeft() const
{
    size_t position = Item.Cursor;
    while (position > 0 && IsWordBreak(Item.Data[position - 1]))
        --position;
    while (position > 0 && !IsWordBreak(Item.Data[position - 1]))
        --position;
    return position;
}

size_t EditLine::WordRight() const
{
    size_t position = Item.Cursor;
    while (position < Item.Data.size() && !IsWordBreak(Item.Data[position]))
        ++position;
    while (position < Item.Data.size() && IsWordBreak(Item.Data[position]))
        ++position;
    return position;
}

void EditLine::Erase(size_t from, size_t to)
{
    Item.DropBlock();
    Item.Unchanged = false;
    if (ReadOnly() || from >= to)
        return;
    Item.Data.erase(from, to - from);
    Item.Cursor = from;
}

void EditLine::Copy()
{
    // A password never leaves its field.
    if (!Around.Clip || Item.Type == Far3::DI_PSWEDIT)
        return;
    Around.Clip->Set(Item.HasBlock() ? BlockText() : std::u16string_view(Item.Data));
}

void EditLine::Replace(std::u16string_view text)
{
    Item.SetEditText(std::u16string(text));
    Item.Unchanged = false;
    Scroll(false);
}

EditKeyResult EditLine::Paste(std::u16string_view text)
{
    if (ReadOnly())
        return {true, false};
    const std::u16string before = Item.Data;
    Insert(OneLine(text));
    Scroll(false);
    return {true, Item.Data != before};
}

EditKeyResult EditLine::Key(const KeyPress& key)
{
    const bool ctrl = key.Ctrl(), shift = key.Shift(), alt = key.Alt();
    const std::u16string before = Item.Data;
    const size_t cursorBefore = Item.Cursor;
    const bool atLeftEdge = Item.Cursor == Item.LeftPos && Item.LeftPos > 0;
    uint16_t vk = key.VirtualKey;
    bool report = false;

    if (Item.QuoteNext) {
        Item.QuoteNext = false;
        char16_t c = key.Char;
        if (c == 0 && ctrl && vk >= 'A' && vk <= 'Z')
            c = static_cast<char16_t>(vk - 'A' + 1);
        if (c != 0 && !ReadOnly()) {
            Type(c);
            Scroll(false);
            return {true, true};
        }
        return {true, false};
    }

    // Ctrl+C, Ctrl+V and Ctrl+X are Ctrl+Ins, Shift+Ins and Shift+Del.
    bool copy = ctrl && !shift && !alt && (vk == 'C' || vk == Vk::Insert);
    bool paste = !alt && ((ctrl && !shift && vk == 'V') || (shift && !ctrl && vk == Vk::Insert));
    bool cut = !alt && ((ctrl && !shift && vk == 'X') || (shift && !ctrl && vk == Vk::Delete));

    if (copy) {
        // Copying leaves the field as it is, unchanged state included.
        Copy();
        return {true, false};
    }
    if (paste)
        return Around.Clip ? Paste(Around.Clip->Text()) : EditKeyResult{true, false};
    if (cut) {
        // On an unchanged field with the cursor at the end the whole text goes.
        if (!Item.HasBlock() && Item.Unchanged && Item.Cursor >= Item.Data.size()) {
            Item.BlockStart = 0;
            Item.BlockEnd = Item.Data.size();
        }
        if (Item.HasBlock()) {
            Copy();
            if (!ReadOnly())
                DeleteBlock();
            Item.Unchanged = false;
        }
        Scroll(false);
        return {true, Item.Data != before};
    }

    if (key.Char >= u' ' && !ctrl && !alt) {
        if (ReadOnly()) {
            Item.Unchanged = false;
            return {true, false};
        }
        Type(key.Char);
        Scroll(false);
        return {true, true};
    }

    if (vk == Vk::Return && shift && !alt) {
        // Shift+Enter: the active panel's current file; with Ctrl the passive one's.
        const PanelText which = ctrl ? PanelText::PassiveFile : PanelText::ActiveFile;
        if (!ReadOnly() && Around.Panels) {
            Insert(Around.Panels(which));
            Scroll(false);
            return {true, Item.Data != before};
        }
        return {true, false};
    }
    if (ctrl && !alt && !shift && (vk == Vk::OpenBracket || vk == Vk::CloseBracket)) {
        if (!ReadOnly() && Around.Panels) {
            Insert(Around.Panels(vk == Vk::OpenBracket ? PanelText::LeftFolder : PanelText::RightFolder));
            Scroll(false);
            return {true, Item.Data != before};
        }
        return {true, false};
    }

    if (ctrl && !alt && !shift) {
        switch (vk) {
        case 'A':
            Item.BlockStart = 0;
            Item.BlockEnd = Item.Data.size();
            Item.Cursor = Item.Data.size();
            Item.Unchanged = false;
            Scroll(false);
            return {true, false};
        case 'Y':
            // Reported even when the field was empty already.
            Item.Unchanged = false;
            Item.DropBlock();
            if (ReadOnly())
                return {true, false};
            Item.Data.clear();
            Item.Cursor = 0;
            Scroll(false);
            return {true, true};
        case 'K':
            Erase(Item.Cursor, Item.Data.size());
            Scroll(false);
            return {true, Item.Data != before};
        case 'U':
            Item.Unchanged = false;
            Item.DropBlock();
            return {true, false};
        case 'Q':
            Item.QuoteNext = true;
            return {true, false};
        case 'T':
            vk = Vk::Delete;
            break;
        default:
            break;
        }
    }

    switch (vk) {
    case Vk::Back:
        if (alt)
            return {};
        if (ctrl) {
            // Ctrl+BS: the word before the cursor; with Shift all before it.
            // Reported even at the start of the line.
            Erase(shift ? 0 : WordLeft(), Item.Cursor);
            report = !ReadOnly();
        } else if (ReadOnly()) {
            Item.Unchanged = false;
        } else if (Item.HasBlock()) {
            DeleteBlock();
            Item.Unchanged = false;
        } else {
            Item.Unchanged = false;
            if (Item.Cursor > 0)
                Item.Data.erase(--Item.Cursor, 1);
        }
        Scroll(atLeftEdge && !ctrl);
        return {true, report || Item.Data != before};
    case Vk::Delete:
        if (alt || shift)
            return {};
        if (ctrl) {
            // At the end of the line there is no word to delete: the field stays as it is.
            if (Item.Cursor >= Item.Data.size())
                return {true, false};
            Erase(Item.Cursor, WordRight());
        } else if (ReadOnly()) {
            Item.Unchanged = false;
        } else if (Item.HasBlock()) {
            DeleteBlock();
            Item.Unchanged = false;
        } else if (Item.Unchanged && Item.Cursor >= Item.Data.size()) {
            // Del on an unchanged field at its end clears it, as Ctrl+Y; reported always.
            Item.Unchanged = false;
            Item.Data.clear();
            Item.Cursor = 0;
            report = true;
        } else {
            Item.Unchanged = false;
            if (Item.Cursor < Item.Data.size())
                Item.Data.erase(Item.Cursor, 1);
        }
        Scroll(false);
        return {true, report || Item.Data != before};
    case Vk::Insert:
        if (ctrl || shift || alt)
            return {};
        Item.Overtype = !Item.Overtype;
        return {true, false};
    case Vk::Left:
    case Vk::Right:
    case Vk::Home:
    case Vk::End: {
        if (alt)
            return {};
        size_t target = Item.Cursor;
        if (vk == Vk::Home)
            target = 0;
        else if (vk == Vk::End)
            target = Item.Data.size();
        else if (ctrl)
            target = vk == Vk::Left ? WordLeft() : WordRight();
        else if (vk == Vk::Left)
            target = Item.Cursor > 0 ? Item.Cursor - 1 : 0;
        else
            target = Item.Cursor + 1;
        // Ctrl+Right at the end is not the edit's key: an unchanged field stays so.
        if (ctrl && vk == Vk::Right && cursorBefore >= Item.Data.size() && !shift)
            return {true, false};
        MoveTo(target, shift);
        Item.Unchanged = false;
        Scroll(false);
        return {true, false};
    }
    default:
        return {};
    }
}

} // namespace Host
