#include "framework/FarScreen.h"

#include "framework/FarPlugin.h"

namespace Tessel {

namespace {

// Asked anew on every call: the user may resize the console at any time.
Far3::SMALL_RECT WindowRect()
{
    Far3::SMALL_RECT rect{};
    const Far3::GUID guid = TFarPlugin::GetPlugin().GetPluginGuid();
    if (TFarPlugin::StartupInfo()->AdvControl(&guid, Far3::ACTL_GETFARRECT, 0, &rect) == 0)
        rect = Far3::SMALL_RECT{0, 0, 79, 24};
    return rect;
}

} // namespace

int TFarScreen::Width()
{
    const auto rect = WindowRect();
    return rect.Right - rect.Left + 1;
}

int TFarScreen::Height()
{
    const auto rect = WindowRect();
    return rect.Bottom - rect.Top + 1;
}

void TFarScreen::RedrawAll()
{
    const Far3::GUID guid = TFarPlugin::GetPlugin().GetPluginGuid();
    TFarPlugin::StartupInfo()->AdvControl(&guid, Far3::ACTL_REDRAWALL, 0, nullptr);
}

} // namespace Tessel
