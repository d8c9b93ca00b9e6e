// Backups of database files (db/backups.h) on real files in a temporary folder: their names and
// listing, rotation against a model, consistency with a journal or a commit in progress, the
// once-per-run guard, restore, and a process killed while it makes backups.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "db/backups.h"
#include "db/file_hold.h"
#include "support/hold_process.h"
#include "test_util.h"

namespace fs = std::filesystem;
using db::Backups;
using TimePoint = Backups::TimePoint;
using namespace std::chrono;

namespace {

// New York's rules written out, so that no time zone data is needed: -0500, -0400 in summer.
constexpr const char* kZone = "EST5EDT,M3.2.0,M11.1.0";

void setZone(const char* zone) {
    ::setenv("TZ", zone, 1);
    ::tzset();
}

TimePoint utc(int y, unsigned m, unsigned d, int h = 0, int min = 0, int s = 0, int ms = 0) {
    return TimePoint(sys_days(year(y) / m / d)) + hours(h) + minutes(min) + seconds(s) +
           milliseconds(ms);
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<jettest::Row> generation(int g, int rows = 20) {
    std::vector<jettest::Row> out;
    for (int i = 0; i < rows; ++i)
        out.push_back(
            jettest::todo("generation " + std::to_string(g) + " item " + std::to_string(i),
                          "Estate of Brown", "2", 46000 + g, 46010 + g));
    return out;
}

jet::Database openFor(const std::string& path, jet::OpenMode mode) {
    return jettest::openIn(nullptr, path, mode, 3000);
}

// The generation the file's to-do rows all belong to (-1 for a mix), after the engine's check.
int generationOf(const std::string& path) {
    auto database = openFor(path, jet::OpenMode::ReadOnly);
    const jet::CheckReport report = database.check();
    EXPECT_TRUE(report.ok()) << path << ": " << report.problems.front();
    const auto rows = jettest::readAll(database, "Things To Do");
    if (rows.empty())
        return -1;
    const int g = std::stoi(rows.front()[0].asText().substr(std::string("generation ").size()));
    return rows == generation(g, static_cast<int>(rows.size())) ? g : -1;
}

class BackupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setZone(kZone);
        std::string pattern = ::testing::TempDir() + "/backups-XXXXXX";
        ASSERT_TRUE(::mkdtemp(pattern.data()));
        dir = pattern;
        folder = dir + "/data/tarnwick/backups";
    }
    void TearDown() override { fs::remove_all(dir); }

