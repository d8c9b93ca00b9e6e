#include "ui/common/window_registry.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

namespace ui {
namespace {

// The re-entry flag of closeAllWindows: set while one run of it is closing windows.
bool g_unloading = false;

} // namespace

WindowRegistry& WindowRegistry::instance() {
    static WindowRegistry registry;
    return registry;
}

void WindowRegistry::add(QWidget* window) {
    if (window == nullptr || contains(window))
        return;
    m_windows.append(window);
    window->installEventFilter(this);
    // A widget emits destroyed() from its own destructor, while QPointers to it still hold
    // it; they turn null only afterwards. So the entry is matched by address as well.
    connect(window, &QObject::destroyed, this, [this](QObject* gone) {
        const qsizetype dropped = m_windows.removeIf([gone](const QPointer<QWidget>& w) {
            return w.isNull() || static_cast<QObject*>(w.data()) == gone;
        });
        if (dropped > 0 && m_windows.isEmpty())
            emit lastWindowUnloaded();
    });
}

void WindowRegistry::remove(QWidget* window) {
    if (window == nullptr)
        return;
    const qsizetype removed =
        m_windows.removeIf([window](const QPointer<QWidget>& w) { return w == window; });
    disconnect(window, &QObject::destroyed, this, nullptr);
    window->removeEventFilter(this);
    if (removed > 0 && m_windows.isEmpty())
        emit lastWindowUnloaded();
}

bool WindowRegistry::eventFilter(QObject* watched, QEvent* event) {
    // A hide the program asks for is not spontaneous; minimising by the user is.
    if (event->type() == QEvent::Hide && !event->spontaneous() && watched->isWidgetType())
        emit windowClosed(static_cast<QWidget*>(watched));
    return false;
}

bool WindowRegistry::contains(const QWidget* window) const {
    for (const QPointer<QWidget>& w : m_windows) {
        if (w == window)
            return true;
    }
    return false;
}

QWidget* WindowRegistry::windowOf(const QWindow* window) const {
    if (window == nullptr)
        return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() != window)
            continue;
        // A popup (a menu, the date picker's calendar) belongs to the window it drops from; a
        // message box or any other window is a window of its own.
        while (widget != nullptr && !contains(widget) && widget->windowType() == Qt::Popup)
            widget = widget->parentWidget() != nullptr ? widget->parentWidget()->window() : nullptr;
        return widget != nullptr && contains(widget) ? widget : nullptr;
    }
    return nullptr;
}

bool isClosingAllWindows() {
    return g_unloading;
}

void closeAllWindows() {
    if (g_unloading)
        return;
    g_unloading = true;
    WindowRegistry& registry = WindowRegistry::instance();
    for (int i = registry.count() - 1; i >= 0; --i) {
        // A window's close may have unloaded others already.
        if (i >= registry.count())
            continue;
        QPointer<QWidget> window = registry.at(i);
        if (window.isNull())
            continue;
        if (window->close())
            registry.remove(window);
    }
    g_unloading = false;
}

} // namespace ui
