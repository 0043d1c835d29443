#include "host/console/KeyDecoder.h"

#include "base/Utf8Sequence.h"
#include "far3/FarKeysW.h"
#include "host/app/HostError.h"
#include "host/text/HostText.h"

#include <string>

namespace Host {

namespace {

namespace Ck = Far3::ControlKey;

KeyPress KeyNamed(const std::string& name, int modifier = 1)
{
    // xterm's modifier parameter: 1 + (1 Shift, 2 Alt, 4 Ctrl).
    const int bits = modifier > 1 ? modifier - 1 : 0;
    std::string prefix;
    if (bits & 1)
        prefix += "Shift+";
    if (bits & 2)
        prefix += "Alt+";
    if (bits & 4)
        prefix += "Ctrl+";
    return ParseKeyScript("<" + prefix + name + ">").front();
}

DecodedKeys One(const KeyPress& key, size_t length)
{
    return DecodedKeys{{key}, length, std::nullopt, std::nullopt};
}

DecodedKeys Skip(size_t length)
{
    return DecodedKeys{{}, length, std::nullopt, std::nullopt};
}

// The name of a "\x1b[N~" key.
std::string TildeKey(int number)
{
    switch (number) {
    case 1: case 7: return "Home";
    case 2: return "Ins";
    case 3: return "Del";
    case 4: case 8: return "End";
    case 5: return "PgUp";
    case 6: return "PgDn";
    case 11: case 12: case 13: case 14: case 15: return "F" + std::to_string(number - 10);
    case 17: case 18: case 19: case 20: case 21: return "F" + std::to_string(number - 11);
    case 23: case 24: return "F" + std::to_string(number - 12);
    default: return {};
    }
}

// The name of a key that ends a CSI or SS3 sequence with a letter.
std::string LetterKey(char final)
{
    switch (final) {
    case 'A': return "Up";
    case 'B': return "Down";
    case 'C': return "Right";
    case 'D': return "Left";
    case 'H': return "Home";
    case 'F': return "End";
    case 'P': return "F1";
    case 'Q': return "F2";
    case 'R': return "F3";
    case 'S': return "F4";
    default: return {};
    }
}

// The largest number a sequence's parameter may hold: more than any key
// code, modifier set or screen coordinate a terminal sends.
constexpr int LargestParameter = 65535;

// Appends a decimal digit to a parameter; false once the number grows past
// LargestParameter (the whole sequence is then refused).
bool AddDigit(int& number, char digit)
{
    number = number * 10 + (digit - '0');
    return number <= LargestParameter;
}

// An SGR mouse report "\x1b[<button;x;y" + 'M' (press, or a move with a
// button held) or 'm' (release): the left and right buttons, and moves with
// the left one held; the wheel and the middle button are skipped.
DecodedKeys Mouse(std::string_view parameters, char last, size_t length)
{
    int numbers[3] = {0, 0, 0};
    size_t which = 0;
    for (char c : parameters) {
        if (c == ';' && which < 2)
            ++which;
        else if (c < '0' || c > '9' || !AddDigit(numbers[which], c))
            return Skip(length);
    }
    DecodedKeys decoded = Skip(length);
    const int code = numbers[0];
    const bool moved = (code & 32) != 0;
    if (which != 2 || numbers[1] <= 0 || numbers[2] <= 0 || code >= 64)
        return decoded;
    MouseReport report;
    report.X = numbers[1] - 1;
    report.Y = numbers[2] - 1;
    if (code & 4)
        report.ControlState |= Ck::Shift;
    if (code & 8)
        report.ControlState |= Ck::LeftAlt;
    if (code & 16)
        report.ControlState |= Ck::LeftCtrl;
    switch (code & 3) {
    case 0: report.Which = MouseReport::Button::Left; break;
    case 2: report.Which = MouseReport::Button::Right; break;
    default: return decoded;
    }
    if (moved) {
        // Reported while a button is held (mode 1002): only the left one drags.
        if (last != 'M' || report.Which != MouseReport::Button::Left)
            return decoded;
        report.What = MouseReport::Action::Move;
    } else {
        report.What = last == 'M' ? MouseReport::Action::Press : MouseReport::Action::Release;
    }
    decoded.Mouse = report;
    return decoded;
}

// A key of the extended reports, by its Unicode code point (or the kitty
// protocol's code of a keypad key) and the xterm modifier parameter.
DecodedKeys ExtendedKey(int code, int modifier, size_t length)
{
    std::string name;
    switch (code) {
    case 13: name = "Enter"; break;
    case 9: name = "Tab"; break;
    case 27: name = "Esc"; break;
    case 8:
    case 127: name = "BS"; break;
    case 32: name = "Space"; break;
    case '<': name = "lt"; break;
    case 57413: name = "Num+"; break;
    case 57412: name = "Num-"; break;
    case 57411: name = "Num*"; break;
    case 57414: name = "Enter"; break;
    default:
        if (code > 32 && code < 127)
            name = std::string(1, static_cast<char>(code));
        // A letter of another script (Alt+о): named by the character itself.
        else if (code >= 0xA0 && code < 0xD800)
            name = Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(code)));
        break;
    }
    if (name.empty())
        return Skip(length);
    const int bits = modifier > 1 ? modifier - 1 : 0;
    // Shift with a character is already in the character itself.
    const bool character = code > 32 && code != 127 && code < 0xD800 && code != '<';
    if (character && (bits & 1) && !(bits & 6))
        return One(CharKey(static_cast<char16_t>(code)), length);
    try {
        return One(KeyNamed(name, modifier), length);
    } catch (const HostError&) {
        // A character the key notation has no name for ('>', ...) with
        // Alt or Ctrl: the report goes, as one for a key Far lacks would.
        return Skip(length);
    }
}