    /// A database of generation `g` (`rows` items) at `name` in the test's folder.
    std::string database(const std::string& name, int g = 1, int rows = 20) {
        const std::string path = dir + "/" + name;
        fs::create_directories(fs::path(path).parent_path());
        auto created = jet::Database::create(path);
        created.createTable(jettest::thingsToDoSpec());
        jettest::addRows(created, "Things To Do", generation(g, rows));
        return path;
    }
    void rewrite(const std::string& path, int g, int rows = 20) {
        auto writer = openFor(path, jet::OpenMode::ReadWrite);
        jettest::rewrite(writer, "Things To Do", generation(g, rows));
    }
    /// Backups with a clock that reads `clock`.
    Backups backups() {
        return Backups(folder, [this] { return clock; });
    }
    /// What restoring `backup` over `file` throws as an E, or "restored".
    template <typename E> std::string refusal(const std::string& backup, const std::string& file) {
        try {
            backups().restore(backup, file);
        } catch (const E& e) {
            return e.what();
        }
        return "restored";
    }
    std::vector<std::string> folderNames() const {
        std::vector<std::string> names;
        if (fs::exists(folder))
            for (const auto& e : fs::directory_iterator(folder))
                names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir, folder;
    TimePoint clock = utc(2026, 1, 5, 19, 30, 5, 123);
};

TEST_F(BackupsTest, NamesCarryTheFileNameAHashOfItsPathAndTheLocalTimeWithItsOffset) {
    const std::string a = database("a/TODO.MDB"), b = database("b/TODO.MDB");
    const struct {
        const char* zone;
        TimePoint time;
        const char* ending;
    } cases[] = {
        {kZone, utc(2026, 1, 5, 19, 30, 5, 123), ".2026-01-05_14-30-05.123-0500.mdb"},
        {kZone, utc(2026, 7, 1, 3, 59, 59, 999), ".2026-06-30_23-59-59.999-0400.mdb"},
        {"UTC0", utc(2026, 12, 31, 23, 0, 0, 7), ".2026-12-31_23-00-00.007+0000.mdb"},
        {"IST-5:30", utc(2026, 3, 1, 20, 0), ".2026-03-02_01-30-00.000+0530.mdb"},
    };
    for (const auto& c : cases) {
        setZone(c.zone);
        const std::string name = Backups::nameFor(a, c.time);
        EXPECT_TRUE(name.starts_with("TODO.MDB.")) << name;
        EXPECT_TRUE(name.ends_with(c.ending)) << name;
        EXPECT_EQ(name.size(), std::string("TODO.MDB.12345678").size() + 33) << name;
        EXPECT_NE(name, Backups::nameFor(b, c.time)); // same name, another folder

        // The time comes back from the name exactly.
        clock = c.time;
        auto store = backups();
        const std::string made = store.backUp(a);
        EXPECT_EQ(fs::path(made).filename(), name);
        const auto listed = store.list(a);
        const auto found = std::find_if(listed.begin(), listed.end(),
                                        [&](const db::BackupInfo& i) { return i.path == made; });
        ASSERT_NE(found, listed.end()) << name;
        EXPECT_EQ(found->time, c.time) << name;
    }
    setZone(kZone);

    // Other spellings of a path, a symbolic link included, name the same file.
    fs::create_symlink(a, dir + "/link.mdb");
    const auto now = utc(2026, 1, 1);
    for (const std::string& other :
         {dir + "/a/../a/TODO.MDB", dir + "/a/./TODO.MDB", dir + "//a/TODO.MDB", dir + "/link.mdb"})
        EXPECT_EQ(Backups::nameFor(other, now), Backups::nameFor(a, now)) << other;

    // A long name is cut to 200 bytes, never inside a character (the 200th byte begins the
    // second half of an "é"); the hash still tells files apart.
    std::string longName = "x";
    for (int i = 0; i < 120; ++i)
        longName += "\xC3\xA9";
    const std::string cut = Backups::nameFor(dir + "/" + longName + ".mdb", now);
    EXPECT_EQ(cut.substr(0, 200), longName.substr(0, 199) + ".");
    EXPECT_EQ(cut.size(), 199 + 9 + 33);
    EXPECT_NE(cut, Backups::nameFor(dir + "/" + longName + "x.mdb", now));
}

TEST_F(BackupsTest, ListingShowsOneFilesCompleteBackupsNewestFirst) {
    const std::string a = database("a/TODO.MDB"), b = database("b/TODO.MDB");
    auto store = backups();
    EXPECT_TRUE(store.list(a).empty()); // no folder yet
    std::vector<std::string> made;
    for (int i = 0; i < 3; ++i) {
        rewrite(a, i + 2);
        made.push_back(store.backUp(a));
        clock += minutes(5);
    }
    const std::string fromB = store.backUp(b);
    // What is not a complete backup of `a`: temporaries, other endings, times that are no times.
    const std::string stem = fs::path(made[0]).filename().string().substr(0, 17);
    for (const std::string& junk :
         {"." + stem + ".tmp-abcdef", stem + ".2026-01-05_14-30-05.123-0500.mdb.tmp-abcdef",
          stem + ".2026-13-05_14-30-05.123-0500.mdb", stem + ".2026-02-30_14-30-05.123-0500.mdb",
          stem + ".2026-01-05_14-30-05.123*0500.mdb", stem + ".2026-01-05_14-30-05.123-0500.MDB",
          stem + "x.2026-01-05_14-30-05.123-0500.mdb", std::string("notes.txt")})
        writeBytes(folder + "/" + junk, "junk");
    fs::create_directory(folder + "/" + stem + ".2026-01-06_14-30-05.123-0500.mdb");

    const auto listed = store.list(a);
    ASSERT_EQ(listed.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(listed[i].path, made[2 - i]);
        EXPECT_EQ(listed[i].size, fs::file_size(made[2 - i]));
        EXPECT_EQ(listed[i].time, utc(2026, 1, 5, 19, 30, 5, 123) + minutes(5 * (2 - i)));
    }
    EXPECT_EQ(store.list(b).size(), 1u);
    EXPECT_EQ(store.list(b).front().path, fromB);
    EXPECT_EQ(generationOf(made[0]), 2);
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(made[0]).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// The rotation rule as a user reads it, against the folder after each backup.
std::vector<TimePoint> modelKeeps(std::vector<TimePoint> all) {
    std::sort(all.rbegin(), all.rend());
    auto dayOf = [](TimePoint t) {
        const std::time_t s = system_clock::to_time_t(t);
        std::tm local{};
        ::localtime_r(&s, &local);
        return std::tuple(local.tm_year, local.tm_mon, local.tm_mday);
    };
    std::vector<TimePoint> keep;
    for (std::size_t i = 0; i < all.size(); ++i) {
        bool newestOfItsDay = true; // among those beyond the newest three
        for (std::size_t j = 3; j < i; ++j)
            newestOfItsDay = newestOfItsDay && dayOf(all[j]) != dayOf(all[i]);
        if (i < 3 || newestOfItsDay)
            keep.push_back(all[i]);
    }
    keep.resize(std::min<std::size_t>(keep.size(), 10));
    return keep;
}

TEST_F(BackupsTest, RotationKeepsTheNewestThreeThenOnePerDayAndTenAtMost) {
    const std::string a = database("TODO.MDB"), b = database("other/TODO.MDB");
    std::mt19937 random(7);
    // Gaps from a second to days, across the change to summer time (8 March 2026).
    const seconds gaps[] = {seconds(1), minutes(7), hours(2),     hours(9),
                            hours(23),  hours(26),  hours(24 * 4)};
    clock = utc(2026, 2, 20, 12);
    auto store = backups();
    std::vector<TimePoint> kept;
    const std::string onlyBackupOfB = store.backUp(b);
    for (int i = 0; i < 120; ++i) {
        clock += gaps[random() % std::size(gaps)];
        store.backUp(a);
        kept = modelKeeps([&] {
            auto all = kept;
            all.push_back(clock);
            return all;
        }());
        std::vector<TimePoint> listed;
        for (const auto& backup : store.list(a))
            listed.push_back(backup.time);
        ASSERT_EQ(listed, kept) << "after backup " << i;
    }
    EXPECT_EQ(folderNames().size(), kept.size() + 1); // and nothing else is left behind
    EXPECT_EQ(store.list(b).front().path, onlyBackupOfB);
}

// A journal as the engine writes it (docs/file-format.md): the pages of `old` to put back.
std::string journalOf(const std::string& old, bool complete) {
    std::string j = "TWKJRNL1";
    auto put = [&j](std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            j += static_cast<char>(v >> (8 * i));
    };
    const std::size_t pages = old.size() / 4096;
    put(4096, 4);
    put(old.size(), 8);
    put(pages, 4);
    for (std::size_t p = 0; p < pages; ++p) {
        put(p, 4);
        j += old.substr(p * 4096, 4096);
    }
    std::uint64_t h = 0xCBF29CE484222325ULL;
    for (unsigned char c : j)
        h = (h ^ c) * 0x100000001B3ULL;
    j += "TWKJEND1";
    put(h, 8);
    if (!complete)
        j.resize(j.size() - 1);
    return j;
}

TEST_F(BackupsTest, AJournalLeftByADeadWriterIsRolledBackBeforeTheCopy) {
    for (const bool complete : {true, false}) {
        const std::string a = database(complete ? "hot.mdb" : "cold.mdb", 1);
        const std::string old = bytesOf(a);
        rewrite(a, 2);
        writeBytes(a + "-journal", journalOf(old, complete));
        const std::string backup = backups().backUp(a);
        // A complete journal puts generation 1 back; an incomplete one never touched the file.
        const int expected = complete ? 1 : 2;
        EXPECT_EQ(generationOf(backup), expected) << complete;
        EXPECT_EQ(bytesOf(backup), bytesOf(a));
        EXPECT_EQ(generationOf(a), expected);
        EXPECT_FALSE(fs::exists(a + "-journal"));
        clock += seconds(1);
    }
}

TEST_F(BackupsTest, ACopyWaitsForACommitInProgress) {
    const std::string a = database("TODO.MDB", 1);
    const std::string second = bytesOf(database("second.mdb", 2));
    // A writer committing holds the engine's read lock byte exclusively (jet/pager.h).
    const int writer = ::open(a.c_str(), O_RDWR | O_CLOEXEC);
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0x7FFFFF0000LL;
    fl.l_len = 1;
    ASSERT_EQ(::fcntl(writer, F_OFD_SETLK, &fl), 0);
    std::atomic<bool> done = false;
    std::string backup;
    std::thread copier([&] {
        backup = backups().backUp(a);
        done = true;
    });
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_FALSE(done);
    // The commit's pages land, then the lock goes.
    ASSERT_EQ(::pwrite(writer, second.data(), second.size(), 0),
              static_cast<ssize_t>(second.size()));
    ASSERT_EQ(::ftruncate(writer, static_cast<off_t>(second.size())), 0);
    fl.l_type = F_UNLCK;
    ::fcntl(writer, F_OFD_SETLK, &fl);
    copier.join();
    ::close(writer);
    EXPECT_EQ(bytesOf(backup), second);
}

TEST_F(BackupsTest, FirstWriteGuardBacksUpOncePerFileAndReportsAFailureOnce) {
    const std::string a = database("a.mdb"), b = database("b.mdb");
    fs::create_directories(fs::path(folder).parent_path());
    writeBytes(folder, "a file where the folder should be");
    db::FirstWriteGuard guard(folder, [this] { return clock += seconds(1); });

    const auto first = guard.beforeWrite(a);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->starts_with("No backup of " + a + " could be made before changing it: "))
        << *first;
    EXPECT_EQ(guard.beforeWrite(a), std::nullopt);                    // said once
    EXPECT_TRUE(guard.beforeWrite(b));                                // each file says it once
    EXPECT_EQ(guard.beforeWrite(dir + "/missing.mdb"), std::nullopt); // nothing to lose

    fs::remove(folder);
    EXPECT_EQ(guard.beforeWrite(a), std::nullopt); // tried again, silently, and made
    EXPECT_EQ(guard.beforeWrite(dir + "/./a.mdb"), std::nullopt);
    EXPECT_EQ(backups().list(a).size(), 1u); // once per run
    EXPECT_EQ(guard.beforeWrite(b), std::nullopt);
    EXPECT_EQ(backups().list(b).size(), 1u);
}

TEST_F(BackupsTest, LeftoverTemporariesGoOnceTheirWriterIsGoneAndAMinuteHasPassed) {
    const std::string a = database("TODO.MDB");
    auto store = backups();
    const std::string stem = fs::path(store.backUp(a)).filename().string().substr(0, 17);
    const std::string dead = folder + "/." + stem + ".tmp-dead00",
                      fresh = folder + "/." + stem + ".tmp-fresh0",
                      writing = folder + "/." + stem + ".tmp-live00";
    for (const std::string& t : {dead, fresh, writing})
        writeBytes(t, "part of a copy");
    const auto old = fs::file_time_type::clock::now() - minutes(5);
    fs::last_write_time(dead, old);
    fs::last_write_time(writing, old);
    const int live = ::open(writing.c_str(), O_RDWR | O_CLOEXEC);
    struct flock fl {};
    fl.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(live, F_OFD_SETLK, &fl), 0);

