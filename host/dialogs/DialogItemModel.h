// A running dialog's items, as the host keeps them: the copies made at
// DialogInit, and the rules that concern the items together rather than
// one of them: which item comes first for the focus, the default button,
// radio groups and the records a procedure is handed. A value type that
// owns its items; one thread; nothing here calls the dialog procedure.
#pragma once

#include "host/dialogs/DialogItem.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Host {

// An item as the procedure is handed it: Far's record, its texts pointing
// into Data, History and Mask (valid as long as this copy).
struct ItemRecord {
    Far3::FarDialogItem Record{};
    std::u16string Data, History, Mask;

    ItemRecord() = default;
    ItemRecord(const ItemRecord&) = delete;
    ItemRecord& operator=(const ItemRecord&) = delete;
};

class DialogItemModel {
public:
    explicit DialogItemModel(std::vector<DialogItem> items) : Items(std::move(items)) {}

    size_t Size() const { return Items.size(); }
    bool Empty() const { return Items.empty(); }
    bool Holds(intptr_t index) const { return index >= 0 && static_cast<size_t>(index) < Items.size(); }
    DialogItem& operator[](size_t index) { return Items[index]; }
    const DialogItem& operator[](size_t index) const { return Items[index]; }
    std::vector<DialogItem>& All() { return Items; }
    const std::vector<DialogItem>& All() const { return Items; }

    // Every item as it starts a run: group centring only where it applies,
    // a button's brackets, a fixed-width edit in overtype at its first cell,
    // another edit with its cursor at the end. `startText` gives an edit
    // that starts unchanged its starting text (the newest history entry).
    void Start(const std::function<void(DialogItem&)>& startText);

    // The first item that can take the focus; 0 when none can.
    size_t FirstFocusable() const;
    // The first item marked DIF_DEFAULTBUTTON, whatever its state.
    std::optional<size_t> DefaultButton() const;
    // The radio group of a radio button: consecutive radio buttons, the
    // first one marked DIF_GROUP; [first, last].
    std::pair<size_t, size_t> RadioGroup(size_t index) const;
    // DIF_FOCUS on the item at `index` alone (none when it is past the end).
    void MarkFocus(size_t index);
    void FillRecord(size_t index, ItemRecord& copy) const;

private:
    std::vector<DialogItem> Items;
};

} // namespace Host
