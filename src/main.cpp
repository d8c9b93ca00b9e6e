// The executable `tarnwick`: installs the real platform services and starts the program.
#include <QApplication>
#include <QMainWindow>

#include "platform/services.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::installQtServices();
    QMainWindow window;
    window.setWindowTitle("Tarnwick");
    window.show();
    return app.exec();
}
