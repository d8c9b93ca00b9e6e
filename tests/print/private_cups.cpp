#include "private_cups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace printtest {

namespace {

// cups-filters' driver of a printer that takes PDF as it is.
const QString kPdfDriver = QStringLiteral("/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd");

// A socket's path must fit sockaddr_un's 108 bytes with its terminating NUL.
constexpr qsizetype kLongestSocketPath = 107;

// The page log, one line a page and a "total" line at each job's end, fields apart by "|": job
// id, page number or "total", copies or (on the total line) pages, job title, media.
const QString kPageLogFormat = QStringLiteral("%j|%P|%C|%{job-name}|%{media}");

QString findProgram(const QString& name) {
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty()) // the system folders, which an ordinary user's PATH may leave out
        path = QStandardPaths::findExecutable(name, {"/usr/local/sbin", "/usr/sbin", "/sbin"});
    if (path.isEmpty())
        throw CupsUnavailable(QStringLiteral("%1 is not installed (Debian package %2)")
                                  .arg(name, name == "cupsd" ? "cups-daemon" : "cups-client")
                                  .toStdString());
    return path;
}

void writeFile(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) != text.toUtf8().size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Whether a process listens on the socket at `path`.
bool accepts(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(),
                std::min<std::size_t>(name.size(), sizeof address.sun_path - 1));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// The socket, in a folder only the test's user may enter: the scheduler lets whoever reaches
// it do anything, and as root it writes a job's output wherever a queue's device says.
const QString kSocket = QStringLiteral("run/cups.sock");

// A folder in which the socket's path fits; TMPDIR may be too deep for one.
QString folderTemplate() {
    const QString name = QStringLiteral("/tarnwick-cups-XXXXXX");
    const QString folder = QDir::tempPath() + name;
    return folder.size() + 1 + kSocket.size() <= kLongestSocketPath ? folder
                                                                    : QStringLiteral("/tmp") + name;
}

} // namespace

PrivateCups::PrivateCups(const QString& queue) : m_queue(queue), m_folder(folderTemplate()) {
    m_cupsd = findProgram("cupsd");
    findProgram("lpadmin");
    findProgram("lpstat");
    if (!QFileInfo::exists(kPdfDriver))
        throw CupsUnavailable(
            QStringLiteral("the PDF printer driver %1 is not installed (Debian package "
                           "cups-filters)")
                .arg(kPdfDriver)
                .toStdString());
    if (!m_folder.isValid())
        throw std::runtime_error("cannot create a temporary folder: " +
                                 m_folder.errorString().toStdString());
    if (server().size() > kLongestSocketPath)
        throw CupsUnavailable("the socket path " + server().toStdString() + " is too long");
    start();
    try {
        client("lpadmin", {"-p", m_queue, "-E", "-v", "file:" + outputFile(), "-P", kPdfDriver});
        client("lpadmin", {"-d", m_queue});
    } catch (...) {
        stop();
        throw;
    }
}

PrivateCups::~PrivateCups() {
    stop();
}

QString PrivateCups::server() const {
    return m_folder.filePath(kSocket);
}

QList<std::pair<QString, QString>> PrivateCups::clientEnvironment() const {
    return {{"CUPS_SERVER", server()},
            {"CUPS_SERVERROOT", m_folder.filePath("client")},
            {"LPDEST", m_queue},
            {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + m_folder.filePath("no-bus")}};
}

QString PrivateCups::outputFile() const {
    return m_folder.filePath("out/job.pdf");
}

QString PrivateCups::log() const {
    return readFile(m_folder.filePath("log/error_log"));
}

