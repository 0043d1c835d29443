#include "host/console/TerminalInput.h"

#include "host/text/HostText.h"
#include "host/console/KeyDecoder.h"

#include <algorithm>
#include <string_view>

namespace Host {

namespace {

constexpr std::string_view PasteStart = "\x1b[200~";
constexpr std::string_view PasteEnd = "\x1b[201~";

} // namespace

TerminalInput::TerminalInput(Source source)
    : Wait(std::move(source))
{
}

bool TerminalInput::TakePasteBytes()
{
    const size_t end = Pending.find(PasteEnd);
    // Without the end marker, the last bytes may be its start: they wait
    // for the next chunk; the rest is the paste's.
    const size_t take = end != std::string::npos ? end
                        : Ended                  ? Pending.size()
                        : Pending.size() >= PasteEnd.size() ? Pending.size() - (PasteEnd.size() - 1)
                                                            : 0;
    if (PasteText.size() < MaxPasteBytes)
        PasteText.append(Pending, 0, std::min(take, MaxPasteBytes - PasteText.size()));
    if (end == std::string::npos && !Ended) {
        Pending.erase(0, take);
        return false;
    }
    Pending.erase(0, end == std::string::npos ? Pending.size() : end + PasteEnd.size());
    Events.push_back(ConsoleEvent{ConsoleEvent::Kind::Paste, {}, 0, 0, Utf8ToUtf16(PasteText), {}});
    PasteText.clear();
    InPaste = false;
    return true;
}

std::optional<ConsoleEvent> TerminalInput::Next(bool wait)
{
    for (;;) {
        if (!Events.empty()) {
            const ConsoleEvent event = Events.front();
            Events.pop_front();
            return event;
        }
        if (InPaste) {
            if (TakePasteBytes())
                continue;
            const Arrival arrival = Wait(wait ? -1 : 0, Pending);
            if (arrival == Arrival::Woken || (arrival == Arrival::Quiet && !wait))
                return std::nullopt;
            if (arrival == Arrival::Ended)
                Ended = true;
            continue;
        }
        if (!Pending.empty()) {
            if (Pending.starts_with(PasteStart)) {
                Pending.erase(0, PasteStart.size());
                InPaste = true;
                continue;
            }
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
        const Arrival arrival = Wait(wait ? -1 : 0, Pending);
        if (arrival == Arrival::Woken || (arrival == Arrival::Quiet && !wait))
            return std::nullopt;
        if (arrival == Arrival::Ended)
            Ended = true;
    }
}

} // namespace Host
