// Desktop notifications over D-Bus, against a notification service stand-in on a session bus of
// the test's own: a dbus-daemon with a configuration of ours, so that a notification server
// installed on the machine can never answer in the stand-in's place. The stand-in lives in this
// process on a connection of its own; each call runs in a process of its own (notify_probe), since
// the session bus a process uses is fixed at its first use. The one service the bus could start
// only leaves a file behind (`activated`): a service that is not running must not be started.
// Without dbus-daemon the test is skipped (exit status 77).
#include <gtest/gtest.h>

#include "platform/notifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

// The longest DBusNotifications waits for the bus and the service, and what a loaded machine may
// add to it before a call counts as blocking the start.
const qint64 kBudgetMs = platform::DBusNotifications::Options{}.budgetMs;
constexpr qint64 kSlackMs = 1000;
constexpr int kProcessWaitMs = 15000;

QTemporaryDir* temporary = nullptr;
QString busAddress;

QString activatedFile() {
    return temporary->filePath(QStringLiteral("activated"));
}

// The notification service on the test's bus while it exists, recording each Notify call. It
// answers with an id, with an error, or never. (It comes before startBus(), whose raw string
// literal moc does not read past.)
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

// Starts a session bus of our own; returns why it could not, or an empty text.
QString startBus(QProcess& daemon) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty())
        return QStringLiteral("dbus-daemon is not installed (Debian package dbus-daemon)");
    const QString touch = QStandardPaths::findExecutable(QStringLiteral("touch"));
    QDir(temporary->path()).mkdir(QStringLiteral("services"));
    QFile service(
        temporary->filePath(QStringLiteral("services/org.freedesktop.Notifications.service")));
    if (touch.isEmpty() || !service.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write the bus's service file: ") + service.errorString();
    service.write(QStringLiteral("[D-BUS Service]\nName=org.freedesktop.Notifications\n"
                                 "Exec=%1 %2\n")
                      .arg(touch, activatedFile())
                      .toUtf8());
    service.close();

    QFile config(temporary->filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write the bus configuration: ") + config.errorString();
    config.write(QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <servicedir>%2</servicedir>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                     .arg(temporary->filePath(QStringLiteral("bus")),
                          temporary->filePath(QStringLiteral("services")))
                     .toUtf8());
    config.close();

    daemon.start(program, {QStringLiteral("--config-file=") + config.fileName(),
                           QStringLiteral("--print-address=1"), QStringLiteral("--nofork")});
    if (!daemon.waitForStarted(kProcessWaitMs))
        return QStringLiteral("dbus-daemon did not start: ") + daemon.errorString();
    while (!daemon.canReadLine() && daemon.state() == QProcess::Running)
        daemon.waitForReadyRead(kProcessWaitMs);
    busAddress = QString::fromUtf8(daemon.readLine()).trimmed();
    if (busAddress.isEmpty())
        return QStringLiteral("dbus-daemon gave no address: ") +
               QString::fromLocal8Bit(daemon.readAllStandardError()).trimmed();
    return {};
}

struct Outcome {
    bool ran = false; // the probe ended normally, with status 0 and its line
    bool shown = false;
    qint64 ms = -1; // how long notify() took
};

// Runs notify_probe on the bus at `address`; this process's stand-in answers while it waits.
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
    process.start(QStringLiteral(NOTIFY_PROBE), {summary, body});
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
        {"no bus at all", "unix:path=" + temporary->filePath(QStringLiteral("no-bus")), {}, {}, {}},
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
    EXPECT_FALSE(QFile::exists(activatedFile())) << "the service was started";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir directory;
    temporary = &directory;
    QProcess daemon;
    if (const QString reason = startBus(daemon); !reason.isEmpty()) {
        std::printf("Skipped: %s\n", qPrintable(reason));
        return 77;
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    daemon.terminate();
    daemon.waitForFinished(kProcessWaitMs);
    return status;
}

#include "notifications_test.moc"
