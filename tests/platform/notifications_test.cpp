// Desktop notifications over D-Bus, against a notification service stand-in on the session bus of
// the test's own that private_bus.sh starts around it. The stand-in lives in this process on a
// connection of its own; each call runs in a process of its own (this program with --notify), since
// the session bus a process uses is fixed at its first use. The one service the bus could start
// only leaves a file behind (`activated`): a service that is not running must not be started.
#include <gtest/gtest.h>

#include "platform/notifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

// The longest DBusNotifications waits for the bus and the service, and what a loaded machine may
// add to it before a call counts as blocking the start.
const qint64 kBudgetMs = platform::DBusNotifications::Options{}.budgetMs;
constexpr qint64 kSlackMs = 1000;
constexpr int kProcessWaitMs = 15000;

// The bus's address and its folder, from private_bus.sh.
const QString busAddress = qEnvironmentVariable("PRIVATE_BUS");
const QString busFolder = qEnvironmentVariable("PRIVATE_BUS_DIR");

// The notification service on the test's bus while it exists, recording each Notify call. It
// answers with an id, with an error, or never.
class StandIn : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    enum class Reply { Id, Error, None };
    struct Call {
        QString app, icon, summary, body, desktopEntry;
        uint replaces;
        QStringList actions;
        int expireMs;
    };

    StandIn(QStringList capabilities, Reply reply)
        : m_capabilities(std::move(capabilities)), m_reply(reply) {
        ready = m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                     QDBusConnection::ExportAllSlots) &&
                m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    ~StandIn() override {
        m_bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        m_bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        QDBusConnection::disconnectFromBus(m_bus.name());
    }

    bool ready = false;
    QList<Call> calls;

public slots:
    QStringList GetCapabilities() { return m_capabilities; }
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int expireMs) {
        calls.append({app, icon, summary, body, hints.value("desktop-entry").toString(), replaces,
                      actions, expireMs});
        if (m_reply == Reply::Error)
            sendErrorReply(QDBusError::Failed, QStringLiteral("The stand-in refuses."));
        else if (m_reply == Reply::None)
            setDelayedReply(true); // and never answers
        return 1;
    }

private:
    QDBusConnection m_bus = QDBusConnection::connectToBus(busAddress, QStringLiteral("stand-in"));
    QStringList m_capabilities;
    Reply m_reply;
};

struct Outcome {
    bool ran = false; // the probe ended normally, with status 0 and its line
    bool shown = false;
    qint64 ms = -1; // how long notify() took
};

// Runs one call in a process of its own on the bus at `address`; this process's stand-in answers
// while it waits.
Outcome probe(const QString& address, const QString& summary, const QString& body) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    environment.remove(QStringLiteral("DBUS_STARTER_ADDRESS"));
    environment.remove(QStringLiteral("DBUS_STARTER_BUS_TYPE"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kProcessWaitMs, &loop, &QEventLoop::quit);
    process.start(QCoreApplication::applicationFilePath(), {"--notify", summary, body});
    loop.exec();
    Outcome outcome;
    if (process.state() != QProcess::NotRunning || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return outcome;
    const QString line = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    const qsizetype blank = line.lastIndexOf(u' ');
    outcome.ran = blank > 0;
    outcome.shown = line.left(blank) == QLatin1String("shown");
    outcome.ms = line.mid(blank + 1).toLongLong();
    return outcome;
}

// Without a bus or a service, or with a service that fails or never answers, nothing is shown
// within the budget; a service that answers gets the program's name and icon, and the body
// escaped where it reads markup.
TEST(DBusNotifications, AreSentToTheServiceOrShowNothingWithinTheBudget) {
    using Reply = StandIn::Reply;
    const QString summary = QStringLiteral("2 items are overdue and 1 item is due today");
    const QString body = QStringLiteral("Overdue: Smith & Jones – Reply to <objection>\n"
                                        "Overdue: Brown – Call\nDue today: Acme – File");
    const struct {
        const char* name;
        QString address;
        std::optional<Reply> service; // nothing: no stand-in
        QStringList capabilities;
        QString received; // the body the service receives when it shows the notice
    } cases[] = {
        {"no bus at all", "unix:path=" + busFolder + "/no-bus", {}, {}, {}},
        {"an address that is no address", QStringLiteral("nonsense"), {}, {}, {}},
        {"a bus without the service", busAddress, {}, {}, {}},
        {"plain text", busAddress, Reply::Id, {QStringLiteral("body")}, body},
        {"markup escaped",
         busAddress,
         Reply::Id,
         {QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("body-markup")},
         QStringLiteral("Overdue: Smith &amp; Jones – Reply to &lt;objection&gt;\n"
                        "Overdue: Brown – Call\nDue today: Acme – File")},
        {"error reply", busAddress, Reply::Error, {QStringLiteral("body")}, {}},
        {"no reply", busAddress, Reply::None, {QStringLiteral("body")}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<StandIn> standIn;
        if (c.service) {
            standIn.emplace(c.capabilities, *c.service);
            ASSERT_TRUE(standIn->ready);
        }
        const bool shows = c.service == Reply::Id;
        const Outcome outcome = probe(c.address, summary, body);
        EXPECT_TRUE(outcome.ran);
        EXPECT_EQ(outcome.shown, shows);
        if (!shows) {
            EXPECT_LT(outcome.ms, kBudgetMs + (c.service ? kSlackMs : 0));
        }
        if (!standIn)
            continue;
        ASSERT_EQ(standIn->calls.size(), 1);
        const StandIn::Call& call = standIn->calls[0];
        if (!shows)
            continue;
        EXPECT_EQ(call.app, QStringLiteral("Tarnwick"));
        EXPECT_EQ(call.icon, QStringLiteral(TARNWICK_APP_ID));
        EXPECT_EQ(call.desktopEntry, QStringLiteral(TARNWICK_APP_ID));
        EXPECT_EQ(call.summary, summary);
        EXPECT_EQ(call.body, c.received);
        EXPECT_EQ(call.replaces, 0u);
        EXPECT_TRUE(call.actions.isEmpty());
        EXPECT_GT(call.expireMs, 0);
    }
    EXPECT_FALSE(QFile::exists(busFolder + "/activated")) << "the service was started";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (const QStringList arguments = application.arguments(); arguments.value(1) == "--notify") {
        // One call on the session bus of the environment: "shown" or "not shown" and its time.
        QElapsedTimer timer;
        timer.start();
        const bool shown = platform::DBusNotifications().notify(arguments[2], arguments[3]);
        std::printf("%s %lld\n", shown ? "shown" : "not shown", qint64(timer.elapsed()));
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (busAddress.isEmpty()) {
        std::printf("Skipped: runs under tests/platform/private_bus.sh\n");
        return 77;
    }
    return RUN_ALL_TESTS();
}

#include "notifications_test.moc"
