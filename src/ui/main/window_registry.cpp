#include "ui/main/window_registry.h"

namespace ui {
namespace {

// The re-entry flag of UnloadAllForms: set while one run of it is closing windows.
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
    // By the time destroyed() is emitted the QPointer has already turned null.
    connect(window, &QObject::destroyed, this, [this] {
        const qsizetype dropped =
            m_windows.removeIf([](const QPointer<QWidget>& w) { return w.isNull(); });
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
    if (removed > 0 && m_windows.isEmpty())
        emit lastWindowUnloaded();
}

bool WindowRegistry::contains(const QWidget* window) const {
    for (const QPointer<QWidget>& w : m_windows) {
        if (w == window)
            return true;
    }
    return false;
}

bool isUnloadingAllForms() {
    return g_unloading;
}

void UnloadAllForms() {
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
