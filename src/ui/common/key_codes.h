// The key codes the windows' key rules are written in, from Qt's key events.
//
// A window's rules speak of two codes, as the Windows keyboard messages do:
// - the virtual-key code of a key going down (46 Delete, 114 F3, 65 to 90 the letters, ...):
//   which key it is, whatever character it types;
// - the character code of a character typed (13 Enter, 27 Escape, 97 "a", 46 "." ...).
// Qt's own key codes are neither: Qt::Key_Period is 0x2E, the virtual-key code of Delete. The
// windows therefore never compare Qt key codes with these numbers; they translate here.
//
// Translation choices:
// - Keys of the main block that type punctuation take the codes of a US keyboard's keys
//   ("." and ">" are 190, "1" and "!" are 49); a printable character never gives 46.
// - Keypad keys with Num Lock on give the keypad codes (96 to 105 the digits, 106 "*", 107 "+",
//   109 "-", 110 the decimal key, 111 "/"); with Num Lock off they are the navigation keys
//   they stand for, so the keypad's Del is 46 like Delete.
// - A key the table does not know (letters with accents, media keys) gives 0: no rule acts on
//   it.
// - Character codes: the typed character's Unicode code for printable characters, and 8, 9, 13
//   and 27 for Backspace, Tab, Enter (both Enter keys) and Escape. Control combinations such as
//   Ctrl+M type no character here (0), so they never pass for Enter.
#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

namespace ui::keys {

// Virtual-key codes the windows act on.
inline constexpr int kDelete = 46;
inline constexpr int kF3 = 114;

// Character codes the windows act on.
inline constexpr int kEnterChar = 13;
inline constexpr int kEscapeChar = 27;

/// Enter and Escape, the two characters the windows' key rules act on, told from the rest.
enum class Typed { Other, Enter, Escape };
inline Typed typed(int charCode) {
    return charCode == kEnterChar    ? Typed::Enter
           : charCode == kEscapeChar ? Typed::Escape
                                     : Typed::Other;
}

/// The virtual-key code of the key in `event`, 0 for a key without one.
int virtualKeyCode(const QKeyEvent& event);

/// The character code `event` types, 0 when it types none.
int characterCode(const QKeyEvent& event);

/// Calls `rule` with the virtual-key and character codes of every key pressed in `control`
/// before the control acts on it; when `rule` returns true the key is the window's, and the
/// control does not see it. The rule lives as long as the control.
void watch(QWidget& control, std::function<bool(int keyCode, int charCode)> rule);

} // namespace ui::keys