void PrivateCups::start() {
    const QString root = m_folder.path();
    for (const char* sub : {"run", "spool/tmp", "cache", "state", "log", "ssl", "out", "client"})
        if (!QDir(root).mkpath(sub))
            throw std::runtime_error("cannot create " + (root + '/' + sub).toStdString());
    // cupsd as root runs its filters as lp, which must reach the spool and the driver copy.
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    const auto others = QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    if (!QFile::setPermissions(root, owner | others) ||
        !QFile::setPermissions(m_folder.filePath("run"), owner))
        throw std::runtime_error("cannot set the permissions of " + root.toStdString());

    // Only the socket listens; no sharing, browsing or web pages, and every operation is allowed
    // without authentication. A job whose filter fails is aborted rather than stopping the
    // queue, and finished jobs stay listed.
    const QStringList scheduler{
        "Listen " + server(),
        "Browsing No",
        "BrowseLocalProtocols none",
        "WebInterface No",
        "DefaultAuthType None",
        "LogLevel info",
        "MaxLogSize 0",
        "PageLogFormat " + kPageLogFormat,
        "ErrorPolicy abort-job",
        "PreserveJobHistory Yes",
        "PreserveJobFiles No",
        "<Policy default>",
        "  JobPrivateAccess all",
        "  JobPrivateValues none",
        "  SubscriptionPrivateAccess all",
        "  SubscriptionPrivateValues none",
        "  <Limit All>",
        "    Order deny,allow",
        "  </Limit>",
        "</Policy>",
    };
    writeFile(m_folder.filePath("cupsd.conf"), scheduler.join('\n') + '\n');
    // Every file and folder the scheduler writes, the printcap and certificates included, is
    // in the folder; the filters, backends and MIME rules are the installed ones.
    const QStringList files{
        "ServerRoot " + root,
        "RequestRoot " + root + "/spool",
        "TempDir " + root + "/spool/tmp",
        "CacheDir " + root + "/cache",
        "StateDir " + root + "/state",
        "ServerKeychain " + root + "/ssl",
        "Printcap " + root + "/printcap",
        "ErrorLog " + root + "/log/error_log",
        "AccessLog " + root + "/log/access_log",
        "PageLog " + root + "/log/page_log",
        "FileDevice Yes",
    };
    writeFile(m_folder.filePath("cups-files.conf"), files.join('\n') + '\n');

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Without a system bus the scheduler cannot announce the queue to the desktop's colour
    // manager; without systemd's variables it cannot report to a service manager.
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + m_folder.filePath("no-bus"));
    for (const char* name : {"NOTIFY_SOCKET", "LISTEN_FDS", "LISTEN_PID", "LISTEN_FDNAMES"})
        environment.remove(name);
    m_scheduler.setProcessEnvironment(environment);
    m_scheduler.setProcessChannelMode(QProcess::MergedChannels);
    m_scheduler.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_scheduler.start(m_cupsd, {"-f", "-c", m_folder.filePath("cupsd.conf"), "-s",
                                m_folder.filePath("cups-files.conf")});
    if (!m_scheduler.waitForStarted(10000))
        throw CupsUnavailable("cupsd does not start: " + m_scheduler.errorString().toStdString());

    // Ready when the socket takes a connection. cupsd logs a socket it cannot open and goes on
    // without it, so its log is read too.
    const QDeadlineTimer deadline(15000);
    for (;;) {
        if (accepts(server()))
            return;
        const QString log = this->log();
        const QRegularExpressionMatch listen =
            QRegularExpression("^E .*(Unable to (open listen socket|bind)[^\n]*)",
                               QRegularExpression::MultilineOption)
                .match(log);
        if (listen.hasMatch()) {
            stop();
            throw CupsUnavailable("cupsd cannot listen: " + listen.captured(1).toStdString());
        }
        if (m_scheduler.state() == QProcess::NotRunning || deadline.hasExpired()) {
            const QString output = QString::fromUtf8(m_scheduler.readAll());
            stop();
            throw std::runtime_error(
                ("cupsd did not take connections on " + server() + ":\n" + output + log)
                    .toStdString());
        }
        QThread::msleep(50);
    }
}

void PrivateCups::stop() {
    if (m_scheduler.state() == QProcess::NotRunning)
        return;
    m_scheduler.terminate(); // cupsd stops its jobs' filters and ends
    if (!m_scheduler.waitForFinished(10000)) {
        m_scheduler.kill();
        m_scheduler.waitForFinished(5000);
    }
}

QString PrivateCups::client(const QString& program, const QStringList& arguments) const {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : clientEnvironment())
        environment.insert(name, value);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(findProgram(program), arguments);
    const bool finished = process.waitForFinished(15000);
    const QString output = QString::fromUtf8(process.readAll());
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished(1000);
        throw std::runtime_error((program + ' ' + arguments.join(' ') + " failed: " + output +
                                  "\nScheduler log:\n" + log())
                                     .toStdString());
    }
    return output;
}

void PrivateCups::setQueueDefault(const QString& name, const QString& value) {
    client("lpadmin", {"-p", m_queue, "-o", name + '=' + value});
}

QList<FinishedJob> PrivateCups::waitForJobs(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const QRegularExpression jobError("^E .*\\[Job \\d+\\]", QRegularExpression::MultilineOption);
    for (;;) {
        const QString pending = client("lpstat", {"-o", m_queue}).trimmed();
        if (pending.isEmpty())
            break;
        // A job the scheduler could not print (an output it cannot open, a filter that fails)
        // is reported at once rather than at the deadline: it may stay stopped in the queue.
        const QString log = this->log();
        if (deadline.hasExpired() || log.contains(jobError))
            throw std::runtime_error(
                ("jobs not finished:\n" + pending + "\nScheduler log:\n" + log).toStdString());
        QThread::msleep(50);
    }

    // The scheduler logs each job's end before it answers the next request, so both logs are
    // complete once the queue is empty.
    QList<FinishedJob> jobs;
    const QString log = this->log();
    for (const QString& line : readFile(m_folder.filePath("log/page_log")).split('\n')) {
        const QStringList fields = line.split('|');
        if (fields.size() != 5 || fields[1] != "total")
            continue;
        const FinishedJob job{fields[0].toInt(), fields[3], fields[2].toInt(), fields[4]};
        if (!log.contains(QStringLiteral("[Job %1] Job completed.").arg(job.id)))
            throw std::runtime_error(QStringLiteral("job %1 (%2) did not complete:\n%3")
                                         .arg(job.id)
                                         .arg(job.title, log)
                                         .toStdString());
        jobs.append(job);
    }
    return jobs;
}

} // namespace printtest
