// A help window as Far shows it, over the whole screen but the key bar: a
// double frame titled "Help - <the file's contents title>", the topic's
// fixed lines at the top above a line, under them the text that scrolls.
// Bold text and links are highlighted, the chosen link more so. Keys: Up,
// Down, PgUp, PgDn, Home, End scroll; Tab and Shift+Tab choose the next or
// previous link (scrolling it into view); Enter follows the chosen link to
// its topic; Backspace goes back to the topic before; Esc and F10 close.
//
// The view keeps a reference to the help file, which must outlive it.
#pragma once

#include "host/text/HelpFile.h"
#include "host/text/KeyScript.h"
#include "host/console/ScreenBuffer.h"

#include <cstddef>
#include <vector>

namespace Host {

class HelpView {
public:
    HelpView(const HelpFile& help, const HelpTopic& topic);

    // False when the key closes the window.
    bool Key(const KeyPress& key);
    void Paint(ScreenBuffer& screen);

    const HelpTopic& Topic() const { return *Shown; }
    // The first body line in view.
    size_t FirstLine() const { return Top; }

private:
    struct LinkSpot {
        size_t Line;
        size_t Span;
    };
    // Where one topic was left, for Backspace.
    struct Place {
        const HelpTopic* Topic;
        size_t Top;
        size_t Chosen;
    };

    void Open(const HelpTopic& topic);
    void ChooseLink(int direction);
    // Keeps the text inside the window and the chosen link in view.
    void Clamp();
    bool InView(size_t line) const { return line >= Top && line < Top + Rows; }

    const HelpFile& Help;
    const HelpTopic* Shown;
    std::vector<LinkSpot> Links;
    size_t Chosen = 0; // an index into Links; Links.size() for none
    size_t Top = 0;
    size_t Rows = 1;   // body rows as last painted
    std::vector<Place> History;
};

} // namespace Host
