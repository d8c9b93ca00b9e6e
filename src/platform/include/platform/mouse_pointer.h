// The program-wide mouse pointer: busy (hourglass) or normal.
#pragma once

namespace platform {

class MousePointer {
public:
    virtual ~MousePointer() = default;
    /// Shows the busy pointer over all windows of the program. Setting it twice is the same
    /// as setting it once.
    virtual void setBusy() = 0;
    /// Shows the normal pointer again; harmless when the pointer is not busy.
    virtual void setNormal() = 0;
    virtual bool isBusy() const = 0;
};

/// QGuiApplication's override cursor. At most one override of its own is on the stack, so one
/// setNormal() always undoes any number of setBusy() calls.
class QtMousePointer final : public MousePointer {
public:
    ~QtMousePointer() override;
    void setBusy() override;
    void setNormal() override;
    bool isBusy() const override { return m_busy; }

private:
    bool m_busy = false;
};

/// Sets the busy pointer for its lifetime: the normal pointer comes back on every path out of
/// the scope, including exceptions. Calling setNormal() early is allowed.
class BusyPointer {
public:
    explicit BusyPointer(MousePointer& pointer) : m_pointer(pointer) { m_pointer.setBusy(); }
    ~BusyPointer() { m_pointer.setNormal(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    MousePointer& m_pointer;
};

} // namespace platform
