// The real terminal through ncurses (wide-character build): full screen
// from construction to destruction, the keypad in application mode (so
// the gray keys send their own codes), mouse clicks reported, keys read
// as the raw bytes the terminal sends and decoded by DecodeKey, resizes
// reported from SIGWINCH.
// Colours as the terminal offers them; none when NO_COLOR is set.
#pragma once

#include "host/terminal/Console.h"
#include "host/terminal/TerminalColors.h"

#include <deque>
#include <map>
#include <string>
#include <utility>

struct screen; // ncurses' SCREEN

namespace Host {

class CursesConsole : public Console {
public:
    // Throws HostError when the terminal cannot be used.
    CursesConsole();
    ~CursesConsole() override;
    CursesConsole(const CursesConsole&) = delete;
    CursesConsole& operator=(const CursesConsole&) = delete;

    ScreenSize Size() const override;
    void Show(const ScreenBuffer& screen, std::optional<CursorSpot> cursor) override;
    ConsoleEvent Read() override;

private:
    int AttributesFor(const ScreenCell& cell, short& pair);
    // Waits up to `milliseconds` (-1: for ever) for input; false on timeout.
    // Sets Resized when the terminal changed its size meanwhile.
    bool WaitForInput(int milliseconds);
    void ApplyResize();

    ::screen* Session = nullptr;
    ColorDepth Depth = ColorDepth::None;
    std::map<std::pair<int, int>, short> Pairs;
    std::string Pending;
    std::deque<ConsoleEvent> Events;
    bool Resized = false;
    bool InputEnded = false;
    int WakeRead = -1;
    int WakeWrite = -1;
};

} // namespace Host
