#pragma once
// Key and character codes in the classic numbering the keyboard handlers work in: a key press
// reports a virtual-key code, a typed character its character code. Named once here so that the
// widget, which translates Qt's keys, and the completion, which acts on them, agree.

namespace scrivlet::html::keys {

// Virtual keys.
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Alt = 18;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int F1 = 112; // F2 .. F24 follow in order

// Typed characters.
inline constexpr int LessThan = 60;    // "<"
inline constexpr int GreaterThan = 62; // ">"

} // namespace scrivlet::html::keys
