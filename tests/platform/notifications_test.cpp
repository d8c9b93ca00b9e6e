// Desktop notifications over D-Bus, against a notification service stand-in on a session bus
// of the test's own.
//
// Each case runs the call in a process of its own (notify_probe), since the session bus a
// process uses is fixed at its first use: DBUS_SESSION_BUS_ADDRESS points it at the private
// bus, or at nothing. The bus is a dbus-daemon with a configuration of our own, so a
// notification server installed on the machine can never answer in the stand-in's place. The one
// service it could start is a notification service that only leaves a file behind (`activated`):
// a service that is not running must not be started. Without dbus-daemon the test is skipped
// (exit status 77).
#include <gtest/gtest.h>

#include "platform/notifications.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

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

QProcessEnvironment environmentFor(const QString& address) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    environment.remove(QStringLiteral("DBUS_STARTER_ADDRESS"));
    environment.remove(QStringLiteral("DBUS_STARTER_BUS_TYPE"));
    return environment;
}

struct Outcome {
    bool ran = false; // the probe ended normally, with status 0 and its line
    bool shown = false;
    qint64 ms = -1; // how long notify() took
};

Outcome probe(const QString& address, const QString& summary, const QString& body) {
    QProcess process;
    process.setProcessEnvironment(environmentFor(address));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(NOTIFY_PROBE), {summary, body});
    Outcome outcome;
    if (!process.waitForFinished(kProcessWaitMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return outcome;
    const QString line = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    const qsizetype blank = line.lastIndexOf(u' ');
    outcome.ran = blank > 0;
    outcome.shown = line.left(blank) == QLatin1String("shown");
    outcome.ms = line.mid(blank + 1).toLongLong();
    return outcome;
}

// The stand-in service as a process; stop() ends it and returns the calls it recorded.
class StandIn {
public:
    explicit StandIn(const QStringList& arguments) {
        m_process.setProcessEnvironment(environmentFor(busAddress));
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(NOTIFICATION_STANDIN), arguments);
        m_process.waitForStarted(kProcessWaitMs);
        while (!m_process.canReadLine() && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(kProcessWaitMs);
        m_ready = m_process.readLine().trimmed() == "ready";
    }
    ~StandIn() { stop(); }
    bool ready() const { return m_ready; }

    QList<QJsonObject> stop() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(kProcessWaitMs);
        }
        QList<QJsonObject> calls;
        for (const QByteArray& line : m_process.readAllStandardOutput().split('\n')) {
            if (!line.isEmpty())
                calls.append(QJsonDocument::fromJson(line).object());
        }
        return calls;
    }

private:
    QProcess m_process;
    bool m_ready = false;
};

TEST(DBusNotifications, WithoutABusOrServiceShowNothingAtOnce) {
    const struct {
        const char* name;
        QString address;
    } cases[] = {
        {"no bus at all", "unix:path=" + temporary->filePath(QStringLiteral("no-bus"))},
        {"an address that is no address", QStringLiteral("nonsense")},
        {"a bus without the service", busAddress},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = probe(c.address, QStringLiteral("1 item is overdue"),
                                      QStringLiteral("Overdue: Brown – Call"));
        EXPECT_TRUE(outcome.ran);
        EXPECT_FALSE(outcome.shown);
        EXPECT_LT(outcome.ms, kBudgetMs);
    }
    EXPECT_FALSE(QFile::exists(activatedFile())) << "the service was started";
}

TEST(DBusNotifications, AreSentToTheServiceWithTheProgramsNameAndIcon) {
    const QString summary = QStringLiteral("2 items are overdue and 1 item is due today");
    const QString body = QStringLiteral("Overdue: Smith & Jones – Reply to <objection>\n"
                                        "Overdue: Brown – Call\nDue today: Acme – File");
    const struct {
        const char* name;
        QStringList arguments;
        QString received; // the body the service receives
    } cases[] = {
        {"plain text", {}, body},
        {"markup escaped",
         {QStringLiteral("--capabilities"), QStringLiteral("actions,body,body-markup")},
         QStringLiteral("Overdue: Smith &amp; Jones – Reply to &lt;objection&gt;\n"
                        "Overdue: Brown – Call\nDue today: Acme – File")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StandIn standIn(c.arguments);
        ASSERT_TRUE(standIn.ready());
        const Outcome outcome = probe(busAddress, summary, body);
        EXPECT_TRUE(outcome.ran);
        EXPECT_TRUE(outcome.shown);
        const QList<QJsonObject> calls = standIn.stop();
        ASSERT_EQ(calls.size(), 1);
        const QJsonObject& call = calls[0];
        EXPECT_EQ(call["app"].toString(), QStringLiteral("Tarnwick"));
        EXPECT_EQ(call["icon"].toString(), QStringLiteral(TARNWICK_APP_ID));
        EXPECT_EQ(call["hints"].toObject()["desktop-entry"].toString(),
                  QStringLiteral(TARNWICK_APP_ID));
        EXPECT_EQ(call["summary"].toString(), summary);
        EXPECT_EQ(call["body"].toString(), c.received);
        EXPECT_EQ(call["replaces"].toInt(), 0);
        EXPECT_TRUE(call["actions"].toArray().isEmpty());
        EXPECT_GT(call["expire"].toInt(), 0);
    }
}

TEST(DBusNotifications, AServiceThatFailsOrIsSlowShowsNothingWithinTheBudget) {
    const struct {
        const char* name;
        QStringList arguments;
    } cases[] = {
        {"error reply", {QStringLiteral("--fail")}},
        {"no reply for 20 s", {QStringLiteral("--delay-ms"), QStringLiteral("20000")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StandIn standIn(c.arguments);
        ASSERT_TRUE(standIn.ready());
        const Outcome outcome = probe(busAddress, QStringLiteral("1 item is due today"),
                                      QStringLiteral("Due today: Brown – Call"));
        EXPECT_TRUE(outcome.ran);
        EXPECT_FALSE(outcome.shown);
        EXPECT_LT(outcome.ms, kBudgetMs + kSlackMs);
        EXPECT_EQ(standIn.stop().size(), 1);
    }
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
