// TFarViewer: shows a file in the host's viewer. Main thread only, like
// every host service.
#pragma once

#include "framework/FarModule.h"

namespace Tessel {

class TFarViewer : public TFarCommonModule {
public:
    // Opens the viewer over `fileName`; true when the host showed it. Without
    // VF_NONMODAL the call returns when the user has closed the viewer, so
    // it can be made from inside a running dialog.
    static bool ViewFile(const String& fileName, const String& title, intptr_t x1, intptr_t y1, intptr_t x2,
                         intptr_t y2, Far3::VIEWER_FLAGS flags, uintptr_t codePage);
};

} // namespace Tessel
