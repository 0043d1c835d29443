#include "host/text/KeyScript.h"

#include "base/Ascii.h"
#include "base/Utf16.h"
#include "far3/FarKeysW.h"
#include "host/app/HostError.h"
#include "host/text/HostText.h"
#include "host/text/LetterCase.h"

#include <array>

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;
namespace Ck = Far3::ControlKey;

struct NamedKey {
    const char* Name;
    uint16_t VirtualKey;
    char16_t Char;
};

constexpr std::array NamedKeys{
    NamedKey{"enter", Vk::Return, u'\r'},  NamedKey{"esc", Vk::Escape, 0x1B},
    NamedKey{"tab", Vk::Tab, u'\t'},       NamedKey{"space", Vk::Space, u' '},
    NamedKey{"bs", Vk::Back, 0x08},        NamedKey{"del", Vk::Delete, 0},
    NamedKey{"ins", Vk::Insert, 0},        NamedKey{"left", Vk::Left, 0},
    NamedKey{"right", Vk::Right, 0},       NamedKey{"up", Vk::Up, 0},
    NamedKey{"down", Vk::Down, 0},         NamedKey{"home", Vk::Home, 0},
    NamedKey{"end", Vk::End, 0},           NamedKey{"pgup", Vk::Prior, 0},
    NamedKey{"pgdn", Vk::Next, 0},         NamedKey{"break", Vk::Cancel, 0},
    NamedKey{"num+", Vk::Add, u'+'},       NamedKey{"num-", Vk::Subtract, u'-'},
    NamedKey{"num*", Vk::Multiply, u'*'},  NamedKey{"lt", 0, u'<'},
};

// Keys that move the cursor or edit are "enhanced" on a PC keyboard.
bool IsEnhanced(uint16_t vk)
{
    return (vk >= Vk::Prior && vk <= Vk::Down) || vk == Vk::Insert || vk == Vk::Delete;
}

KeyPress Named(std::string_view name)
{
    const std::string lower = Base::AsciiLowered(name);
    for (const NamedKey& key : NamedKeys)
        if (lower == key.Name) {
            KeyPress press{key.VirtualKey, key.Char, IsEnhanced(key.VirtualKey) ? Ck::Enhanced : 0};
            if (key.VirtualKey == 0)
                press = CharKey(key.Char);
            return press;
        }
    if (lower.size() >= 2 && lower.size() <= 3 && lower[0] == 'f') {
        int number = std::stoi(lower.substr(1));
        if (number >= 1 && number <= 12)
            return KeyPress{static_cast<uint16_t>(Vk::F1 + number - 1), 0, 0};
    }
    std::u16string text = Utf8ToUtf16(name);
    if (text.size() == 1)
        return CharKey(text[0]);
    throw HostError("Unknown key <" + std::string(name) + ">");
}

// Applies "Shift+", "Ctrl+", "Alt+" (or "S-", "C-", "A-") prefixes.
KeyPress WithModifiers(std::string_view name)
{
    uint32_t state = 0;
    for (;;) {
        const std::string lower = Base::AsciiLowered(name.substr(0, 6));
        if (name.size() > 6 && lower.starts_with("shift+")) {
            state |= Ck::Shift;
            name.remove_prefix(6);
        } else if (name.size() > 5 && lower.starts_with("ctrl+")) {
            state |= Ck::LeftCtrl;
            name.remove_prefix(5);
        } else if (name.size() > 4 && lower.starts_with("alt+")) {
            state |= Ck::LeftAlt;
            name.remove_prefix(4);
        } else if (name.size() > 2 && name[1] == '-' && (lower[0] == 's' || lower[0] == 'c' || lower[0] == 'a')) {
            state |= lower[0] == 's' ? Ck::Shift : lower[0] == 'c' ? Ck::LeftCtrl : Ck::LeftAlt;
            name.remove_prefix(2);
        } else {
            break;
        }
    }
    KeyPress key = Named(name);
    // With Ctrl or Alt a letter types nothing; the key code says which it
    // was, and "Ctrl+Y" is the same key as "Ctrl+y" (Shift only when named).
    if (state & (Ck::AnyCtrl | Ck::AnyAlt))
        key.ControlState &= ~Ck::Shift;
    key.ControlState |= state;
    if (state & (Ck::AnyCtrl | Ck::AnyAlt)) {
        if (key.Char >= u'a' && key.Char <= u'z')
            key.VirtualKey = static_cast<uint16_t>(key.Char - u'a' + 'A');
        if (!KeepsCharacterWithModifier(key))
            key.Char = 0;
    }
    if ((state & Ck::Shift) && key.Char >= u'a' && key.Char <= u'z')
        key.Char = static_cast<char16_t>(key.Char - u'a' + u'A');
    return key;
}

} // namespace

