// Engine benchmarks: rewriting the to-do table (delete all, write all, commit with syncs)
// against writing the same number of bytes to a plain file with one sync; reading the table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <map>
#include <unistd.h>
#include <vector>

#include "db/schema.h"
#include "jet/database.h"
#include "todo_data.h"

namespace {

std::string benchFile(int items) {
    return "/tmp/tarnwick-bench-" + std::to_string(items) + ".mdb";
}

// A database whose "Things To Do" holds `items` rows, made once per size.
const std::string& prepared(int items) {
    static std::map<int, std::string> made;
    auto it = made.find(items);
    if (it != made.end())
        return it->second;
    const std::string path = benchFile(items);
    std::remove(path.c_str());
    db::schema::createDatabase(path);
    jet::OpenOptions o;
    o.mode = jet::OpenMode::ReadWrite;
    auto db = jet::Database::open(path, o);
    bench::rewriteTodos(db, bench::todoRows(items));
    return made[items] = path;
}

long fileSize(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long n = std::ftell(f);
    std::fclose(f);
    return n;
}

void BM_RewriteTodos(benchmark::State& state) {
    const int items = static_cast<int>(state.range(0));
    const std::string& path = prepared(items);
    const auto rows = bench::todoRows(items);
    jet::OpenOptions o;
    o.mode = jet::OpenMode::ReadWrite;
    for (auto _ : state) {
        auto db = jet::Database::open(path, o);
        bench::rewriteTodos(db, rows);
    }
    state.counters["file_bytes"] = static_cast<double>(fileSize(path));
}

// The baseline: the same number of bytes as the database file, written and synced once.
void BM_PlainWriteSameBytes(benchmark::State& state) {
    const std::string& path = prepared(static_cast<int>(state.range(0)));
    const std::vector<char> bytes(static_cast<std::size_t>(fileSize(path)), 'x');
    const std::string plain = path + ".plain";
    for (auto _ : state) {
        const int fd = ::open(plain.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::size_t done = 0;
        while (done < bytes.size())
            done += static_cast<std::size_t>(::write(fd, bytes.data() + done, bytes.size() - done));
        ::fdatasync(fd);
        ::close(fd);
    }
    std::remove(plain.c_str());
}

void BM_ReadTodos(benchmark::State& state) {
    const std::string& path = prepared(static_cast<int>(state.range(0)));
    std::size_t chars = 0;
    for (auto _ : state) {
        auto db = jet::Database::open(path);
        for (auto rs = db.openTable("Things To Do"); !rs.eof(); rs.moveNext())
            for (int i = 0; i < 6; ++i)
                chars += rs.field(bench::kTodoFields[i]).toString().size();
    }
    benchmark::DoNotOptimize(chars);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_RewriteTodos)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWriteSameBytes)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReadTodos)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