    EXPECT_EQ(store.list(a).size(), 1u); // never listed
    clock += hours(1);
    store.backUp(a);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_TRUE(fs::exists(writing));
    ::close(live);
}

TEST_F(BackupsTest, RestoreLeavesNoJournalThatCouldUndoIt) {
    const std::string a = database("TODO.MDB", 1);
    const std::string old = bytesOf(a);
    const std::string backup = backups().backUp(database("source/TODO.MDB", 3));
    for (const bool fileExists : {true, false}) {
        // A journal of generation 1 beside generation 2, or beside no file at all.
        rewrite(a, 2);
        writeBytes(a + "-journal", journalOf(old, true));
        if (!fileExists)
            fs::remove(a);
        clock += minutes(1);
        const auto previous = backups().restore(backup, a);
        EXPECT_EQ(previous.has_value(), fileExists);
        if (previous) {
            EXPECT_EQ(generationOf(*previous), 1); // the journal was the truth
        }
        EXPECT_FALSE(fs::exists(a + "-journal"));
        EXPECT_EQ(generationOf(a), 3);
        EXPECT_EQ(bytesOf(a), bytesOf(backup));
    }
}

TEST_F(BackupsTest, RestoreRefusesAFileInUseABadBackupOrAFileItCannotKeep) {
    const std::string a = database("TODO.MDB", 1);
    const std::string good = backups().backUp(database("source.mdb", 2));
    const std::string before = bytesOf(a);
    auto expectUnchanged = [&](const std::string& why) {
        EXPECT_EQ(bytesOf(a), before) << why;
        EXPECT_TRUE(backups().list(a).empty()) << why;
        for (const auto& e : fs::directory_iterator(dir))
            EXPECT_EQ(e.path().string().find(".restoring-"), std::string::npos) << why;
    };
    {
        const support::HoldProcess window(a);
        ASSERT_EQ(window.firstLine(), "held");
        const std::string said = refusal<db::FileInUse>(good, a);
        EXPECT_TRUE(said.starts_with(a + " is open in another Tarnwick")) << said;
        expectUnchanged("in use");
    }
    const std::string goodBytes = bytesOf(good);
    const struct {
        const char* what;
        std::string bytes; // the backup's; none for a missing backup
        const char* says;
    } bad[] = {
        {"missing", "", "No such file"},
        {"empty", std::string(), "empty"},
        {"not a database", std::string(8192, 'x'), ""},
        {"cut short", goodBytes.substr(0, 2 * 4096), ""},
    };
    for (const auto& c : bad) {
        const std::string backup = dir + "/bad-" + std::to_string(&c - bad) + ".mdb";
        if (std::string(c.what) != "missing")
            writeBytes(backup, c.bytes);
        const std::string said = refusal<db::BackupError>(backup, a);
        EXPECT_TRUE(said.starts_with("'" + backup + "' cannot be restored: ")) << said;
        EXPECT_NE(said.find(c.says), std::string::npos) << said;
        expectUnchanged(c.what);
    }
    // A file that cannot be backed up is not replaced: the user moves it away first.
    writeBytes(a, "damaged beyond reading");
    EXPECT_NE(refusal<db::BackupError>(good, a).find("Move it elsewhere"), std::string::npos);
    EXPECT_EQ(bytesOf(a), "damaged beyond reading");
}

