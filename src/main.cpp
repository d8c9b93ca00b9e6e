// The executable `tarnwick`: installs the real platform services, makes the session and runs
// the start-up sequence, which hands over to the main window.
#include <QApplication>
#include <QPointer>

#include <cstdio>
#include <cstring>

#include "app/database_steps.h"
#include "app/session.h"
#include "app/startup.h"
#include "platform/services.h"
#include "ui/common/window_registry.h"
#include "ui/main/main_window.h"
#include "ui/main/window_openers.h"

namespace {

// Whether Qt has somewhere to show the windows: an X or Wayland display, or a platform chosen
// explicitly (offscreen for tests, by the environment or Qt's -platform option). Without one
// Qt aborts with a message about plugins.
bool hasDisplay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0)
            return true;
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Deletes every window still there: when the start-up sequence ends the program, and at the
// end, before the session the windows were made over goes.
void deleteAllWindows() {
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        windows.append(window);
    for (const QPointer<QWidget>& window : windows)
        delete window.data(); // null when deleting an earlier one took it along
}

} // namespace

int main(int argc, char** argv) {
    if (!hasDisplay(argc, argv)) {
        std::fputs("tarnwick: there is no display to show the window on (DISPLAY and "
                   "WAYLAND_DISPLAY are not set).\n"
                   "Start it from a terminal of your desktop, or on a virtual X display:\n"
                   "    xvfb-run -a tarnwick\n",
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    // The launcher entry's name, by which the desktop matches the windows to its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TARNWICK_APP_ID));
    platform::installQtServices();
    app::installBackups();
    app::Session session;
    ui::installWindowOpeners(session);
    // The program ends when closeAllWindows has closed its last window.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&ui::WindowRegistry::instance(), &ui::WindowRegistry::lastWindowUnloaded,
                     &application, &QCoreApplication::quit);

    if (!app::StartUp(session, [&session] { ui::MainWindow::showWindow(session); })) {
        deleteAllWindows();
        return 0;
    }
    const int status = application.exec();
    deleteAllWindows();
    return status;
}
