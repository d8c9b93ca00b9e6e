#include "ui/common/key_codes.h"

#include <QKeyEvent>
#include <QWidget>

namespace ui::keys {
namespace {

// The virtual-key code of a key of the main block that types the ASCII character `key`, as on
// a US keyboard; 0 for none.
int codeOfAsciiKey(int key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || key == ' ')
        return key;
    switch (key) {
    case ')':
        return '0';
    case '!':
        return '1';
    case '@':
        return '2';
    case '#':
        return '3';
    case '$':
        return '4';
    case '%':
        return '5';
    case '^':
        return '6';
    case '&':
        return '7';
    case '*':
        return '8';
    case '(':
        return '9';
    case ';':
    case ':':
        return 186;
    case '=':
    case '+':
        return 187;
    case ',':
    case '<':
        return 188;
    case '-':
    case '_':
        return 189;
    case '.':
    case '>':
        return 190;
    case '/':
    case '?':
        return 191;
    case '`':
    case '~':
        return 192;
    case '[':
    case '{':
        return 219;
    case '\\':
    case '|':
        return 220;
    case ']':
    case '}':
        return 221;
    case '\'':
    case '"':
        return 222;
    default:
        return 0;
    }
}

// Hands the keys pressed in the control it watches to a window's rule.
class KeyRule final : public QObject {
public:
    KeyRule(QWidget& control, std::function<bool(int, int)> rule)
        : QObject(&control), m_rule(std::move(rule)) {
        control.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        return m_rule(virtualKeyCode(key), characterCode(key));
    }

private:
    std::function<bool(int, int)> m_rule;
};

// Keys that only the keypad has, or that have a code of their own there (Num Lock on); 0 for a
// key whose code is the same as off the keypad.
int codeOfKeypadKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 96 + (key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return 107;
    case Qt::Key_Minus:
        return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: // the decimal key of keyboards whose decimal sign is a comma
        return 110;
    case Qt::Key_Slash:
        return 111;
    default:
        return 0;
    }
}

int codeOfSpecialKey(int key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Print:
        return 44;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return kDelete;
    case Qt::Key_Help:
        return 47;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
        return 91;
    case Qt::Key_Super_R:
        return 92;
    case Qt::Key_Menu:
        return 93;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    default:
        return 0;
    }
}

} // namespace

int virtualKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    if (event.modifiers().testFlag(Qt::KeypadModifier)) {
        if (const int code = codeOfKeypadKey(key))
            return code;
    }
    if (key >= 0x20 && key <= 0x7e)
        return codeOfAsciiKey(key);
    return codeOfSpecialKey(key);
}

int characterCode(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnterChar;
    case Qt::Key_Escape:
        return kEscapeChar;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    default:
        break;
    }
    const QList<uint> characters = event.text().toUcs4();
    if (characters.size() != 1)
        return 0;
    const uint character = characters.first();
    // Control characters (C0, DEL and C1) are typed by control combinations, not as text.
    if (character < 0x20 || (character >= 0x7f && character < 0xa0))
        return 0;
    return static_cast<int>(character);
}

void watch(QWidget& control, std::function<bool(int keyCode, int charCode)> rule) {
    new KeyRule(control, std::move(rule));
}

} // namespace ui::keys
