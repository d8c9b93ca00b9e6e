// Opening the browser window, whose code lives in a module loaded on first use.
//
// The browser window is built on QtWebEngine. A process that links QtWebEngine sets up, as
// the application object is made, an OpenGL context shared with the web pages, and the
// library's own start-up touches some 20 MiB: on a desktop without a graphics driver (or under
// Xvfb) the software renderer alone brings in some 50 MiB more. A to-do list that is never
// asked to show a web page should not carry that, so the program links none of it: the window
// is compiled into the module `tarnwick_browser.so`, loaded the first time the window is asked
// for. The module takes every symbol it needs from the running executable, which exports
// them. Loaded after the application object, QtWebEngine runs without the shared context: its
// pages are composited in software, which shows help and web pages as well.
//
// Executables that link the window in (tests) say so with linkBrowserWindow() and load no
// module.
#pragma once

namespace app {
class Session;
}

namespace ui {

/// Shows the browser window (BrowserWindow::showWindow) over `session`. Loads the module first
/// when the window is not linked in; throws platform::Error naming the module when it cannot be
/// loaded.
void showBrowserWindow(app::Session& session);

/// Makes showBrowserWindow() call `show` instead of loading the module.
void linkBrowserWindow(void (*show)(app::Session&));

} // namespace ui
