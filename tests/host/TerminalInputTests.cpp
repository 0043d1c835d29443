// The full-screen view's pure pieces on the input side: the terminal's key
// bytes, the display width of names, Far's colours on a terminal.
#include "far3/FarKeysW.h"
#include "host/text/HostText.h"
#include "host/text/KeyScript.h"
#include "host/dialogs/DialogColors.h"
#include "host/console/KeyDecoder.h"
#include "host/console/TerminalInput.h"
#include "host/console/TerminalColors.h"
#include "host/console/TextWidth.h"

#include <gtest/gtest.h>

using namespace Host;

namespace {

KeyPress Key(const char* script)
{
    return ParseKeyScript(script).front();
}

TEST(KeyDecoder, TurnsTerminalBytesIntoFarKeys)
{
    struct Case {
        const char* Bytes;
        const char* Key;
        size_t Length;
    };
    const Case cases[] = {
        {"a", "a", 1},                 {"Z", "Z", 1},                  {"\r", "<Enter>", 1},
        {"\n", "<Enter>", 1},          {"\t", "<Tab>", 1},             {"\x7f", "<BS>", 1},
        {"\x12", "<Ctrl+r>", 1},       {"<", "<lt>", 1},               {"\xc3\xa9", "é", 2},
        {"\x1b[A", "<Up>", 3},         {"\x1bOB", "<Down>", 3},        {"\x1b[1;2B", "<Shift+Down>", 6},
        {"\x1b[1;5B", "<Ctrl+Down>", 6}, {"\x1b[1;2A", "<Shift+Up>", 6}, {"\x1b[2~", "<Ins>", 4},
        {"\x1b[3~", "<Del>", 4},       {"\x1b[5~", "<PgUp>", 4},       {"\x1b[6~", "<PgDn>", 4},
        {"\x1b[1~", "<Home>", 4},      {"\x1b[4~", "<End>", 4},        {"\x1b[H", "<Home>", 3},
        {"\x1bOF", "<End>", 3},        {"\x1bOP", "<F1>", 3},          {"\x1b[[E", "<F5>", 4},
        {"\x1b[21~", "<F10>", 5},      {"\x1b[23~", "<F11>", 5},       {"\x1b[20;4~", "<Alt+Shift+F9>", 7},
        {"\x1b[Z", "<Shift+Tab>", 3},  {"\x1bOk", "<Num+>", 3},        {"\x1bOm", "<Num->", 3},
        {"\x1bOj", "<Num*>", 3},       {"\x1b" "f", "<Alt+f>", 2},        {"\x1b\x1b[A", "<Esc>", 1},
        {"ab", "a", 1},
        // Alt with a letter no key code names keeps the letter: it can be a hotkey.
        {"\x1b\xd0\xbe", "<Alt+о>", 3},  {"\x1b\xc3\x84", "<Alt+Ä>", 3},
        // Extended reporting: modifyOtherKeys and the kitty keyboard protocol.
        {"\x1b[27;5;13~", "<Ctrl+Enter>", 10}, {"\x1b[27;5;127~", "<Ctrl+BS>", 11},
        {"\x1b[27;6;13~", "<Ctrl+Shift+Enter>", 10}, {"\x1b[13;5u", "<Ctrl+Enter>", 7},
        {"\x1b[127;5u", "<Ctrl+BS>", 8},      {"\x1b[57413u", "<Num+>", 8}, {"\x1b[57412u", "<Num->", 8},
        {"\x1b[57411u", "<Num*>", 8},         {"\x1b[27u", "<Esc>", 5},     {"\x1b[121;5u", "<Ctrl+y>", 8},
        {"\x1b[91;5u", "<Ctrl+[>", 7},        {"\x1b[97;3u", "<Alt+a>", 7}, {"\x1b[65;2u", "A", 7},
        {"\x1b[1086;3u", "<Alt+о>", 9},      {"\x1b[27;3;1086~", "<Alt+о>", 12},
    };
    for (const Case& c : cases) {
        const DecodedKeys decoded = DecodeKey(c.Bytes, false);
        ASSERT_EQ(decoded.Keys.size(), 1u) << c.Key;
        EXPECT_EQ(decoded.Keys[0], Key(c.Key)) << c.Key;
        EXPECT_EQ(decoded.Length, c.Length) << c.Key;
    }
    EXPECT_EQ(DecodeKey("\x1b\xd0\xbe", false).Keys.front().Char, u'о');
}

// A bracketed paste is one paste, whatever its bytes; unfinished, it waits.
TEST(KeyDecoder, ReadsABracketedPasteAsOnePaste)
{
    const DecodedKeys whole = DecodeKey("\x1b[200~ab\x1b[A\r\x1b[201~x", false);
    EXPECT_TRUE(whole.Keys.empty());
    EXPECT_EQ(whole.Paste, std::optional<std::string>("ab\x1b[A\r"));
    EXPECT_EQ(whole.Length, 18u);
    EXPECT_EQ(DecodeKey("\x1b[200~ab", false).Length, 0u);
    const DecodedKeys cut = DecodeKey("\x1b[200~ab", true);
    EXPECT_EQ(cut.Paste, std::optional<std::string>("ab"));
    EXPECT_EQ(cut.Length, 8u);
}

// Bytes that are no UTF-8 (overlong forms, surrogates, beyond U+10FFFF,
// a broken sequence) type U+FFFD for the bad part only, and never wait for
// bytes that could not make them right.
TEST(KeyDecoder, TypesAReplacementForBytesThatAreNoUtf8)
{
    struct Case {
        const char* Bytes;
        size_t Length;
    };
    const Case cases[] = {
        {"\xC0\xAF", 1},     {"\xE0\x80\x80", 1}, {"\xE0\x80", 1},  {"\xED\xA0\x80", 1},
        {"\xF4\x90\x80\x80", 1}, {"\xF8", 1},     {"\xC3" "a", 1}, {"\xE2\x82" "a", 2},
    };
    for (const Case& c : cases) {
        const DecodedKeys decoded = DecodeKey(c.Bytes, false);
        ASSERT_EQ(decoded.Keys.size(), 1u) << testing::PrintToString(std::string(c.Bytes));
        EXPECT_EQ(decoded.Keys[0].Char, u'\uFFFD') << testing::PrintToString(std::string(c.Bytes));
        EXPECT_EQ(decoded.Length, c.Length) << testing::PrintToString(std::string(c.Bytes));
    }
}

TEST(KeyDecoder, WaitsForTheRestOfASequenceUnlessNoneComes)
{
    for (const char* start : {"\x1b", "\x1b[", "\x1b[1;5", "\x1bO", "\xc3"}) {
        EXPECT_EQ(DecodeKey(start, false).Length, 0u) << start;
        EXPECT_GT(DecodeKey(start, true).Length, 0u) << start;
    }
    EXPECT_EQ(DecodeKey("\x1b", true).Keys, std::vector<KeyPress>{Key("<Esc>")});
    // Sequences that are no keys are skipped whole, and so are numbers no
    // terminal sends (they must not wrap round into a key or a click).
    for (const char* other : {"\x1b[?1;2c", "\x1b[99~", "\x1b[<0;3;4M", "\x1b[99999999999~", "\x1b[4294967298~",
                              "\x1b[1;4294967301B", "\x1b[<0;4294967297;5M", "\x1b[<4294967296;3;4M",
                              "\x1b[<0;3;99999999999999999999M", "\x1b[62;4;u", "\x1b[62;5u", "\x1b[27;3;62~"}) {
        const DecodedKeys decoded = DecodeKey(other, false);
        EXPECT_TRUE(decoded.Keys.empty()) << other + 1;
        EXPECT_EQ(decoded.Length, std::string_view(other).size()) << other + 1;
        if (std::string_view(other) != "\x1b[<0;3;4M") {
            EXPECT_FALSE(decoded.Mouse.has_value()) << other + 1;
        }
    }
    // A character beyond U+FFFF arrives as its surrogate pair.
    const DecodedKeys emoji = DecodeKey("\xf0\x9f\x98\x80", false);
    ASSERT_EQ(emoji.Keys.size(), 2u);
    EXPECT_EQ(emoji.Keys[0].Char, 0xD83D);
    EXPECT_EQ(emoji.Keys[1].Char, 0xDE00);
}

// SGR mouse reports: 1-based in the report, 0-based on the screen; the
// left and right buttons going down ('M') and up ('m'), moves with the left
// button held (+32), Shift/Alt/Ctrl (+4/+8/+16). The middle button, the
// wheel, moves with no left button, position 0 and the report without
// its three numbers are read and dropped.
TEST(KeyDecoder, ReadsTheMouseReports)
{
    using Action = MouseReport::Action;
    using Button = MouseReport::Button;
    namespace Ck = Far3::ControlKey;
    struct Case {
        const char* Bytes;
        std::optional<MouseReport> Mouse;
    };
    const Case cases[] = {
        {"\x1b[<0;74;11M", MouseReport{Action::Press, Button::Left, 73, 10, 0}},
        {"\x1b[<0;74;11m", MouseReport{Action::Release, Button::Left, 73, 10, 0}},
        {"\x1b[<2;1;1M", MouseReport{Action::Press, Button::Right, 0, 0, 0}},
        {"\x1b[<2;5;6m", MouseReport{Action::Release, Button::Right, 4, 5, 0}},
        {"\x1b[<32;10;3M", MouseReport{Action::Move, Button::Left, 9, 2, 0}},
        {"\x1b[<20;2;2M", MouseReport{Action::Press, Button::Left, 1, 1, Ck::Shift | Ck::LeftCtrl}},
        {"\x1b[<10;2;2M", MouseReport{Action::Press, Button::Right, 1, 1, Ck::LeftAlt}},
        {"\x1b[<65535;65535;65535M", std::nullopt},
        {"\x1b[<1;2;2M", std::nullopt},    // middle button
        {"\x1b[<64;2;2M", std::nullopt},   // wheel
        {"\x1b[<34;2;2M", std::nullopt},   // a move with the right button held
        {"\x1b[<35;2;2M", std::nullopt},   // a move with no button
        {"\x1b[<0;0;2M", std::nullopt},
        {"\x1b[<0;2M", std::nullopt},
    };
    for (const Case& c : cases) {
        const DecodedKeys decoded = DecodeKey(c.Bytes, false);
        EXPECT_EQ(decoded.Mouse, c.Mouse) << c.Bytes + 1;
        EXPECT_TRUE(decoded.Keys.empty()) << c.Bytes + 1;
        EXPECT_EQ(decoded.Length, std::string_view(c.Bytes).size()) << c.Bytes + 1;
    }
}

// The events a terminal's input gives, read until Closed (or 10 events), with
// "?" for a wake-up that was no input. The source follows a script and
// counts the calls made after it reported the end.
TEST(TerminalInput, DecodesWhatArrivedAndStopsAtTheEnd)
{
    using Arrival = TerminalInput::Arrival;
    struct Step {
        Arrival What;
        const char* Bytes;
    };
    struct Case {
        const char* What;
        std::vector<Step> Script;
        std::vector<std::string> Events;
    };
    const Case cases[] = {
        {"keys, then the end", {{Arrival::Bytes, "ab"}, {Arrival::Ended, ""}}, {"a", "b", "closed"}},
        {"the terminal goes away inside a sequence",
         {{Arrival::Bytes, "\x1b["}, {Arrival::Ended, ""}},
         {"<Alt+[>", "closed"}},
        {"the end inside a character", {{Arrival::Bytes, "x\xc3"}, {Arrival::Ended, ""}}, {"x", "\uFFFD", "closed"}},
        {"a pause after Esc", {{Arrival::Bytes, "\x1b"}, {Arrival::Quiet, ""}, {Arrival::Ended, ""}},
         {"<Esc>", "closed"}},
        {"the rest of a sequence comes later",
         {{Arrival::Bytes, "\x1b[1;"}, {Arrival::Bytes, "5B"}, {Arrival::Ended, ""}},
         {"<Ctrl+Down>", "closed"}},
        {"a resize inside a sequence",
         {{Arrival::Bytes, "\x1b["}, {Arrival::Woken, ""}, {Arrival::Bytes, "A"}, {Arrival::Ended, ""}},
         {"?", "<Up>", "closed"}},
        {"a click", {{Arrival::Bytes, "\x1b[<0;3;4M\x1b[<0;3;4m"}, {Arrival::Ended, ""}},
         {"mouse 2,3", "mouse 2,3", "closed"}},
        // A paste is one paste until its end marker, however slowly it
        // comes: a line break in it is never a key (it would press a button).
        {"a slow paste",
         {{Arrival::Bytes, "\x1b[200~ab"}, {Arrival::Quiet, ""}, {Arrival::Bytes, "c\rd"}, {Arrival::Quiet, ""},
          {Arrival::Bytes, "\x1b[20"}, {Arrival::Quiet, ""}, {Arrival::Bytes, "1~x"}, {Arrival::Ended, ""}},
         {"paste abc\rd", "x", "closed"}},
        {"a paste with an escape in it, then keys",
         {{Arrival::Bytes, "\x1b[200~a\x1b[Ab\x1b[201~\r"}, {Arrival::Ended, ""}},
         {"paste a\x1b[Ab", "<Enter>", "closed"}},
        {"the terminal goes away inside a paste",
         {{Arrival::Bytes, "\x1b[200~ab\r"}, {Arrival::Ended, ""}},
         {"paste ab\r", "closed"}},
        {"a resize inside a paste",
         {{Arrival::Bytes, "\x1b[200~ab"}, {Arrival::Woken, ""}, {Arrival::Bytes, "\r\x1b[201~"}, {Arrival::Ended, ""}},
         {"?", "paste ab\r", "closed"}},
    };
    for (const Case& c : cases) {
        size_t next = 0;
        int callsAfterTheEnd = 0;
        TerminalInput input([&](int, std::string& bytes) {
            if (next >= c.Script.size()) {
                ++callsAfterTheEnd;
                return Arrival::Ended;
            }
            const Step& step = c.Script[next++];
            bytes += step.Bytes;
            return step.What;
        });
        std::vector<std::string> seen;
        while (seen.size() < 10 && (seen.empty() || seen.back() != "closed")) {
            const std::optional<ConsoleEvent> event = input.Next();
            if (!event)
                seen.push_back("?");
            else if (event->What == ConsoleEvent::Kind::Closed)
                seen.push_back("closed");
            else if (event->What == ConsoleEvent::Kind::Mouse)
                seen.push_back("mouse " + std::to_string(event->Mouse.X) + "," + std::to_string(event->Mouse.Y));
            else if (event->What == ConsoleEvent::Kind::Paste)
                seen.push_back("paste " + Utf16ToUtf8(event->Text));
            else
                seen.push_back(KeyName(event->Key));
        }
        std::vector<std::string> expected;
        for (const std::string& event : c.Events)
            expected.push_back(event == "closed" || event == "?" || event.starts_with("mouse ") ||
                                       event.starts_with("paste ")
                                   ? event
                                   : KeyName(Key(event.c_str())));
        EXPECT_EQ(seen, expected) << c.What;
        // Once closed it stays closed, without asking the terminal again.
        const std::optional<ConsoleEvent> again = input.Next();
        EXPECT_TRUE(again && again->What == ConsoleEvent::Kind::Closed) << c.What;
        EXPECT_EQ(callsAfterTheEnd, 0) << c.What;
    }
}

// A paste larger than the limit keeps its first MaxPasteBytes; the rest,
// line breaks included, goes up to the end marker, and what follows it is
// typed as usual.
TEST(TerminalInput, APasteBeyondTheLimitIsCutAndItsRestDropped)
{
    using Arrival = TerminalInput::Arrival;
    const std::string chunk(64 * 1024, 'p');
    size_t chunks = 0;
    const size_t total = TerminalInput::MaxPasteBytes / chunk.size() + 2;
    TerminalInput input([&](int, std::string& bytes) {
        if (chunks == 0)
            bytes += "\x1b[200~";
        if (chunks < total) {
            bytes += chunk + (chunks == total - 1 ? "\r\x1b[201~z" : "\r");
            ++chunks;
            return Arrival::Bytes;
        }
        return Arrival::Ended;
    });
    const std::optional<ConsoleEvent> paste = input.Next();
    ASSERT_TRUE(paste && paste->What == ConsoleEvent::Kind::Paste);
    EXPECT_EQ(paste->Text.size(), TerminalInput::MaxPasteBytes);
    const std::optional<ConsoleEvent> key = input.Next();
    ASSERT_TRUE(key && key->What == ConsoleEvent::Kind::Key);
    EXPECT_EQ(key->Key, Key("z"));
    const std::optional<ConsoleEvent> end = input.Next();
    EXPECT_TRUE(end && end->What == ConsoleEvent::Kind::Closed);
}

TEST(TextWidth, MeasuresWideAndCombiningCharacters)
{
    struct Case {
        std::u16string Text;
        int Width;
        size_t Glyphs;
    };
    const Case cases[] = {
        {u"notes.txt", 9, 9},
        {u"日本語.txt", 10, 7},          // wide
        {u"e\u0301te\u0301.txt", 7, 7},  // combining accents join their letter
        {u"\U0001F600.png", 6, 5},       // an emoji as a surrogate pair
        {u"\u0301a", 2, 2},              // a mark with nothing before it stays visible
        {u"\xD800x", 2, 2},              // a lone surrogate
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DisplayWidth(c.Text), c.Width);
        EXPECT_EQ(SplitGlyphs(c.Text).size(), c.Glyphs);
    }
    // Cut to a width, with Far's '}' when the name does not fit.
    EXPECT_EQ(FitWidth(u"holiday.jpg", 8, u'}'), u"holiday}");
    EXPECT_EQ(FitWidth(u"日本語.txt", 6, u'}'), u"日本 }");
    EXPECT_EQ(PadWidth(u"日本", 6), u"日本  ");
    EXPECT_EQ(PadWidth(u"42", 5, true), u"   42");
    EXPECT_EQ(PadWidth(u"e\u0301", 3), u"e\u0301  ");
}

