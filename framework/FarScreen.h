// TFarScreen: the size of the host's window and a redraw of everything.
#pragma once

#include "framework/FarModule.h"

namespace Tessel {

class TFarScreen : public TFarCommonModule {
public:
    // Columns and rows of the host's window; 80 by 25 when the host cannot tell.
    static int Width();
    static int Height();
    static void RedrawAll();
};

} // namespace Tessel
