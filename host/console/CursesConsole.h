// The real terminal through ncurses (wide-character build): full screen
// from construction to destruction, the keypad in application mode (so
// the gray keys send their own codes), mouse presses, releases and drags reported, keys read
// as the raw bytes the terminal sends and decoded by DecodeKey, resizes
// reported from SIGWINCH.
// Colours as the terminal offers them; none when NO_COLOR is set.
#pragma once

#include "host/console/Console.h"
#include "host/console/TerminalColors.h"
#include "host/console/TerminalInput.h"

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
    std::optional<ConsoleEvent> Poll() override;
    void OfferClipboard(std::u16string_view text) override;
    // Leaves curses mode (the terminal as the shell had it), runs the
    // program, and restores the modes and the screen.
    int RunProgram(const std::string& command, const std::filesystem::path& file) override;

private:
    int AttributesFor(const ScreenCell& cell, short& pair);
    // The input source of `Input`: standard input, and the resize signal's
    // pipe (Resized is set and the wait ends as Woken).
    TerminalInput::Arrival WaitForInput(int milliseconds, std::string& bytes);
    void ApplyResize();

    ::screen* Session = nullptr;
    ColorDepth Depth = ColorDepth::None;
    std::map<std::pair<int, int>, short> Pairs;
    TerminalInput Input;
    bool Resized = false;
    int WakeRead = -1;
    int WakeWrite = -1;
};

} // namespace Host
