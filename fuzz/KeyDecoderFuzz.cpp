// Terminal bytes through the key decoder, as the full-screen view reads
// them: whole, and arriving in pieces of any size until the terminal goes
// away. Every decode stays within the bytes and a final one always moves
// on; the reader reports the end after at most one event per byte and
// never asks the terminal again once it has gone; a mouse report lies on
// a screen a terminal can have.
#include "FuzzSupport.h"

#include "host/console/KeyDecoder.h"
#include "host/console/TerminalInput.h"

namespace {

void RequireOnScreen(const std::optional<Host::MouseReport>& mouse)
{
    if (mouse)
        Fuzz::Require(mouse->X >= 0 && mouse->Y >= 0 && mouse->X < 65535 && mouse->Y < 65535);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes = Fuzz::Bytes(data, size);
    for (bool final : {false, true}) {
        const Host::DecodedKeys decoded = Host::DecodeKey(bytes, final);
        Fuzz::Require(decoded.Length <= bytes.size());
        Fuzz::Require(!final || bytes.empty() || decoded.Length > 0);
        RequireOnScreen(decoded.Mouse);
    }

    // The pieces: each as long as its first byte says (1 to 8 bytes), with
    // a pause after every piece that starts with a byte above 0xF0.
    using Arrival = Host::TerminalInput::Arrival;
    size_t offset = 0;
    bool pause = false;
    bool ended = false;
    int callsAfterTheEnd = 0;
    Host::TerminalInput input([&](int, std::string& into) {
        if (ended) {
            ++callsAfterTheEnd;
            return Arrival::Ended;
        }
        if (pause) {
            pause = false;
            return Arrival::Quiet;
        }
        if (offset >= bytes.size()) {
            ended = true;
            return Arrival::Ended;
        }
        const auto lead = static_cast<unsigned char>(bytes[offset]);
        const std::string_view piece = bytes.substr(offset, 1 + lead % 8);
        offset += piece.size();
        pause = lead > 0xF0;
        into += piece;
        return Arrival::Bytes;
    });
    size_t events = 0;
    for (;;) {
        const std::optional<Host::ConsoleEvent> event = input.Next();
        Fuzz::Require(event.has_value());
        Fuzz::Require(++events <= bytes.size() + 1);
        if (event->What == Host::ConsoleEvent::Kind::Closed)
            break;
        if (event->What == Host::ConsoleEvent::Kind::Mouse)
            RequireOnScreen(event->Mouse);
    }
    Fuzz::Require(callsAfterTheEnd == 0);
    return 0;
}
