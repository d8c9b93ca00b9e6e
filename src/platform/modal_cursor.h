// Helpers shared by the dialogs of the platform layer.
#pragma once

class QWidget;

namespace platform {

/// The window a modal dialog should belong to: the active window of the program, if any.
QWidget* dialogParent();

/// For the lifetime of the object, shows the normal arrow when an override cursor (the busy
/// pointer) is set, so a modal dialog is not covered by the hourglass. Pushes and pops one
/// override of its own, leaving the override stack as it found it.
class ArrowCursorWhileModal {
public:
    ArrowCursorWhileModal();
    ~ArrowCursorWhileModal();
    ArrowCursorWhileModal(const ArrowCursorWhileModal&) = delete;
    ArrowCursorWhileModal& operator=(const ArrowCursorWhileModal&) = delete;

private:
    bool m_pushed = false;
};

} // namespace platform
