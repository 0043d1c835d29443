// The terminal's input bytes turned into console events: the key presses and
// mouse reports DecodeKey reads from them, and Closed once the input has ended and
// every byte left has been decoded. The bytes come from a source the console
// provides (standard input under ncurses, a script in tests). A sequence cut
// short, by a pause or by the end of the input, is decoded as far as it goes:
// the reader never waits for bytes that cannot come, and never asks the
// source again once it has reported the end. A bracketed paste is one
// paste until its end marker, however slowly it arrives: no pause cuts it,
// and nothing in it (a line break) ever becomes a key; beyond MaxPasteBytes
// its bytes are dropped until the end marker. Each byte of a paste is
// looked at about once. One thread.
#pragma once

#include "host/console/Console.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace Host {

class TerminalInput {
public:
    // What waiting for input gave.
    // Bytes: some arrived (appended); Quiet: none within the time;
    // Woken: something else wants attention (a resize); Ended: no more
    // input will ever come (the terminal went away).
    enum class Arrival { Bytes, Quiet, Woken, Ended };
    // Waits up to `milliseconds` (-1: for ever) and appends what arrived.
    using Source = std::function<Arrival(int milliseconds, std::string& bytes)>;

    // How long the rest of an escape sequence may take to arrive.
    static constexpr int SequenceWaitMs = 40;
    // The most of one paste that is kept.
    static constexpr size_t MaxPasteBytes = 1 << 20;

    explicit TerminalInput(Source source);

    // The next key, mouse report, paste or Closed (again and again once closed); nothing
    // when the source was woken for something else, which the caller then
    // handles before asking again. With `wait` false it does not wait for
    // input that has not begun to arrive: nothing when none is there (it
    // still waits a moment for the rest of an escape sequence).
    std::optional<ConsoleEvent> Next(bool wait = true);

private:
    // Inside a paste: takes its bytes from Pending; true once its end
    // marker came (or the input ended) and the paste is an event.
    bool TakePasteBytes();

    Source Wait;
    std::string Pending;
    std::deque<ConsoleEvent> Events;
    bool Ended = false;
    // Inside a bracketed paste: its text so far (Pending then holds only
    // bytes not yet looked at, and at most the start of an end marker).
    bool InPaste = false;
    std::string PasteText;
};

} // namespace Host
