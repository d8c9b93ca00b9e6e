// Every window of the program exists at most once: showing it brings the open one forward, or
// creates it afresh when it has been closed. The open one is the one loaded in
// ui::WindowRegistry, so a window keeps no instance pointer of its own.
//
//     AboutBox* AboutBox::showWindow() {
//         return ui::showModeless<AboutBox>([] { return new AboutBox; });
//     }
//
// `make` is the window's constructor (which runs its load step and gives its first control the
// focus); a constructor that throws leaves nothing loaded, and the caller's trap reports or
// ignores the error. A window made here has its controls named for assistive technology
// (ui/common/accessibility.h) before it is shown.
#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/common/accessibility.h"
#include "ui/common/window_registry.h"

namespace ui {

/// The loaded window of class T, or nullptr.
template <typename T> T* findWindow() {
    WindowRegistry& registry = WindowRegistry::instance();
    for (int i = 0; i < registry.count(); ++i) {
        if (T* window = qobject_cast<T*>(registry.at(i)))
            return window;
    }
    return nullptr;
}

/// Shows `window`, raises it above the others and makes it the active window.
inline void bringForward(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

/// Shows the window of class T modeless: brings the open one forward, or makes one, loads it
/// (as the most recently loaded window) and shows it.
template <typename T, typename Make> T* showModeless(Make&& make) {
    if (T* open = findWindow<T>()) {
        bringForward(*open);
        return open;
    }
    T* window = make();
    nameControls(*window);
    WindowRegistry::instance().add(window);
    window->show();
    return window;
}

/// Shows the dialog of class T modal: makes one, loads it, runs it until it closes and destroys
/// it. Closing it hides it, which WindowRegistry reports (windowClosed). An open one is only
/// brought forward.
template <typename T, typename Make> void showModal(Make&& make) {
    if (T* open = findWindow<T>()) {
        bringForward(*open);
        return;
    }
    QPointer<T> window = make();
    nameControls(*window);
    WindowRegistry::instance().add(window);
    window->exec();
    delete window.data(); // null when the dialog deleted itself on closing
}

} // namespace ui
