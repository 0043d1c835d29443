// TFarEditor: opens a file in the host's editor.
#pragma once

#include "framework/FarModule.h"

#include <optional>

namespace Tessel {

class TFarEditor : public TFarCommonModule {
public:
    // Opens the editor; the new editor's identifier when the host opened it
    // (result exactly 1) and reported it, nothing otherwise.
    static std::optional<intptr_t> OpenFile(const String& fileName, const String& title, intptr_t x1, intptr_t y1,
                                            intptr_t x2, intptr_t y2, Far3::EDITOR_FLAGS flags,
                                            intptr_t startLine, intptr_t startChar, uintptr_t codePage);
    // Opens the editor modally (without EF_NONMODAL in `flags`) and returns
    // when its window closes: Far3::EEC_MODIFIED when the file was saved
    // while it was open, EEC_NOT_MODIFIED when it was not, EEC_OPEN_ERROR
    // when it could not be opened (the host has said why).
    static intptr_t EditModal(const String& fileName, const String& title, Far3::EDITOR_FLAGS flags,
                              uintptr_t codePage);
    // The information record of an editor (-1: the current one).
    static std::optional<Far3::EditorInfo> GetInfo(intptr_t editorId);
};

} // namespace Tessel
