// Keyboard and mouse input as Far Manager 3 delivers it in an INPUT_RECORD:
// Windows' virtual-key codes, control-key state bits, mouse buttons and
// mouse event flags. The names differ from
// <windows.h>'s VK_* and *_PRESSED macros, so this header compiles whichever
// is included first.
#pragma once

#include <cstdint>

namespace Far3 {

namespace VirtualKey {
inline constexpr uint16_t Back = 0x08;
inline constexpr uint16_t Tab = 0x09;
inline constexpr uint16_t Return = 0x0D;
inline constexpr uint16_t Shift = 0x10;
inline constexpr uint16_t Control = 0x11;
inline constexpr uint16_t Menu = 0x12;
inline constexpr uint16_t Escape = 0x1B;
inline constexpr uint16_t Space = 0x20;
inline constexpr uint16_t Prior = 0x21;
inline constexpr uint16_t Next = 0x22;
inline constexpr uint16_t End = 0x23;
inline constexpr uint16_t Home = 0x24;
inline constexpr uint16_t Left = 0x25;
inline constexpr uint16_t Up = 0x26;
inline constexpr uint16_t Right = 0x27;
inline constexpr uint16_t Down = 0x28;
inline constexpr uint16_t Insert = 0x2D;
inline constexpr uint16_t Delete = 0x2E;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
inline constexpr uint16_t Add = 0x6B;
inline constexpr uint16_t Multiply = 0x6A;
inline constexpr uint16_t Subtract = 0x6D;
inline constexpr uint16_t F1 = 0x70;
inline constexpr uint16_t F3 = 0x72;
inline constexpr uint16_t F10 = 0x79;
inline constexpr uint16_t Cancel = 0x03; // Ctrl+Break
inline constexpr uint16_t OpenBracket = 0xDB;  // '[' on a US keyboard
inline constexpr uint16_t CloseBracket = 0xDD; // ']' on a US keyboard
} // namespace VirtualKey

namespace ControlKey {
inline constexpr uint32_t RightAlt = 0x1;
inline constexpr uint32_t LeftAlt = 0x2;
inline constexpr uint32_t RightCtrl = 0x4;
inline constexpr uint32_t LeftCtrl = 0x8;
inline constexpr uint32_t Shift = 0x10;
inline constexpr uint32_t NumLock = 0x20;
inline constexpr uint32_t ScrollLock = 0x40;
inline constexpr uint32_t CapsLock = 0x80;
inline constexpr uint32_t Enhanced = 0x100;

inline constexpr uint32_t AnyAlt = LeftAlt | RightAlt;
inline constexpr uint32_t AnyCtrl = LeftCtrl | RightCtrl;
} // namespace ControlKey

// MOUSE_EVENT_RECORD::dwButtonState: the buttons held down.
namespace MouseButton {
inline constexpr uint32_t Left = 0x1;
inline constexpr uint32_t Right = 0x2;
inline constexpr uint32_t Second = 0x4;
} // namespace MouseButton

// MOUSE_EVENT_RECORD::dwEventFlags; 0 is a button going down or up.
namespace MouseFlag {
inline constexpr uint32_t Moved = 0x1;
inline constexpr uint32_t DoubleClick = 0x2;
inline constexpr uint32_t Wheeled = 0x4;
inline constexpr uint32_t HWheeled = 0x8;
} // namespace MouseFlag

} // namespace Far3
