// The entry of the module `tarnwick_browser.so` (see browser_window.h). Exceptions leave it as
// they leave BrowserWindow::showWindow, to the command that asked for the window.
#include <QOpenGLContext>
#include <QQuickWindow>

#include "ui/help/browser.h"

extern "C" Q_DECL_EXPORT void tarnwick_show_browser(app::Session& session) {
    // Where the shared OpenGL context could not be created (browser_window.cpp), QtWebEngine
    // composites its pages in software, and the scene its view draws through must be drawn in
    // software too.
    static const bool checked = [] {
        const QOpenGLContext* shared = QOpenGLContext::globalShareContext();
        if (!shared || !shared->isValid())
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        return true;
    }();
    (void)checked;
    ui::BrowserWindow::showWindow(session);
}