// "\x1b[200~" text "\x1b[201~": one paste. Unfinished: waits unless final.
DecodedKeys BracketedPaste(std::string_view bytes, bool final)
{
    constexpr std::string_view Start = "\x1b[200~", End = "\x1b[201~";
    const size_t end = bytes.find(End, Start.size());
    if (end == std::string_view::npos && !final)
        return {};
    DecodedKeys decoded;
    const size_t stop = end == std::string_view::npos ? bytes.size() : end;
    decoded.Paste = std::string(bytes.substr(Start.size(), stop - Start.size()));
    decoded.Length = end == std::string_view::npos ? bytes.size() : end + End.size();
    return decoded;
}

// "\x1b[" parameters final: arrows, Home/End, F-keys, editing keys.
DecodedKeys Csi(std::string_view bytes, bool final)
{
    // The Linux console's F1-F5: "\x1b[[A" .. "\x1b[[E".
    if (bytes.size() >= 3 && bytes[2] == '[') {
        if (bytes.size() < 4)
            return final ? One(KeyNamed("Alt+["), 2) : DecodedKeys{};
        if (bytes[3] >= 'A' && bytes[3] <= 'E')
            return One(KeyNamed("F" + std::to_string(bytes[3] - 'A' + 1)), 4);
        return Skip(4);
    }
    size_t end = 2;
    while (end < bytes.size() && (bytes[end] < 0x40 || bytes[end] > 0x7E))
        ++end;
    if (end == bytes.size())
        return final ? One(KeyNamed("Alt+["), 2) : DecodedKeys{};
    const std::string_view parameters = bytes.substr(2, end - 2);
    const char last = bytes[end];
    const size_t length = end + 1;
    if (parameters.starts_with("<"))
        return Mouse(parameters.substr(1), last, length);
    int numbers[3] = {0, 1, 0};
    size_t which = 0;
    for (char c : parameters) {
        if (c == ';') {
            if (++which > 2)
                return Skip(length);
            numbers[which] = 0;
        } else if (c < '0' || c > '9') {
            return Skip(length); // private sequences ("\x1b[?...")
        } else if (!AddDigit(numbers[which], c)) {
            return Skip(length);
        }
    }
    if (last == 'Z')
        return One(KeyNamed("Shift+Tab"), length);
    // modifyOtherKeys: "27;modifier;code~"; the kitty protocol: "code;modifier u".
    if (last == '~' && which == 2 && numbers[0] == 27)
        return ExtendedKey(numbers[2], numbers[1], length);
    if (last == 'u')
        return ExtendedKey(numbers[0], numbers[1], length);
    if (which > 1)
        return Skip(length);
    const std::string name = last == '~' ? TildeKey(numbers[0]) : LetterKey(last);
    if (name.empty())
        return Skip(length);
    return One(KeyNamed(name, numbers[1]), length);
}

