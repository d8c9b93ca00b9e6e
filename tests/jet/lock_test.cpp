// Locks between handles and between processes, and crashes of a real writing process, on
// real files.
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "jet/database.h"
#include "jet/error.h"
#include "pager.h"
#include "test_util.h"

using namespace jettest;

namespace {

// A new database with the to-do table and `rows`, a real file in the test's temporary folder.
std::string realTodoFile(const char* name, const std::vector<Row>& rows = {}) {
    const std::string path =
        ::testing::TempDir() + "/" + name + "-" + std::to_string(::getpid()) + ".mdb";
    std::remove(path.c_str());
    std::remove(jet::Pager::journalPath(path).c_str());
    auto db = jet::Database::create(path);
    db.createTable(thingsToDoSpec());
    addRows(db, "Things To Do", rows);
    return path;
}

jet::Database open(const std::string& path, jet::OpenMode mode, int lockTimeoutMs = 0) {
    return openIn(nullptr, path, mode, lockTimeoutMs);
}

// Handles of one process on a real file lock one another as other processes would.
TEST(Locks, WhoMayOpenWhileAnotherHandleIsOpen) {
    const std::string path = realTodoFile("handles");
    using M = jet::OpenMode;
    const std::optional<jet::ErrorKind> opened, locked = jet::ErrorKind::Locked;
    const struct {
        M holder, other;
        std::optional<jet::ErrorKind> outcome;
    } cases[] = {
        {M::ReadOnly, M::ReadOnly, opened},  {M::ReadOnly, M::ReadWrite, opened},
        {M::ReadWrite, M::ReadOnly, opened}, {M::ReadWrite, M::ReadWrite, locked},
        {M::Exclusive, M::ReadOnly, locked}, {M::Exclusive, M::ReadWrite, locked},
        {M::ReadOnly, M::Exclusive, locked},
    };
    for (const auto& c : cases) {
        auto holder = open(path, c.holder);
        const auto second = [&] { open(path, c.other); };
        EXPECT_EQ(errorKind(second), c.outcome)
            << static_cast<int>(c.holder) << " then " << static_cast<int>(c.other);
        holder.close();
        EXPECT_EQ(errorKind(second), opened);
    }
    // A writer cannot commit while a reader has the file open, and can once it has closed it.
    auto writer = open(path, M::ReadWrite, 50);
    const auto add = [&] { addRows(writer, "Things To Do", {todo("first", "P", "1", 1, 2)}); };
    {
        auto reader = open(path, M::ReadOnly);
        EXPECT_EQ(errorKind(add), locked);
        EXPECT_EQ(readAll(reader, "Things To Do").size(), 0u);
    }
    add();
    EXPECT_EQ(readAll(writer, "Things To Do").size(), 1u);
    std::remove(path.c_str());
}

std::vector<Row> generation(int writer, int gen) {
    std::vector<Row> rows;
    for (int i = 0; i < 20 + gen % 7; ++i)
        rows.push_back(
            todo("w" + std::to_string(writer) + " g" + std::to_string(gen), "P", "1", gen, i));
    return rows;
}

// All rows of the table come from one rewrite: same writer, same generation, complete. (Every
// rewrite writes rows, so an empty table is a lost one.)
void expectOneGeneration(const std::string& path) {
    auto db = jet::Database::open(path);
    const jet::CheckReport r = db.check();
    EXPECT_TRUE(r.ok()) << (r.problems.empty() ? "" : r.problems.front());
    const auto rows = readAll(db, "Things To Do");
    ASSERT_FALSE(rows.empty());
    const std::string tag = rows.front()[0].asText();
    const int writer = std::stoi(tag.substr(1));
    const int gen = std::stoi(tag.substr(tag.find('g') + 1));
    EXPECT_EQ(rows, generation(writer, gen));
}

TEST(Processes, TwoWritersNeverCorruptTheFile) {
    const std::string path = realTodoFile("two-writers");
    pid_t children[2];
    for (int w = 0; w < 2; ++w) {
        children[w] = ::fork();
        ASSERT_GE(children[w], 0);
        if (children[w] == 0) {
            for (int gen = 0; gen < 30; ++gen) {
                ::usleep(static_cast<unsigned>(1000 * (gen % 3)));
                const auto kind = errorKind([&] {
                    auto db = open(path, jet::OpenMode::ReadWrite, 20);
                    rewrite(db, "Things To Do", generation(w, gen));
                });
                if (kind && *kind != jet::ErrorKind::Locked)
                    ::_exit(3);
            }
            ::_exit(0); // every attempt either succeeded or found the file locked
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    expectOneGeneration(path);
    std::remove(path.c_str());
}

TEST(Processes, KilledWriterLeavesOldOrNewContents) {
    const std::string path = realTodoFile("killed-writer", generation(0, 0));
    std::mt19937 rng(99);
    for (int round = 0; round < 15; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto db = open(path, jet::OpenMode::ReadWrite);
            for (int gen = 1;; ++gen)
                rewrite(db, "Things To Do", generation(round, gen));
        }
        ::usleep(2000 + rng() % 40000);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        expectOneGeneration(path); // opening rolls back an interrupted transaction
    }
    std::remove(path.c_str());
}

} // namespace
