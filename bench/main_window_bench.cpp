// The main window with long lists: start-up to the painted window, a header-click sort, and
// Exit, over to-do files of 10,000 and 100,000 items.
//
//     QT_QPA_PLATFORM=offscreen build/default/bench/main_window_bench
//
// Start-up is measured from outside: each iteration starts this program again as a child
// ("--startup-child"), which runs the program's own start-up sequence (the settings, the
// database checks, the reference lists, the main window) and reports when the list has first been
// painted; the time runs from starting the process to that report. Sort and Exit run in this
// process on a main window over the same files.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <memory>
#include <unistd.h>

#include <QAction>
#include <QTreeView>

#include "app/database_steps.h"
#include "app/session.h"
#include "app/startup.h"
#include "db/routines.h"
#include "db/schema.h"
#include "platform/services.h"
#include "ui/common/window_registry.h"
#include "ui/main/main_window.h"

namespace {

// Synthetic items shaped like a law office's: two clients in three rows, one project, an
// activity phrase and a matter number, start dates over two years, deadlines a month later.
std::vector<db::ToDoItem> syntheticItems(int count) {
    static const char* const kActivities[] = {
        "Telephone conference with",  "Review file of",     "Court appearance re",
        "Prepare and send letter to", "Legal research for", "Take deposition of"};
    std::vector<db::ToDoItem> items;
    items.reserve(static_cast<std::size_t>(count));
    for (int row = 1; row <= count; ++row) {
        const QDate start = QDate(2025, 1, 6).addDays(row % 700);
        items.push_back(
            {db::Priority::of(1 + row % 5),
             row % 3 != 0 ? QStringLiteral("Client%1, Anne").arg(row % 997)
                          : QStringLiteral("Project %1").arg(row % 17),
             QStringLiteral("%1 matter %2").arg(QLatin1String(kActivities[row % 6])).arg(row),
             db::ItemDate::chosen(start), db::ItemDate::chosen(start.addDays(30 + row % 200))});
    }
    return items;
}

// Messages go to standard error: a modal box would stop an unattended run.
class PrintedMessages final : public platform::MessageBoxes {
public:
    void message(const QString& text, const QString&) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    platform::Answer question(const QString& text, const QString&, platform::Answer) override {
        std::fprintf(stderr, "question: %s\n", qPrintable(text));
        return platform::Answer::No;
    }
};

// One database file per item count, made on first use and kept for the run.
QString databaseWith(int items) {
    static QTemporaryDir folder;
    static std::map<int, QString> made;
    auto found = made.find(items);
    if (found != made.end())
        return found->second;
    const QString path = folder.filePath(QStringLiteral("todo-%1.mdb").arg(items));
    db::schema::createDatabase(path.toStdString());
    db::RewriteToDoItems(path, syntheticItems(items));
    made.emplace(items, path);
    return path;
}

// Settings of the benchmark's own: a configuration folder whose recently-used list names the
// database, so that the start-up sequence opens it.
QString configFolderFor(const QString& database) {
    static QTemporaryDir folder;
    const QString home = folder.filePath(QFileInfo(database).baseName());
    QDir().mkpath(home + QStringLiteral("/main_window_bench"));
    QFile ini(home + QStringLiteral("/main_window_bench/main_window_bench.ini"));
    if (ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ini.write(QStringLiteral("[MostRecentToDoDatabases]\nFirst=%1\n").arg(database).toUtf8());
    return home;
}

// Reports the first paint of the list's rows, then ends the process at once.
class FirstPaint final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            static_cast<QWidget*>(watched)->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [] {
                    std::fputs("painted\n", stdout);
                    std::fflush(stdout);
                    _exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

// The child: the program's start-up, as main() runs it, up to the painted main window.
int startupChild(int argc, char** argv) {
    QApplication application(argc, argv);
    platform::installQtServices();
    app::Session session;
    FirstPaint painted;
    const bool started = app::StartUp(session, [&session, &painted] {
        ui::MainWindow* window = ui::MainWindow::showWindow(session);
        window->findChild<QTreeView*>("itemList")->viewport()->installEventFilter(&painted);
    });
    if (!started)
        return 1;
    return application.exec();
}

void StartupToPaintedWindow(benchmark::State& state) {
    const QString database = databaseWith(static_cast<int>(state.range(0)));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolderFor(database));
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (auto _ : state) {
        QProcess child;
        child.setProcessEnvironment(environment);
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup-child")});
        QByteArray output;
        while (!output.contains("painted") && child.waitForReadyRead(30000))
            output += child.readAllStandardOutput();
        const double seconds = clock.nsecsElapsed() / 1e9;
        child.waitForFinished(30000);
        if (!output.contains("painted")) {
            state.SkipWithError("the child did not paint its main window");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

// A main window over `items` items in this process.
struct MainWindow {
    explicit MainWindow(int items) {
        session.takeUp(databaseWith(items), db::FileHold());
        session.setProgramFont({QStringLiteral("Ariel"), QStringLiteral("9")}, false);
        app::loadItems(session);
        window = ui::MainWindow::showWindow(session);
        list = window->findChild<QTreeView*>("itemList");
        QCoreApplication::processEvents();
    }
    ~MainWindow() {
        ui::WindowRegistry& registry = ui::WindowRegistry::instance();
        while (registry.count() > 0) {
            QWidget* w = registry.at(registry.count() - 1);
            registry.remove(w);
            delete w;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    app::Session session;
    QPointer<ui::MainWindow> window;
    QTreeView* list = nullptr;
};

// One click on a column header (1 to 5): the rows reordered and the visible ones painted again.
void HeaderClickSort(benchmark::State& state) {
    MainWindow main(static_cast<int>(state.range(0)));
    const int section = static_cast<int>(state.range(1)) - 1;
    for (auto _ : state) {
        emit main.list->header()->sectionClicked(section);
        main.list->viewport()->repaint();
    }
}

// Exit from the menu: the table rewritten (twice, as closing the main window runs Exit
// again), the position saved and every window closed.
void ExitCommand(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto main = std::make_unique<MainWindow>(static_cast<int>(state.range(0)));
        state.ResumeTiming();
        main->window->findChild<QAction*>("exitAction")->trigger();
        state.PauseTiming();
        if (ui::WindowRegistry::instance().count() != 0)
            state.SkipWithError("Exit left windows loaded");
        main.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(StartupToPaintedWindow)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(HeaderClickSort)
    ->Args({10000, 3})
    ->Args({10000, 5})
    ->Args({100000, 3})
    ->Args({100000, 5})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ExitCommand)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], "--startup-child") == 0)
        return startupChild(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // This process's own settings stay out of the user's.
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication application(argc, argv);
    platform::installQtServices();
    platform::Services::setMessageBoxes(std::make_shared<PrintedMessages>());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
