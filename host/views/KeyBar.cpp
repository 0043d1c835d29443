#include "host/views/KeyBar.h"

#include "host/views/Palette.h"

#include <string>

namespace Host {

void PaintKeyBar(ScreenBuffer& screen, int row, const KeyLabels& labels)
{
    const int width = screen.Width();
    screen.Fill(0, row, width - 1, row, u' ', Palette::Console());
    // Digits: 1-9 take one column, 10-12 two; one space between keys.
    const int twelveLabel = (width - 15 - 11) / 12;
    const int keys = twelveLabel >= 6 ? 12 : 10;
    const int digits = keys == 12 ? 15 : 11;
    const int label = std::max(1, (width - digits - (keys - 1)) / keys);
    int x = 0;
    for (int key = 1; key <= keys && x < width; ++key) {
        const std::u16string number = key < 10 ? std::u16string(1, static_cast<char16_t>(u'0' + key))
                                                : u"1" + std::u16string(1, static_cast<char16_t>(u'0' + key - 10));
        x = screen.Write(x, row, number, Palette::Console());
        // The last label takes what is left of the row.
        const int room = key == keys ? width - x : label;
        screen.Write(x, row, PadWidth(labels[static_cast<size_t>(key - 1)], room), Palette::KeyBarLabel(), x + room);
        x += room + 1;
    }
}

} // namespace Host