// "\x1bO" final: arrows and F1-F4 in application mode, the keypad.
DecodedKeys Ss3(std::string_view bytes, bool final)
{
    if (bytes.size() < 3)
        return final ? One(KeyNamed("Alt+O"), 2) : DecodedKeys{};
    const char last = bytes[2];
    switch (last) {
    case 'k': return One(KeyNamed("Num+"), 3);
    case 'm': return One(KeyNamed("Num-"), 3);
    case 'j': return One(KeyNamed("Num*"), 3);
    case 'M': return One(KeyNamed("Enter"), 3);
    case 'o': return One(CharKey(u'/'), 3);
    case 'n': return One(CharKey(u'.'), 3);
    default: break;
    }
    if (last >= 'p' && last <= 'y')
        return One(CharKey(static_cast<char16_t>(u'0' + (last - 'p'))), 3);
    const std::string name = LetterKey(last);
    return name.empty() ? Skip(3) : One(KeyNamed(name), 3);
}

// A character or control byte (not Esc).
DecodedKeys Plain(std::string_view bytes)
{
    const auto byte = static_cast<unsigned char>(bytes[0]);
    switch (byte) {
    case '\r':
    case '\n': return One(KeyNamed("Enter"), 1);
    case '\t': return One(KeyNamed("Tab"), 1);
    case 0x7F:
    case 0x08: return One(KeyNamed("BS"), 1);
    case '<': return One(CharKey(u'<'), 1);
    default: break;
    }
    if (byte >= 0x01 && byte <= 0x1A)
        return One(KeyNamed(std::string("Ctrl+") + static_cast<char>('a' + byte - 1)), 1);
    if (byte < 0x20)
        return Skip(1);
    // A sequence still arriving waits for its other bytes; a bad one types
    // U+FFFD for the bytes that went wrong and decoding resumes after them.
    const Base::Utf8Sequence sequence = Base::DecodeUtf8Sequence(bytes, 0);
    if (sequence.CutOff)
        return {};
    if (!sequence.Valid)
        return One(CharKey(u'\uFFFD'), sequence.Length);
    char32_t c = sequence.Char;
    if (c < 0x10000)
        return One(CharKey(static_cast<char16_t>(c)), sequence.Length);
    c -= 0x10000;
    return DecodedKeys{{CharKey(static_cast<char16_t>(0xD800 + (c >> 10))),
                        CharKey(static_cast<char16_t>(0xDC00 + (c & 0x3FF)))},
                       sequence.Length, std::nullopt, std::nullopt};
}

} // namespace

DecodedKeys DecodeKey(std::string_view bytes, bool final)
{
    if (bytes.empty())
        return {};
    if (bytes[0] != '\x1b') {
        DecodedKeys plain = Plain(bytes);
        if (plain.Length == 0 && final)
            return One(CharKey(u'\uFFFD'), bytes.size());
        return plain;
    }
    if (bytes.size() == 1)
        return final ? One(KeyNamed("Esc"), 1) : DecodedKeys{};
    if (bytes.starts_with("\x1b[200~"))
        return BracketedPaste(bytes, final);
    if (bytes[1] == '[')
        return Csi(bytes, final);
    if (bytes[1] == 'O')
        return Ss3(bytes, final);
    if (bytes[1] == '\x1b')
        return One(KeyNamed("Esc"), 1);
    // Alt with the key that follows.
    DecodedKeys rest = Plain(bytes.substr(1));
    if (rest.Length == 0)
        return final ? One(KeyNamed("Esc"), 1) : DecodedKeys{};
    for (KeyPress& key : rest.Keys) {
        key.ControlState |= Ck::LeftAlt;
        if (key.Char >= u'a' && key.Char <= u'z')
            key.VirtualKey = static_cast<uint16_t>(key.Char - u'a' + 'A');
        if (!KeepsCharacterWithModifier(key))
            key.Char = 0;
    }
    rest.Length += 1;
    return rest;
}

} // namespace Host
