// Desktop notifications: a short message the desktop shows outside the program's windows.
#pragma once

#include <QString>

namespace platform {

class Notifications {
public:
    virtual ~Notifications() = default;

    /// Asks the desktop to show `summary` (one line) with `body` (lines separated by '\n'),
    /// both plain text. Returns whether the desktop took the notification. Never throws: a
    /// desktop without a notification service, or one that fails or is slow, shows nothing.
    virtual bool notify(const QString& summary, const QString& body) = 0;
};

/// The freedesktop.org notification service, org.freedesktop.Notifications on the session bus.
/// Only a service that is running is used; none is started for the call. Every call to the bus
/// is synchronous with a timeout, and all of them together wait at most `Options::budgetMs`
/// (the connection to the session bus itself is Qt's shared one, opened on first use). Needs a
/// QCoreApplication.
class DBusNotifications final : public Notifications {
public:
    struct Options {
        QString appName = QStringLiteral("Tarnwick");
        /// Icon name of the desktop's icon theme, also the launcher entry's name without
        /// ".desktop" (hint "desktop-entry"), so the desktop shows the program's icon and name.
        QString appId;
        /// How long the notification stays up, in milliseconds.
        int expireMs = 10000;
        /// The longest wait for the bus and the service, in milliseconds, for all calls together.
        int budgetMs = 1000;
    };

    /// `Options::appId` defaults to the program's application id (TARNWICK_APP_ID).
    DBusNotifications();
    explicit DBusNotifications(Options options);

    bool notify(const QString& summary, const QString& body) override;

private:
    Options m_options;
};

} // namespace platform
