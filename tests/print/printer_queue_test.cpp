// The print-outs through a real print system: the program's real printer on the default queue of
// a CUPS scheduler of the test's own, a PDF printer (private_cups.sh, which runs this test), and
// the PDF that comes out of the queue read back with pdftotext.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <cmath>

#include "db_test_util.h"
#include "pdf_words.h"
#include "platform/services.h"
#include "print/print_text_array.h"
#include "print/todo_printout.h"
#include "support/fake_platform.h"

namespace {

constexpr int kSkipped = 77;
constexpr int kJobTimeoutMs = 30000;
// The scheduler's folder and the queue, from private_cups.sh.
const QString kCups = qEnvironmentVariable("PRIVATE_CUPS");
const QString kQueue = qEnvironmentVariable("LPDEST");

// The queue's printable area starts a quarter inch from the paper's left edge and half an inch
// from its top, on Letter and on A4 alike.
const QPointF kPrintableOrigin(0.25, 0.5);

// One line of the 12-point print font (Arial's metrics: 1.15 em), in inches.
constexpr double kLine12 = 12 * 1.15 / 72;

// Where the "1" of the page label "- 1 -" starts on the queue's Letter paper: the label is
// centred on the 8-inch printable width, on the bottom-margin line 1 inch above the end of the
// 10-inch printable height. Arial's advances: hyphen 0.333 em, blank 0.278 em, digit 0.556 em.
constexpr double kEm12 = 12.0 / 72;
const QPointF kLabelDigitOnLetter((8 - (2 * 0.333 + 2 * 0.278 + 0.556) * kEm12) / 2 +
                                      (0.333 + 0.278) * kEm12,
                                  10 - 1);

// The print font as at start-up.
const app::FontSetting kPrintFont{"Ariel", "12"};

QString readFile(const QString& name) {
    QFile file(kCups + "/" + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Runs a CUPS client program against the scheduler; throws with its output and the scheduler's
// log on failure.
void client(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(15000);
    const QString said = QString::fromUtf8(process.readAll());
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error((program + ' ' + arguments.join(' ') + " failed: " + said +
                                  "\nScheduler log:\n" + readFile("log/error_log"))
                                     .toStdString());
    if (output)
        *output = said;
}

// One finished job as the scheduler's page log records it; `media` is the paper's name in the
// queue's driver, such as "Letter" or "A4".
struct FinishedJob {
    int id = 0;
    QString title;
    int pages = 0;
    QString media;
};

// Waits until no job of the queue is pending or printing and returns the finished jobs, oldest
// first. Throws when jobs are still there at the deadline or a job did not complete.
QList<FinishedJob> waitForJobs() {
    const QDeadlineTimer deadline(kJobTimeoutMs);
    const QRegularExpression jobError("^E .*\\[Job \\d+\\]", QRegularExpression::MultilineOption);
    for (QString pending;; QThread::msleep(50)) {
        client("lpstat", {"-o", kQueue}, &pending);
        if (pending.trimmed().isEmpty())
            break;
        // A job the scheduler could not print (an output it cannot open, a filter that fails)
        // is reported at once rather than at the deadline: it may stay stopped in the queue.
        const QString log = readFile("log/error_log");
        if (deadline.hasExpired() || log.contains(jobError))
            throw std::runtime_error(
                ("jobs not finished:\n" + pending + "\nScheduler log:\n" + log).toStdString());
    }
    // The scheduler logs each job's end before it answers the next request, so both logs are
    // complete once the queue is empty.
    QList<FinishedJob> jobs;
    const QString log = readFile("log/error_log");
    for (const QString& line : readFile("log/page_log").split('\n')) {
        const QStringList fields = line.split('|'); // job, "total", pages, title, media
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

// Qt's printing, through libcups, sees the scheduler alone. The queue's default paper is set by
// each test.
class PrinterQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kCups.isEmpty())
            GTEST_SKIP() << "runs under tests/print/private_cups.sh";
        QLocale::setDefault(QLocale::c());
        print::TopMargin = print::BottomMargin = print::LeftMargin = print::RightMargin = 0;
        platform::Services::setPrinter(std::make_shared<platform::QtPrinter>());
        ASSERT_EQ(QPrinterInfo::defaultPrinter().printerName().toStdString(), kQueue.toStdString());
        jobsBefore = waitForJobs().size();
        QFile::remove(kCups + "/out/job.pdf");
    }

    /// The one job the print-out sent, saying nothing, once the queue has finished it, and its
    /// PDF's pages.
    std::pair<FinishedJob, QList<printtest::PdfPage>> printedJob() {
        EXPECT_TRUE(fakes.messageBoxes.calls().isEmpty())
            << fakes.messageBoxes.texts().join('\n').toStdString();
        const QList<FinishedJob> jobs = waitForJobs();
        if (jobs.size() != jobsBefore + 1)
            throw std::runtime_error(QStringLiteral("%1 jobs finished, not one:\n%2")
                                         .arg(jobs.size() - jobsBefore)
                                         .arg(readFile("log/error_log"))
                                         .toStdString());
        QString output;
        QList<printtest::PdfPage> pages = printtest::readPdfPages(kCups + "/out/job.pdf", &output);
        if (pages.isEmpty())
            throw std::runtime_error("pdftotext reads no page: " + output.toStdString());
        return {jobs.last(), pages};
    }

    qsizetype jobsBefore = 0;
    platform::fakes::FakePlatform fakes;
};

bool isPaper(const printtest::PdfPage& page, QSizeF points) {
    return std::abs(page.paper.width() - points.width()) < 1 &&
           std::abs(page.paper.height() - points.height()) < 1;
}

// Two pages on the queue's Letter paper: every row on one of them once, each page beginning
// with the headings and its first row at 1.4 inches, positions from the queue's printable area.
TEST_F(PrinterQueueTest, ToDoListComesOutOfTheQueueOnItsPaperWhereTheLayoutPutsIt) {
    client("lpadmin", {"-p", kQueue, "-o", "PageSize=Letter"});
    const double deadline = dbtest::storedDate(2027, 1, 9);
    std::vector<db::ToDoItem> items{
        dbtest::item("3", "Doe, John", "Call", dbtest::storedDate(2026, 12, 5), deadline)};
    for (int i = 2; i <= 60; ++i)
        items.push_back(
            dbtest::item("2", "Filing", QStringLiteral("Task%1").arg(i), std::nullopt, deadline));
    print::PrintToDoList(items, kPrintFont);
    const auto [job, pages] = printedJob();
    EXPECT_EQ(job.title.toStdString(), "Tarnwick To Do list");
    EXPECT_EQ(job.media.toStdString(), "Letter");
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(job.pages, 2);
    for (const printtest::PdfPage& page : pages)
        EXPECT_TRUE(isPaper(page, {612, 792})) << page.paper.width() << "x" << page.paper.height();
    EXPECT_TRUE(printtest::wordsAt(pages[0], kPrintableOrigin,
                                   {{"Priority", {0.4, 1.0}},
                                    {"Client", {1.0, 1.0}},
                                    {"Thing", {2.7, 1.0}},
                                    {"Start", {5.94, 1.0}},
                                    {"Deadline", {6.72, 1.0}},
                                    {"Doe,", {1.0, 1.4}},
                                    {"Call", {2.7, 1.4}},
                                    {"12/5/2026", {5.94, 1.4}},
                                    {"Task2", {2.7, 1.4 + kLine12}},
                                    {"1", kLabelDigitOnLetter}}));

    // The rows split between the pages in order; the second page starts afresh.
    const QRegularExpression task("^Task(\\d+)$");
    int lastOnFirstPage = 0;
    for (const QString& word : pages[0].words.keys())
        if (const QRegularExpressionMatch m = task.match(word); m.hasMatch())
            lastOnFirstPage = std::max(lastOnFirstPage, m.captured(1).toInt());
    ASSERT_GT(lastOnFirstPage, 2);
    ASSERT_LT(lastOnFirstPage, 60);
    for (int i = 2; i <= 60; ++i) {
        const QString word = QStringLiteral("Task%1").arg(i);
        const int page = i <= lastOnFirstPage ? 0 : 1;
        EXPECT_TRUE(pages[page].words.contains(word) && !pages[1 - page].words.contains(word))
            << word.toStdString();
    }
    EXPECT_TRUE(
        printtest::wordsAt(pages[1], kPrintableOrigin,
                           {{"Priority", {0.4, 1.0}},
                            {"Deadline", {6.72, 1.0}},
                            {QStringLiteral("Task%1").arg(lastOnFirstPage + 1), {2.7, 1.4}}}));
}

// A reference list on the queue's paper after its default has changed to A4.
TEST_F(PrinterQueueTest, ReferenceListFollowsTheQueuesPaper) {
    client("lpadmin", {"-p", kQueue, "-o", "PageSize=A4"});
    print::PrintList({"Doe, John", "Smith, Ann"}, "Tarnwick Clients list", kPrintFont);
    const auto [job, pages] = printedJob();
    EXPECT_EQ(job.title.toStdString(), "Tarnwick Clients list");
    EXPECT_EQ(job.media.toStdString(), "A4");
    EXPECT_EQ(job.pages, 1);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(isPaper(pages[0], {595, 842}))
        << pages[0].paper.width() << "x" << pages[0].paper.height();
    EXPECT_TRUE(printtest::wordsAt(pages[0], kPrintableOrigin,
                                   {{"Doe,", {1.0, 1.0}}, {"Smith,", {1.0, 1.0 + kLine12}}}));
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
    if (status == 0 && run.skipped_test_count() > 0 && run.successful_test_count() == 0)
        return kSkipped;
    return status;
}
