// The start-up sequence and the to-do routines over files of 10,000 and 100,000 items.
//
//     build/h3/bench/routines_bench --benchmark_min_time=1
//
// Startup: the whole start-up sequence on a settings store naming the file (reading settings,
// the validity test, the reference lists) with, as its show step, the loading of the items into
// the session: everything the program does before the main window appears. Load and Rewrite
// time LoadToDoItems and RewriteToDoItems alone; each rewrite replaces the N items by N items.
// PlainWrite, the rewrite's baseline, writes as many bytes as the items' rows take in the file
// to a plain file and syncs it once.
// Files live in a temporary folder on the file system the benchmark runs on (fsync included).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QFileInfo>
#include <QTemporaryDir>
#include <map>
#include <unistd.h>
#include <vector>

#include "app/session.h"
#include "app/startup.h"
#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "plain_write.h"
#include "support/fake_platform.h"

namespace {

// Items like a law office's: two in three for a client, start dates over two years, deadlines
// a month or more later, as the item dialogs write them.
std::vector<db::ToDoItem> makeItems(int count) {
    std::vector<db::ToDoItem> items;
    items.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QDate start = QDate(2025, 1, 6).addDays(i % 700);
        const QDate deadline = start.addDays(30 + i % 200);
        items.push_back({db::Priority::of(1 + i % 5),
                         i % 3 ? QStringLiteral("Client%1, Anne").arg(i % 997)
                               : QStringLiteral("PROJECT %1").arg(i % 17),
                         QStringLiteral("Telephone conference with the clerk, matter %1").arg(i),
                         db::ItemDate::chosen(start), db::ItemDate::chosen(deadline)});
    }
    return items;
}

struct File {
    QString path;
    qint64 tableBytes = 0; // what the items' rows take: the file's growth when they were written
};

struct Files {
    QTemporaryDir dir;
    std::map<int, File> byCount;
};

// A database of `count` items, made once per run.
const File& fileOf(int count) {
    static Files files;
    auto [it, made] = files.byCount.try_emplace(count);
    if (made) {
        File& f = it->second;
        f.path = files.dir.filePath(QStringLiteral("todo-%1.mdb").arg(count));
        db::schema::createDatabase(db::enginePath(f.path));
        const qint64 empty = QFileInfo(f.path).size();
        db::RewriteToDoItems(f.path, makeItems(count));
        f.tableBytes = QFileInfo(f.path).size() - empty;
    }
    return it->second;
}

const QString& fileWith(int count) {
    return fileOf(count).path;
}

void Startup(benchmark::State& state) {
    const QString& path = fileWith(static_cast<int>(state.range(0)));
    platform::fakes::FakePlatform fakes(platform::fakes::FakeFiles::Mode::RealFileSystem);
    fakes.settings.preset(QStringLiteral("MostRecentToDoDatabases"), QStringLiteral("First"), path);
    for (auto _ : state) {
        app::Session session;
        const bool shown =
            app::StartUp(session, [&session] { session.items().load(session.databasePath()); });
        if (!shown || session.items().size() != state.range(0) ||
            !fakes.messageBoxes.calls().isEmpty()) {
            const std::string messages = fakes.messageBoxes.texts().join(" / ").toStdString();
            state.SkipWithError(("the start-up stopped short: " + messages).c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Load(benchmark::State& state) {
    const QString& path = fileWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::vector<db::ToDoItem> items = db::LoadToDoItems(path);
        benchmark::DoNotOptimize(items.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Rewrite(benchmark::State& state) {
    const QString& path = fileWith(static_cast<int>(state.range(0)));
    const std::vector<db::ToDoItem> items = makeItems(static_cast<int>(state.range(0)));
    for (auto _ : state)
        db::RewriteToDoItems(path, items);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void PlainWrite(benchmark::State& state) {
    const File& file = fileOf(static_cast<int>(state.range(0)));
    const std::vector<char> bytes(static_cast<std::size_t>(file.tableBytes), 'x');
    const std::string plain = db::enginePath(file.path) + ".plain";
    for (auto _ : state) {
        bench::writeAndSync(plain, bytes);
    }
    ::unlink(plain.c_str());
    state.counters["table_bytes"] = static_cast<double>(file.tableBytes);
}

BENCHMARK(Startup)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(Load)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(Rewrite)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainWrite)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv); // the start-up's platform services are Qt's
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
