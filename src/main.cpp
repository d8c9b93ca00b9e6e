// The executable `tarnwick`: installs the real platform services and runs the start-up
// sequence in the hidden start-up window, which hands over to the main window.
#include <QApplication>
#include <QPointer>

#include "app/frm_initial.h"
#include "platform/services.h"
#include "ui/common/window_registry.h"
#include "ui/main/frm_todo.h"
#include "ui/main/window_openers.h"

namespace {

// The start-up sequence's last step: show the main window, modeless.
void showMainWindow() {
    frmToDo::showWindow();
}

// Closes every window still open, the start-up window last. Used when the start-up sequence
// ends the program.
void closeAllWindows(QPointer<frmInitial>& initial) {
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != initial.data())
            windows.append(window);
    }
    for (const QPointer<QWidget>& window : windows)
        delete window.data(); // null when deleting an earlier one took it along
    delete initial.data();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    platform::installQtServices();
    ui::installWindowOpeners();
    // The program ends when UnloadAllForms has closed its last window, frmInitial included.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&ui::WindowRegistry::instance(), &ui::WindowRegistry::lastWindowUnloaded,
                     &application, &QCoreApplication::quit);

    QPointer<frmInitial> initial = new frmInitial;
    ui::WindowRegistry::instance().add(initial);
    if (!initial->load(showMainWindow)) {
        closeAllWindows(initial);
        return 0;
    }
    const int status = application.exec();
    delete initial.data();
    return status;
}