bool KeyPress::Alt() const
{
    return (ControlState & Ck::AnyAlt) != 0;
}

bool KeyPress::Ctrl() const
{
    return (ControlState & Ck::AnyCtrl) != 0;
}

bool KeyPress::Shift() const
{
    return (ControlState & Ck::Shift) != 0;
}

KeyPress CharKey(char16_t c)
{
    KeyPress key;
    key.Char = c;
    if (c >= u'a' && c <= u'z')
        key.VirtualKey = static_cast<uint16_t>(c - u'a' + 'A');
    else if (c >= u'A' && c <= u'Z') {
        key.VirtualKey = static_cast<uint16_t>(c);
        key.ControlState = Ck::Shift;
    } else if ((c >= u'0' && c <= u'9') || c == u' ')
        key.VirtualKey = static_cast<uint16_t>(c);
    else if (c == u'[')
        key.VirtualKey = Far3::VirtualKey::OpenBracket;
    else if (c == u']')
        key.VirtualKey = Far3::VirtualKey::CloseBracket;
    return key;
}

Far3::INPUT_RECORD KeyRecord(const KeyPress& key)
{
    Far3::INPUT_RECORD record{};
    record.EventType = Far3::InputEvent::Key;
    record.Event.KeyEvent.bKeyDown = 1;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = key.VirtualKey;
    record.Event.KeyEvent.UnicodeChar = key.Char;
    record.Event.KeyEvent.dwControlKeyState = key.ControlState;
    return record;
}

std::vector<KeyPress> ParseKeyScript(std::string_view script)
{
    std::vector<KeyPress> keys;
    const std::u16string text = Utf8ToUtf16(script);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'<') {
            keys.push_back(CharKey(text[i]));
            continue;
        }
        // "<>" and a '<' at the end are no names: the bracket types itself.
        const size_t close = text.find(u'>', i + 2);
        if (close == std::u16string::npos)
            throw HostError("Unclosed key name in \"" + std::string(script) + "\"");
        keys.push_back(WithModifiers(Utf16ToUtf8(text.substr(i + 1, close - i - 1))));
        i = close;
    }
    return keys;
}

bool KeepsCharacterWithModifier(const KeyPress& key)
{
    if (key.VirtualKey == Far3::VirtualKey::Return || key.VirtualKey == Far3::VirtualKey::Tab)
        return true;
    const bool surrogate = Base::IsSurrogate(key.Char);
    return key.VirtualKey == 0 && key.Char >= 0x80 && !surrogate;
}

std::string KeyName(const KeyPress& key)
{
    std::string prefix;
    if (key.Ctrl())
        prefix += "Ctrl+";
    if (key.Alt())
        prefix += "Alt+";
    if (key.Ctrl() || key.Alt() || !key.Char || key.Char < u' ') {
        if (key.Shift())
            prefix = "Shift+" + prefix;
        for (const NamedKey& named : NamedKeys)
            if (named.VirtualKey != 0 && named.VirtualKey == key.VirtualKey)
                return "<" + prefix + named.Name + ">";
        if (key.VirtualKey >= Vk::F1 && key.VirtualKey < Vk::F1 + 12)
            return "<" + prefix + "F" + std::to_string(key.VirtualKey - Vk::F1 + 1) + ">";
        if (key.VirtualKey >= '0' && key.VirtualKey <= 'Z')
            return "<" + prefix + static_cast<char>(key.VirtualKey) + ">";
        if (key.VirtualKey == 0 && key.Char >= 0x80)
            return "<" + prefix + Utf16ToUtf8(std::u16string(1, key.Char)) + ">";
        return "<" + prefix + "?" + std::to_string(key.VirtualKey) + ">";
    }
    if (key.Char == u'<')
        return "<lt>";
    return Utf16ToUtf8(std::u16string(1, key.Char));
}

char16_t AltHotkeyCharacter(const KeyPress& key)
{
    if ((key.VirtualKey >= 'A' && key.VirtualKey <= 'Z') || (key.VirtualKey >= '0' && key.VirtualKey <= '9'))
        return static_cast<char16_t>(key.VirtualKey);
    return UnicodeUpper(key.Char);
}

} // namespace Host
