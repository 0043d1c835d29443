#include "framework/FarEditor.h"

#include "framework/FarPlugin.h"

namespace Tessel {

std::optional<intptr_t> TFarEditor::OpenFile(const String& fileName, const String& title, intptr_t x1,
                                             intptr_t y1, intptr_t x2, intptr_t y2, Far3::EDITOR_FLAGS flags,
                                             intptr_t startLine, intptr_t startChar, uintptr_t codePage)
{
    const intptr_t result = TFarPlugin::StartupInfo()->Editor(StringPtr(fileName), StringPtr(title), x1, y1, x2,
                                                              y2, flags, startLine, startChar, codePage);
    if (result != 1)
        return std::nullopt;
    const auto info = GetInfo(-1);
    if (!info)
        return std::nullopt;
    return info->EditorID;
}

intptr_t TFarEditor::EditModal(const String& fileName, const String& title, Far3::EDITOR_FLAGS flags,
                              uintptr_t codePage)
{
    return TFarPlugin::StartupInfo()->Editor(StringPtr(fileName), StringPtr(title), 0, 0, -1, -1,
                                             flags & ~Far3::EF_NONMODAL, -1, -1, codePage);
}

std::optional<Far3::EditorInfo> TFarEditor::GetInfo(intptr_t editorId)
{
    Far3::EditorInfo info{};
    info.StructSize = sizeof(Far3::EditorInfo);
    if (TFarPlugin::StartupInfo()->EditorControl(editorId, Far3::ECTL_GETINFO, 0, &info) == 0)
        return std::nullopt;
    return info;
}

} // namespace Tessel
