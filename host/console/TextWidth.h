// How many terminal columns text takes: most characters one, East Asian
// wide and fullwidth characters (and most emoji) two, combining marks and
// other zero-width characters none. A file name is cut and padded by these
// widths so that the panel's columns stay straight whatever the name holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Host {

// Columns of one code point: 0, 1 or 2. Control characters count as one
// (they are shown as a replacement mark).
int CodePointWidth(char32_t c);

// One drawn unit: a base character with the zero-width characters that
// follow it (UTF-16, so a surrogate pair stays together), and its columns.
struct Glyph {
    std::u16string Text;
    int Width = 1;
};

std::vector<Glyph> SplitGlyphs(std::u16string_view text);
int DisplayWidth(std::u16string_view text);

// The longest start of `text` that fits in `columns`; with `marker` set, a
// text that does not fit ends in that character instead (Far's '}').
std::u16string FitWidth(std::u16string_view text, int columns, char16_t marker = 0);

// `text` cut to `columns` and padded with spaces to exactly that width
// (left-aligned, or right-aligned when `right`).
std::u16string PadWidth(std::u16string_view text, int columns, bool right = false, char16_t marker = 0);

} // namespace Host
