// The executable `tarnwick`: installs the real platform services and runs the start-up
// sequence in the hidden start-up window, which hands over to the main window.
#include <QApplication>
#include <QMainWindow>
#include <QPointer>

#include "app/frm_initial.h"
#include "app/globals.h"
#include "platform/services.h"

namespace {

// The start-up sequence's last step: show the main window, modeless.
// Placeholder until frmToDo exists: an empty window titled like the main window.
void showMainWindow() {
    auto* window = new QMainWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QStringLiteral("frmToDo"));
    window->setWindowTitle(QStringLiteral("Tarnwick - ") + app::CurrentDatabasePath);
    window->show();
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

    QPointer<frmInitial> initial = new frmInitial;
    if (!initial->load(showMainWindow)) {
        closeAllWindows(initial);
        return 0;
    }
    const int status = application.exec();
    delete initial.data();
    return status;
}
