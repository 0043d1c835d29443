// Far's key bar on the bottom row: "1Help   2UserMn ... 10Quit", numbers in
// the console's colours and labels black on cyan. Twelve keys when they
// fit with labels of six columns, else ten.
#pragma once

#include "host/console/ScreenBuffer.h"

#include <array>
#include <string>

namespace Host {

using KeyLabels = std::array<std::u16string, 12>;

void PaintKeyBar(ScreenBuffer& screen, int row, const KeyLabels& labels);

} // namespace Host
