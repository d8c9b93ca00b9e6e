// A desktop notification service for the tests: owns org.freedesktop.Notifications on the
// session bus of its environment and writes each Notify call it receives to standard output as
// one line of JSON (app, replaces, icon, summary, body, actions, hints, expire). It writes
// "ready" once it owns the name, and runs until it is ended.
//
//   notification_standin [--capabilities body,body-markup] [--delay-ms N] [--fail]
//
// --capabilities: what GetCapabilities answers (default "body"); --delay-ms: Notify answers
// after N milliseconds; --fail: Notify answers with an error.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <cstdio>

namespace {

void writeLine(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class StandIn : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    StandIn(QStringList capabilities, int delayMs, bool fail)
        : m_capabilities(std::move(capabilities)), m_delayMs(delayMs), m_fail(fail) {}

public slots:
    QStringList GetCapabilities() { return m_capabilities; }

    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout) {
        writeLine(QJsonDocument(QJsonObject{{"app", appName},
                                            {"replaces", qint64(replacesId)},
                                            {"icon", appIcon},
                                            {"summary", summary},
                                            {"body", body},
                                            {"actions", QJsonArray::fromStringList(actions)},
                                            {"hints", QJsonObject::fromVariantMap(hints)},
                                            {"expire", expireTimeout}})
                      .toJson(QJsonDocument::Compact));
        ++m_lastId;
        if (m_fail) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("The stand-in refuses."));
            return 0;
        }
        if (m_delayMs > 0) {
            setDelayedReply(true);
            QTimer::singleShot(
                m_delayMs, this,
                [bus = connection(), reply = message().createReply(m_lastId)] { bus.send(reply); });
            return 0;
        }
        return m_lastId;
    }

private:
    QStringList m_capabilities;
    int m_delayMs;
    bool m_fail;
    uint m_lastId = 0;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QStringList capabilities{QStringLiteral("body")};
    int delayMs = 0;
    bool fail = false;
    const QStringList arguments = application.arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--capabilities" && i + 1 < arguments.size())
            capabilities = arguments[++i].split(u',');
        else if (arguments[i] == "--delay-ms" && i + 1 < arguments.size())
            delayMs = arguments[++i].toInt();
        else if (arguments[i] == "--fail")
            fail = true;
        else {
            std::fprintf(stderr, "notification_standin: unknown argument %s\n",
                         qPrintable(arguments[i]));
            return 2;
        }
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    StandIn standIn(capabilities, delayMs, fail);
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &standIn,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        std::fprintf(stderr, "notification_standin: cannot own the name: %s\n",
                     qPrintable(bus.lastError().message()));
        return 2;
    }
    writeLine("ready");
    return application.exec();
}

#include "notification_standin.moc"
