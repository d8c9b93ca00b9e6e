// Engine benchmarks: rewriting the to-do table (delete all, write all, commit with syncs)
// against writing the same number of bytes to a plain file with one sync; reading every value
// of the table against reading the file's bytes from the page cache.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <map>
#include <unistd.h>
#include <vector>

#include "db/schema.h"
#include "jet/database.h"
#include "plain_write.h"
#include "todo_data.h"

namespace {

std::string benchFile(int items) {
    return "/tmp/tarnwick-bench-" + std::to_string(items) + ".mdb";
}

long fileSize(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long n = std::ftell(f);
    std::fclose(f);
    return n;
}

struct Prepared {
    std::string path;
    long tableBytes = 0; // what the table's rows take on disk: the pages one rewrite writes
};

// A database whose "Things To Do" holds `items` rows, made once per size.
const Prepared& prepared(int items) {
    static std::map<int, Prepared> made;
    auto it = made.find(items);
    if (it != made.end())
        return it->second;
    Prepared p;
    p.path = benchFile(items);
    std::remove(p.path.c_str());
    db::schema::createDatabase(p.path);
    const long empty = fileSize(p.path);
    jet::OpenOptions o;
    o.mode = jet::OpenMode::ReadWrite;
    auto db = jet::Database::open(p.path, o);
    bench::rewriteTodos(db, bench::todoRows(items));
    p.tableBytes = fileSize(p.path) - empty;
    return made[items] = p;
}

void BM_RewriteTodos(benchmark::State& state) {
    const int items = static_cast<int>(state.range(0));
    const std::string& path = prepared(items).path;
    const auto rows = bench::todoRows(items);
    jet::OpenOptions o;
    o.mode = jet::OpenMode::ReadWrite;
    for (auto _ : state) {
        auto db = jet::Database::open(path, o);
        bench::rewriteTodos(db, rows);
    }
    state.counters["table_bytes"] = static_cast<double>(prepared(items).tableBytes);
    state.counters["file_bytes"] = static_cast<double>(fileSize(path));
}

// The baseline: as many bytes as the table's rows take, written to a plain file and synced once.
void BM_PlainWriteSameBytes(benchmark::State& state) {
    const Prepared& p = prepared(static_cast<int>(state.range(0)));
    const std::string& path = p.path;
    const std::vector<char> bytes(static_cast<std::size_t>(p.tableBytes), 'x');
    const std::string plain = path + ".plain";
    for (auto _ : state) {
        bench::writeAndSync(plain, bytes);
    }
    std::remove(plain.c_str());
}

// A file written once and only read, so that it holds the table and little else.
const std::string& readFile(int items) {
    static std::map<int, std::string> made;
    auto it = made.find(items);
    if (it != made.end())
        return it->second;
    const std::string path = "/tmp/tarnwick-bench-read-" + std::to_string(items) + ".mdb";
    std::remove(path.c_str());
    db::schema::createDatabase(path);
    jet::OpenOptions o;
    o.mode = jet::OpenMode::ReadWrite;
    auto db = jet::Database::open(path, o);
    bench::rewriteTodos(db, bench::todoRows(items));
    return made[items] = path;
}

// Every value of every row: texts as UTF-8 in a buffer, dates as numbers, as an export reads
// them.
void BM_ReadTodos(benchmark::State& state) {
    const std::string& path = readFile(static_cast<int>(state.range(0)));
    std::string text;
    double dates = 0;
    for (auto _ : state) {
        auto db = jet::Database::open(path);
        auto rs = db.openTable("Things To Do");
        int fields[6];
        for (int i = 0; i < 6; ++i)
            fields[i] = rs.fieldIndex(bench::kTodoFields[i]);
        for (; !rs.eof(); rs.moveNext()) {
            text.clear();
            for (int i = 0; i < 4; ++i)
                rs.appendField(fields[i], text);
            for (int i = 4; i < 6; ++i)
                if (const jet::Value v = rs.field(fields[i]); !v.isNull())
                    dates += v.asDateTime();
            benchmark::DoNotOptimize(text.data());
        }
    }
    benchmark::DoNotOptimize(dates);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["file_bytes"] = static_cast<double>(fileSize(path));
}

// The baseline: the same file's bytes read from the page cache into memory of the reader's own.
void BM_ReadFileBytes(benchmark::State& state) {
    const std::string& path = readFile(static_cast<int>(state.range(0)));
    const std::size_t size = static_cast<std::size_t>(fileSize(path));
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        std::vector<char> bytes(size);
        std::size_t done = 0;
        while (done < size)
            done += static_cast<std::size_t>(::read(fd, bytes.data() + done, size - done));
        ::close(fd);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["file_bytes"] = static_cast<double>(size);
}

BENCHMARK(BM_RewriteTodos)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWriteSameBytes)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReadTodos)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadFileBytes)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