TEST(TerminalColors, FollowTheTerminalsColoursOrNone)
{
    struct Case {
        uint8_t Foreground, Background;
        ColorDepth Depth;
        TerminalStyle Style;
    };
    const Case cases[] = {
        {11, 1, ColorDepth::Sixteen, {14, 4, false, false}}, // panel text: bright cyan on blue
        {0, 3, ColorDepth::Sixteen, {0, 6, false, false}},   // cursor: black on cyan
        {15, 4, ColorDepth::Sixteen, {15, 1, false, false}}, // warning: white on red
        {14, 1, ColorDepth::Eight, {3, 4, true, false}},     // yellow becomes bold brown
        {11, 1, ColorDepth::None, {-1, -1, false, false}},   // panels stay plain
        {14, 1, ColorDepth::None, {-1, -1, true, false}},    // selected names bold
        {0, 7, ColorDepth::None, {-1, -1, false, true}},     // dialogs reversed
        {0, 3, ColorDepth::None, {-1, -1, true, true}},      // cursor, edits, focused buttons
        {15, 4, ColorDepth::None, {-1, -1, true, true}},     // warnings
    };
    for (const Case& c : cases) {
        const TerminalStyle style = StyleFor(ConsoleColor(c.Foreground, c.Background), c.Depth);
        EXPECT_EQ(style.Foreground, c.Style.Foreground) << int(c.Foreground) << "/" << int(c.Background);
        EXPECT_EQ(style.Background, c.Style.Background) << int(c.Foreground) << "/" << int(c.Background);
        EXPECT_EQ(style.Bold, c.Style.Bold) << int(c.Foreground) << "/" << int(c.Background);
        EXPECT_EQ(style.Reverse, c.Style.Reverse) << int(c.Foreground) << "/" << int(c.Background);
    }
    // A colour given as RGB takes the nearest console colour (0x00BBGGRR).
    EXPECT_EQ(ConsoleIndex(Far3::FarColor{0, 0x0000F0, 0xFF0000, nullptr}, true), 12);
    EXPECT_EQ(ConsoleIndex(Far3::FarColor{0, 0x0000F0, 0xFF0000, nullptr}, false), 9);

    EXPECT_EQ(ChooseColorDepth(256, false), ColorDepth::Sixteen);
    EXPECT_EQ(ChooseColorDepth(8, false), ColorDepth::Eight);
    EXPECT_EQ(ChooseColorDepth(256, true), ColorDepth::None);
    EXPECT_EQ(ChooseColorDepth(0, false), ColorDepth::None);
}

} // namespace
