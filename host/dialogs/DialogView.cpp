#include "host/dialogs/DialogView.h"

namespace Host {

const DialogItemView* DialogView::Find(std::u16string_view text) const
{
    for (const DialogItemView& item : Items)
        if (item.Text == text || item.Shown == text)
            return &item;
    return nullptr;
}

} // namespace Host
