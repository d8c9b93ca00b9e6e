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

namespace {

const std::string kPath = "/db/crash.mdb";

std::vector<Row> rowsNamed(const std::string& prefix, int n) {
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(todo(prefix + " " + std::to_string(i) + " with text enough to fill pages",
                            i % 2 ? "Doe, Jane" : "ADMINISTRATION", "2", 45000 + i, 45300 + i));
    return rows;
}

struct Scenario {
    const char* name;
    std::function<void(jet::Database&)> change;
    // Reads what the test compares: old and new states must differ in it.
    std::function<std::string(jet::Database&)> state;
};

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

void runScenario(const Scenario& sc, const std::shared_ptr<MemoryFileSystem>& base) {
    std::string oldState, newState;
    {
        auto db = openIn(base, kPath, jet::OpenMode::ReadOnly);
        oldState = sc.state(db);
    }
    std::uint64_t total = 0;
    {
        auto fs = base->clone();
        auto db = openIn(fs, kPath);
        sc.change(db);
        total = fs->operations();
        newState = sc.state(db);
    }
    ASSERT_NE(oldState, newState);
    ASSERT_GT(total, 3u);
    for (std::uint64_t at = 1; at <= total; ++at) {
        for (Recovery how : {Recovery::KeepAll, Recovery::DropUnsynced, Recovery::Random}) {
            SCOPED_TRACE(std::string(sc.name) + ", crash at operation " + std::to_string(at) +
                         " of " + std::to_string(total) + ", recovery " +
                         std::to_string(static_cast<int>(how)));
            auto fs = base->clone();
            {
                auto db = openIn(fs, kPath);
                fs->faultAt(at, Fault::Crash);
                EXPECT_ANY_THROW(sc.change(db));
            }
            fs->crashRecover(how, static_cast<std::uint32_t>(at));
            auto db = openIn(fs, kPath); // rolls a hot journal back
            EXPECT_FALSE(fs->exists(jet::Pager::journalPath(kPath)));
            const std::string state = sc.state(db);
            EXPECT_TRUE(state == oldState || state == newState);
            const jet::CheckReport r = db.check();
            EXPECT_TRUE(r.ok()) << (r.problems.empty() ? "" : r.problems.front());
        }
        for (Fault fault : {Fault::Fail, Fault::DiskFull}) {
            SCOPED_TRACE(std::string(sc.name) + ", failure at operation " + std::to_string(at));
            auto fs = base->clone();
            auto db = openIn(fs, kPath);
            fs->faultAt(at, fault);
            bool failed = false;
            try {
                sc.change(db);
            } catch (const jet::Error& e) {
                failed = true;
                if (fault == Fault::DiskFull) {
                    EXPECT_EQ(e.kind(), jet::ErrorKind::DiskFull) << e.what();
                }
            }
            db.close();
            auto again = openIn(fs, kPath);
            // A failure before the new contents were complete on disk leaves the old ones; a
            // failure reported at the very end (retiring the journal) may leave either.
            const std::string state = sc.state(again);
            if (failed) {
                EXPECT_TRUE(state == oldState || state == newState);
            } else {
                EXPECT_EQ(state, newState);
            }
            EXPECT_TRUE(again.check().ok());
            // The file takes the change now, unless it already holds it.
            if (state == oldState) {
                sc.change(again);
                EXPECT_EQ(sc.state(again), newState);
            }
        }
    }
}

std::shared_ptr<MemoryFileSystem> baseDatabase() {
    auto fs = std::make_shared<MemoryFileSystem>();
    auto db = createIn(fs, kPath);
    db.createTable(thingsToDoSpec());
    addRows(db, "Things To Do", rowsNamed("old", 40));
    return fs;
}

TEST(Crash, RewriteOfATableIsAllOrNothing) {
    runScenario({"rewrite",
                 [](jet::Database& db) { rewrite(db, "Things To Do", rowsNamed("new", 70)); },
                 describe},
                baseDatabase());
}

TEST(Crash, CreatingATableIsAllOrNothing) {
    runScenario(
        {"create table",
         [](jet::Database& db) {
             jet::Transaction tx(db);
             db.createTable({"Clients", {{"Client", jet::ColumnType::Text, 150, true, false}}});
             auto rs = db.openTable("Clients");
             rs.addNew();
             rs.setField("Client", jet::Value::text("Doe, Jane"));
             rs.update();
             tx.commit();
         },
         describe},
        baseDatabase());
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
    auto fs = baseDatabase();
    std::uint64_t total = 0;
    {
        auto probe = fs->clone();
        auto db = openIn(probe, kPath);
        probe->resetCount();
        rewrite(db, "Things To Do", rowsNamed("gone", 5));
        total = probe->operations();
    }
    {
        auto db = openIn(fs, kPath);
        fs->faultAt(total - 1, Fault::Crash);
        EXPECT_ANY_THROW(rewrite(db, "Things To Do", rowsNamed("gone", 5)));
    }
    fs->crashRecover(Recovery::KeepAll);
    ASSERT_TRUE(fs->exists(jet::Pager::journalPath(kPath)));
    fs->remove(kPath);
    auto clean = std::make_shared<MemoryFileSystem>();
    for (const auto& where : {fs, clean}) {
        auto db = createIn(where, kPath);
        db.createTable(thingsToDoSpec());
    }
    EXPECT_FALSE(fs->exists(jet::Pager::journalPath(kPath)));
    EXPECT_EQ(fs->contents(kPath), clean->contents(kPath));
}

} // namespace
