// The terminal as the full-screen front end uses it: its size, putting a
// composed screen on it (with the text cursor, or none), and the user's
// next action. CursesConsole is the real one; tests may use another.
#pragma once

#include "host/frontends/FrontEnd.h"
#include "host/console/KeyDecoder.h"
#include "host/console/ExternalProgram.h"
#include "host/console/ScreenBuffer.h"

#include <filesystem>
#include <optional>
#include <string>

namespace Host {

struct ConsoleEvent {
    // Closed: the terminal is gone (end of input); nothing more will come.
    // Mouse: a button pressed or released, or a drag, in Mouse (at X, Y).
    // Paste: text pasted into the terminal, in Text.
    enum class Kind { Key, Resize, Closed, Mouse, Paste };
    Kind What = Kind::Key;
    KeyPress Key;
    int X = 0;
    int Y = 0;
    std::u16string Text;
    MouseReport Mouse;
};

struct CursorSpot {
    int X = 0;
    int Y = 0;
};

class Console {
public:
    virtual ~Console() = default;
    virtual ScreenSize Size() const = 0;
    virtual void Show(const ScreenBuffer& screen, std::optional<CursorSpot> cursor) = 0;
    // Waits for a key or a resize (after which Size() is the new size).
    virtual ConsoleEvent Read() = 0;
    // An event that has arrived already, without waiting for one: nothing
    // when none has (a resize waits for the next Read).
    virtual std::optional<ConsoleEvent> Poll() { return std::nullopt; }
    // Hands a text to the terminal's clipboard where the terminal takes it.
    virtual void OfferClipboard(std::u16string_view) {}
    // Hands the terminal to another program run on `file` (an external
    // editor, see ExternalProgram.h) and takes it back when the program ends;
    // its exit status, -1 when it could not be run. The next Show draws the
    // whole screen anew.
    virtual int RunProgram(const std::string& command, const std::filesystem::path& file)
    {
        return RunWithFile(command, file);
    }
};

} // namespace Host
