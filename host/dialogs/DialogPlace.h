// Where a dialog sits on the screen: its corner and size in screen cells,
// and whether it is centred in either direction (X1 or Y1 of -1 at
// DialogInit). A value type; the screen size is passed in.
#pragma once

#include "host/frontends/FrontEnd.h"

#include <algorithm>

namespace Host {

struct DialogPlace {
    int Left = 0, Top = 0, Width = 1, Height = 1;
    bool CenterX = true, CenterY = true;

    // X1 = -1 centres the dialog and makes X2 its width; likewise for Y.
    static DialogPlace FromInit(intptr_t x1, intptr_t y1, intptr_t x2, intptr_t y2)
    {
        DialogPlace place;
        place.CenterX = x1 < 0;
        place.CenterY = y1 < 0;
        place.Width = static_cast<int>(place.CenterX ? x2 : x2 - x1 + 1);
        place.Height = static_cast<int>(place.CenterY ? y2 : y2 - y1 + 1);
        place.Left = place.CenterX ? 0 : static_cast<int>(x1);
        place.Top = place.CenterY ? 0 : static_cast<int>(y1);
        return place;
    }

    void Recenter(ScreenSize screen)
    {
        if (CenterX)
            Left = (screen.Width - Width) / 2;
        if (CenterY)
            Top = (screen.Height - Height) / 2;
    }

    // Far keeps at least a corner of the dialog on the screen.
    void KeepOnScreen(ScreenSize screen)
    {
        Left = std::clamp(Left, 1 - Width, std::max(0, screen.Width - 1));
        Top = std::clamp(Top, 1 - Height, std::max(0, screen.Height - 1));
    }
};

} // namespace Host
