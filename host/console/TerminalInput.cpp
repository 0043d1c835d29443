#include "host/console/TerminalInput.h"

#include "host/text/HostText.h"
#include "host/console/KeyDecoder.h"

namespace Host {

TerminalInput::TerminalInput(Source source)
    : Wait(std::move(source))
{
}

std::optional<ConsoleEvent> TerminalInput::Next()
{
    for (;;) {
        if (!Events.empty()) {
            const ConsoleEvent event = Events.front();
            Events.pop_front();
            return event;
        }
        if (!Pending.empty()) {
            // After the end of the input, what is left is all there is.
            DecodedKeys decoded = DecodeKey(Pending, Ended);
            if (decoded.Length == 0 && !Ended) {
                const Arrival arrival = Wait(SequenceWaitMs, Pending);
                if (arrival == Arrival::Woken)
                    return std::nullopt;
                if (arrival == Arrival::Ended)
                    Ended = true;
                if (arrival != Arrival::Quiet)
                    continue;
                decoded = DecodeKey(Pending, true);
            }
            // A final decode always reads something; should it not, a byte
            // goes, so that the reader cannot stand still.
            if (decoded.Length == 0)
                decoded.Length = 1;
            Pending.erase(0, decoded.Length);
            for (const KeyPress& key : decoded.Keys)
                Events.push_back(ConsoleEvent{ConsoleEvent::Kind::Key, key, 0, 0, {}, {}});
            if (decoded.Paste)
                Events.push_back(ConsoleEvent{ConsoleEvent::Kind::Paste, {}, 0, 0, Utf8ToUtf16(*decoded.Paste), {}});
            if (decoded.Mouse)
                Events.push_back(
                    ConsoleEvent{ConsoleEvent::Kind::Mouse, {}, decoded.Mouse->X, decoded.Mouse->Y, {}, *decoded.Mouse});
            continue;
        }
        if (Ended)
            return ConsoleEvent{ConsoleEvent::Kind::Closed, {}, 0, 0, {}, {}};
        const Arrival arrival = Wait(-1, Pending);
        if (arrival == Arrival::Woken)
            return std::nullopt;
        if (arrival == Arrival::Ended)
            Ended = true;
    }
}

} // namespace Host
