#include "host/dialogs/EditLine.h"

#include "framework/FarKeysW.h"

#include <algorithm>

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;

size_t MaxLength(const DialogItem& edit)
{
    if (edit.Type == Far3::DI_FIXEDIT)
        return static_cast<size_t>(std::max<intptr_t>(1, edit.X2 - edit.X1 + 1));
    return edit.MaxLength;
}

bool Type(DialogItem& edit, char16_t c)
{
    if (edit.Unchanged) {
        edit.Data.clear();
        edit.Cursor = 0;
    }
    edit.Unchanged = false;
    const size_t limit = MaxLength(edit);
    if (edit.Type == Far3::DI_FIXEDIT && edit.Cursor < edit.Data.size()) {
        edit.Data[edit.Cursor++] = c;
        return true;
    }
    if (limit != 0 && edit.Data.size() >= limit)
        return false;
    edit.Data.insert(edit.Cursor, 1, c);
    ++edit.Cursor;
    return true;
}

} // namespace

EditKeyResult ApplyEditKey(DialogItem& edit, const KeyPress& key)
{
    const bool readOnly = edit.Has(Far3::DIF_READONLY);
    const size_t before = edit.Data.size();
    const std::u16string old = edit.Data;
    EditKeyResult result{true, false};
    bool typed = false;
    edit.Cursor = std::min(edit.Cursor, edit.Data.size());

    if (key.Ctrl() && (key.VirtualKey == 'C' || key.VirtualKey == Vk::Insert))
        return result; // copying leaves the field as it is, unchanged state included
    if (key.Char >= u' ' && !key.Ctrl() && !key.Alt()) {
        if (!readOnly)
            typed = Type(edit, key.Char);
        else
            edit.Unchanged = false;
    } else if (key.Ctrl() && key.VirtualKey == 'Y') {
        edit.Unchanged = false;
        if (!readOnly) {
            edit.Data.clear();
            edit.Cursor = 0;
        }
    } else {
        switch (key.VirtualKey) {
        case Vk::Back:
            if (!readOnly && edit.Cursor > 0)
                edit.Data.erase(--edit.Cursor, 1);
            break;
        case Vk::Delete:
            if (!readOnly && edit.Unchanged) {
                edit.Data.clear();
                edit.Cursor = 0;
            } else if (!readOnly && edit.Cursor < edit.Data.size()) {
                edit.Data.erase(edit.Cursor, 1);
            }
            break;
        case Vk::Left:
            if (edit.Cursor > 0)
                --edit.Cursor;
            break;
        case Vk::Right:
            if (edit.Cursor < edit.Data.size())
                ++edit.Cursor;
            break;
        case Vk::Home:
            edit.Cursor = 0;
            break;
        case Vk::End:
            edit.Cursor = edit.Data.size();
            break;
        default:
            return {};
        }
        edit.Unchanged = false;
    }
    // A typed character is a change even when it replaces an equal text.
    result.TextChanged = typed || edit.Data.size() != before || edit.Data != old;
    return result;
}

} // namespace Host
