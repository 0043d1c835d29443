#include "framework/FarViewer.h"

#include "framework/FarPlugin.h"

namespace Tessel {

bool TFarViewer::ViewFile(const String& fileName, const String& title, intptr_t x1, intptr_t y1, intptr_t x2,
                          intptr_t y2, Far3::VIEWER_FLAGS flags, uintptr_t codePage)
{
    const auto viewer = TFarPlugin::StartupInfo()->Viewer;
    if (viewer == nullptr)
        return false;
    return viewer(StringPtr(fileName), StringPtr(title), x1, y1, x2, y2, flags, codePage) != 0;
}

} // namespace Tessel
