// A CUPS scheduler of a test's own, with one PDF queue as its default printer.
//
// cupsd runs in the foreground from a temporary folder that holds everything it reads and
// writes: its configuration, spool, cache, state, logs and its socket, which is its only
// listener and lies in a folder only the test's user may enter. It reads nothing of the
// machine's print set-up (no /etc/cups), changes none of it and is unaffected by a scheduler
// the system runs. As root, cupsd runs its filters as the user lp, which is why the rest of the
// folder may be entered by others; as an ordinary user it runs them as that user. The scheduler
// is stopped, and the folder removed, when the object goes; if the test process dies first, the
// system ends the scheduler with it.
//
// The queue is a PDF printer (cups-filters' "Generic PDF Printer" driver, US Letter by default,
// printable area a quarter inch in from the sides and half an inch from top and bottom): a job
// goes through the scheduler's filters (pdftopdf sets the paper and the copies), and the
// scheduler writes what reaches the device, a PDF file behind the driver's PJL job header, to
// outputFile(), replacing the previous job's. The cups-pdf backend is not used: it refuses to
// run other than as root, reads its settings only from /etc/cups, and writes into the job
// owner's home folder, its spool and log folders under /var, so its output could not be kept
// in the test's folder without changing the machine's set-up.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <stdexcept>
#include <utility>

namespace printtest {

/// No scheduler can be started on this machine: what() says why.
class CupsUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One finished job as the scheduler's page log records it.
struct FinishedJob {
    int id = 0;
    QString title;
    int pages = 0;
    /// The paper's name in the queue's driver, such as "Letter" or "A4".
    QString media;
};

class PrivateCups {
public:
    /// Starts the scheduler and adds `queue` as its default printer. Throws CupsUnavailable when
    /// cupsd, the client programs or the PDF printer's driver are not installed, or the scheduler
    /// cannot listen on its socket; std::runtime_error (with the scheduler's log) for any other
    /// failure.
    explicit PrivateCups(const QString& queue);
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    /// The scheduler's socket.
    QString server() const;
    /// The environment of a client of this scheduler alone: CUPS_SERVER (the socket),
    /// CUPS_SERVERROOT (a folder with no client.conf or lpoptions, so the machine's are not
    /// read), LPDEST (the queue, whatever a user's own lpoptions name) and a system bus that does
    /// not exist (so libcups finds no printers announced on the network).
    QList<std::pair<QString, QString>> clientEnvironment() const;
    /// Where the queue's device writes each job.
    QString outputFile() const;

    /// lpadmin -p queue -o name=value: sets a default of the queue.
    void setQueueDefault(const QString& name, const QString& value);

    /// Waits until no job of the queue is pending or printing, at most `timeoutMs`, and returns
    /// the finished jobs, oldest first. Throws std::runtime_error (with the log) when jobs are
    /// still there at the deadline or a finished job did not complete (was aborted or
    /// cancelled).
    QList<FinishedJob> waitForJobs(int timeoutMs);

    /// The scheduler's error log, for failure messages.
    QString log() const;

private:
    /// Runs a CUPS client program against this scheduler; throws with its output on failure.
    QString client(const QString& program, const QStringList& arguments) const;
    void start();
    void stop();

    QString m_queue;
    QTemporaryDir m_folder;
    QString m_cupsd;
    QProcess m_scheduler;
};

} // namespace printtest