// A process making backups (and changing the file between them) killed at random moments:
// the file and every backup under a backup name stay whole.
TEST_F(BackupsTest, KilledWhileBackingUpLeavesTheFileAndEveryBackupWhole) {
    // Large enough that copying its bytes takes a good part of each backup.
    constexpr int kRows = 4000;
    const std::string a = database("TODO.MDB", 1, kRows);
    std::mt19937 random(11);
    int leftovers = 0;
    std::set<std::string> checked;
    for (int round = 0; round < 20; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                Backups store(folder);
                for (int g = 1;; ++g) {
                    if (g % 4 == 0)
                        rewrite(a, round * 1000 + g, kRows);
                    store.backUp(a);
                }
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
                ::_exit(3);
            }
        }
        ::usleep(5000 + random() % 60000);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "round " << round;

        EXPECT_NE(generationOf(a), -1) << "round " << round;
        const auto listed = Backups(folder).list(a);
        EXPECT_LE(listed.size(), Backups::kKeepAtMost);
        for (const auto& backup : listed) {
            if (!checked.insert(backup.path).second)
                continue; // whole when first seen, and not written since
            EXPECT_NE(generationOf(backup.path), -1) << backup.path;
            auto copy = openFor(backup.path, jet::OpenMode::ReadOnly);
            for (const std::string& table : copy.allTableNames())
                jettest::readAll(copy, table);
        }
        leftovers += static_cast<int>(folderNames().size() - listed.size());
    }
    RecordProperty("leftover temporaries", leftovers);
}

} // namespace
