#include "platform/notifications.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QStringList>
#include <QVariantMap>

namespace platform {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// One blocking call that waits no longer than what is left of `deadline`. The service is never
// started for the call: a desktop without a running one shows nothing.
QDBusMessage call(const QDBusConnection& bus, QDBusMessage message,
                  const QDeadlineTimer& deadline) {
    const qint64 left = deadline.remainingTime();
    if (left <= 0)
        return message.createErrorReply(QDBusError::NoReply, QStringLiteral("No time left."));
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, static_cast<int>(left));
}

bool isReply(const QDBusMessage& message) {
    return message.type() == QDBusMessage::ReplyMessage;
}

bool timedOut(const QDBusMessage& message) {
    const QDBusError error(message);
    return error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout;
}

bool hasOwner(const QDBusConnection& bus, const QDeadlineTimer& deadline) {
    QDBusMessage question = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    question.setArguments({kService});
    const QDBusMessage answer = call(bus, question, deadline);
    return isReply(answer) && answer.arguments().value(0).toBool();
}

} // namespace

DBusNotifications::DBusNotifications() : DBusNotifications(Options{}) {}

DBusNotifications::DBusNotifications(Options options) : m_options(std::move(options)) {
    if (m_options.appId.isNull())
        m_options.appId = QStringLiteral(TARNWICK_APP_ID);
}

bool DBusNotifications::notify(const QString& summary, const QString& body) {
    try {
        const QDeadlineTimer deadline(m_options.budgetMs);
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !hasOwner(bus, deadline))
            return false;

        // A service that does not answer this in time is not asked to show anything; one that
        // answers with an error gets plain text.
        const QDBusMessage capabilities =
            call(bus,
                 QDBusMessage::createMethodCall(kService, kPath, kService,
                                                QStringLiteral("GetCapabilities")),
                 deadline);
        if (timedOut(capabilities))
            return false;
        // Servers that announce "body-markup" read the body as a small subset of HTML, in which
        // a bare '&' or '<' is malformed (some then show nothing of the body); the summary is
        // never markup.
        const bool markup =
            isReply(capabilities) && capabilities.arguments().value(0).toStringList().contains(
                                         QStringLiteral("body-markup"));

        QVariantMap hints;
        if (!m_options.appId.isEmpty())
            hints.insert(QStringLiteral("desktop-entry"), m_options.appId);
        QDBusMessage notification =
            QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
        notification.setArguments({m_options.appName, QVariant::fromValue(0u), m_options.appId,
                                   summary, markup ? body.toHtmlEscaped() : body, QStringList(),
                                   hints, m_options.expireMs});
        return isReply(call(bus, notification, deadline));
    } catch (...) {
        return false;
    }
}

} // namespace platform
