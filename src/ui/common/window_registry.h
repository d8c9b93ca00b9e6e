// The program's loaded windows in loading order, and closeAllWindows, which closes them all.
//
// A window is "loaded" from the moment it is registered until it is closed through
// closeAllWindows or destroyed. The main window is registered first, so it is at position 0
// and is closed last.
//
// Every window of ours registers here when it is created. Besides closeAllWindows, that gives
// the main window its cue to return to its saved position: windowClosed() is emitted whenever
// a registered window is closed or hidden by the program (not when the user minimises it), and
// the main window restores its position as the focus comes back to it.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QWindow;

namespace ui {

class WindowRegistry : public QObject {
    Q_OBJECT
public:
    static WindowRegistry& instance();

    /// Appends `window` as the most recently loaded window; a window already registered keeps
    /// its position. The entry goes away by itself when the window is destroyed.
    void add(QWidget* window);
    /// Forgets `window`. When it was the last loaded window, lastWindowUnloaded() follows.
    void remove(QWidget* window);

    int count() const { return static_cast<int>(m_windows.size()); }
    /// The window at `position` (0 = loaded first).
    QWidget* at(int position) const { return m_windows.at(position); }
    bool contains(const QWidget* window) const;
    /// The main window, once it has registered itself as such; null before and after.
    QWidget* mainWindow() const { return m_main; }
    void setMainWindow(QWidget* window) { m_main = window; }

    /// The registered window that `window` belongs to (its own, or one of its popups'), or null.
    QWidget* windowOf(const QWindow* window) const;

signals:
    /// `window`, a registered window, was closed or hidden by the program.
    void windowClosed(QWidget* window);
    /// No loaded window is left: the program ends (main() connects this to quitting).
    void lastWindowUnloaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowRegistry() = default;
    QList<QPointer<QWidget>> m_windows;
    QPointer<QWidget> m_main;
};

/// The loaded main window, or null.
inline QWidget* mainWindow() {
    return WindowRegistry::instance().mainWindow();
}

/// Closes every loaded window, the most recently loaded first and the main window last. Each
/// close goes through the window's close event, so closing the main window runs Exit. A window
/// that refuses to close stays loaded.
///
/// A call made while another one is running returns at once: Exit calls this routine, and
/// closing the main window runs Exit again.
void closeAllWindows();

/// True while closeAllWindows is closing windows.
bool isClosingAllWindows();

} // namespace ui
