// Message numbers of the plugin's language files (ZelvaneEng.lng and its siblings).
#pragma once

#include <cstdint>

namespace Zelvane {

enum class TMessage : uint8_t {
    Title = 0,
    Ok = 1,
    Cancel = 2,
    Yes = 3,
    No = 4,
    ExceptionCaption = 5,
    NothingToRename = 6,
    FailureListHeading = 8,
    TemplateLabel = 9,
    StartingNumberLabel = 10,
    RememberCounter = 11,
    ForgetPattern = 12,
    AllowRenameUnderCursor = 13,
    RememberCounterByDefault = 14,
    None = 255,
};

} // namespace Zelvane
