// Crash safety: a fault-injecting file system stops or fails at every write and sync of a
// transaction in turn. After recovery the file passes the check and holds exactly the old or
// the new contents.
#include <gtest/gtest.h>

#include "jet/database.h"
#include "jet/error.h"
#include "pager.h"
#include "test_util.h"

using namespace jettest;
using Fault = MemoryFileSystem::Fault;
using Recovery = MemoryFileSystem::Recovery;
using Change = std::function<void(jet::Database&)>;

namespace {

const std::string kPath = "/db/crash.mdb";

std::vector<Row> rowsNamed(const std::string& prefix, int n) {
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(todo(prefix + " " + std::to_string(i) + " with text enough to fill pages",
                            i % 2 ? "Doe, Jane" : "ADMINISTRATION", "2", 45000 + i, 45300 + i));
    return rows;
}

// Every table and value, to tell the old contents from the new.
std::string describe(jet::Database& db) {
    std::string s;
    for (const auto& t : db.tableNames()) {
        s += "[" + t + "]";
        for (const auto& r : readAll(db, t))
            for (const auto& v : r)
                s += v.toString() + "|";
    }
    return s;
}

void runScenario(const std::string& name, const Change& change) {
    const auto base = todoFile(kPath, rowsNamed("old", 40));
    std::string oldState, newState;
    std::uint64_t total = 0;
    {
        auto fs = base->clone();
        auto db = openIn(fs, kPath);
        oldState = describe(db);
        change(db);
        total = fs->operations();
        newState = describe(db);
    }
    ASSERT_NE(oldState, newState);
    ASSERT_GT(total, 3u);
    for (std::uint64_t at = 1; at <= total; ++at) {
        for (Recovery how : {Recovery::KeepAll, Recovery::DropUnsynced, Recovery::Random}) {
            SCOPED_TRACE(name + ", crash at operation " + std::to_string(at) + " of " +
                         std::to_string(total) + ", recovery " +
                         std::to_string(static_cast<int>(how)));
            auto fs = base->clone();
            {
                auto db = openIn(fs, kPath);
                fs->faultAt(at, Fault::Crash);
                EXPECT_ANY_THROW(change(db));
            }
            fs->crashRecover(how, static_cast<std::uint32_t>(at));
            // Opening rolls a hot journal back, for a reader as for a writer.
            auto db = openIn(fs, kPath,
                             how == Recovery::KeepAll ? jet::OpenMode::ReadOnly
                                                      : jet::OpenMode::ReadWrite);
            EXPECT_FALSE(fs->exists(jet::Pager::journalPath(kPath)));
            const std::string state = describe(db);
            EXPECT_TRUE(state == oldState || state == newState);
            const jet::CheckReport r = db.check();
            EXPECT_TRUE(r.ok()) << (r.problems.empty() ? "" : r.problems.front());
        }
        for (Fault fault : {Fault::Fail, Fault::DiskFull}) {
            SCOPED_TRACE(name + ", failure at operation " + std::to_string(at));
            auto fs = base->clone();
            auto db = openIn(fs, kPath);
            fs->faultAt(at, fault);
            const auto kind = errorKind([&] { change(db); });
            if (kind) {
                EXPECT_EQ(*kind,
                          fault == Fault::Fail ? jet::ErrorKind::Io : jet::ErrorKind::DiskFull);
            }
            db.close();
            // A failure before the new contents were complete on disk leaves the old ones; a
            // failure reported at the very end (retiring the journal) may leave either.
            auto again = openIn(fs, kPath);
            const std::string state = describe(again);
            EXPECT_TRUE(state == newState || (kind && state == oldState));
            EXPECT_TRUE(again.check().ok());
            if (state == oldState) { // the file takes the change now
                change(again);
                EXPECT_EQ(describe(again), newState);
            }
        }
    }
}

TEST(Crash, RewritingATableOrCreatingOneIsAllOrNothing) {
    runScenario("rewrite",
                [](jet::Database& db) { rewrite(db, "Things To Do", rowsNamed("new", 70)); });
    runScenario("create table", [](jet::Database& db) {
        jet::Transaction tx(db);
        db.createTable({"Clients", {{"Client", jet::ColumnType::Text, 150, true, false}}});
        auto rs = db.openTable("Clients");
        appendRows(rs, {{jet::Value::text("Doe, Jane")}});
        tx.commit();
    });
}

TEST(Crash, CreatingADatabaseLeavesNothingOrAWholeFile) {
    std::uint64_t total = 0;
    {
        auto fs = std::make_shared<MemoryFileSystem>();
        createIn(fs, kPath);
        total = fs->operations();
    }
    for (std::uint64_t at = 1; at <= total; ++at)
        for (Recovery how : {Recovery::KeepAll, Recovery::DropUnsynced}) {
            SCOPED_TRACE("crash at operation " + std::to_string(at));
            auto fs = std::make_shared<MemoryFileSystem>();
            fs->faultAt(at, Fault::Crash);
            EXPECT_ANY_THROW(createIn(fs, kPath));
            fs->crashRecover(how);
            if (fs->exists(kPath)) {
                EXPECT_TRUE(openIn(fs, kPath, jet::OpenMode::ReadOnly).check().ok());
            }
        }
}

TEST(Crash, ANewDatabaseIgnoresTheJournalOfADeletedOne) {
    // A save of the old file stops with its journal complete; the user then deletes the file
    // and creates a new one of the same name. The new file must be exactly what a creation
    // without the stale journal makes.
    auto fs = todoFile(kPath, rowsNamed("old", 40));
    const Change save = [](jet::Database& db) { rewrite(db, "Things To Do", rowsNamed("x", 5)); };
    auto probe = fs->clone();
    {
        auto db = openIn(probe, kPath);
        save(db);
    }
    {
        auto db = openIn(fs, kPath);
        fs->faultAt(probe->operations() - 1, Fault::Crash);
        EXPECT_ANY_THROW(save(db));
    }
    fs->crashRecover(Recovery::KeepAll);
    ASSERT_TRUE(fs->exists(jet::Pager::journalPath(kPath)));
    fs->remove(kPath);
    auto clean = std::make_shared<MemoryFileSystem>();
    for (const auto& where : {fs, clean})
        createIn(where, kPath).createTable(thingsToDoSpec());
    EXPECT_FALSE(fs->exists(jet::Pager::journalPath(kPath)));
    EXPECT_EQ(fs->contents(kPath), clean->contents(kPath));
}

} // namespace
