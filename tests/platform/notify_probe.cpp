// Runs DBusNotifications::notify(SUMMARY, BODY) once, on the session bus of its environment,
// and prints "shown" or "not shown" and the milliseconds the call took: "not shown 3".
#include "platform/notifications.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: notify_probe SUMMARY BODY\n");
        return 2;
    }
    platform::DBusNotifications notifications;
    QElapsedTimer timer;
    timer.start();
    const QStringList arguments = application.arguments();
    const bool shown = notifications.notify(arguments[1], arguments[2]);
    std::printf("%s %lld\n", shown ? "shown" : "not shown",
                static_cast<long long>(timer.elapsed()));
    return 0;
}
