// The item store and the database steps the windows share: sorting, the drag-to-swap exchange,
// what a store that was never loaded refuses, and the messages the program shows for the
// routines' outcomes, the backup before a file's first change in a run included.
#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "app/database_steps.h"
#include "app/item_store.h"
#include "db/backups.h"
#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "support/fake_platform.h"

using dbtest::item;
using dbtest::Rows;

namespace {

class ItemStoreTest : public ::testing::Test {
protected:
    ItemStoreTest() { db::schema::createDatabase(db::enginePath(m_path)); }
    QTemporaryDir m_dir;
    const QString m_path = m_dir.filePath("items.mdb");
    dbtest::LocaleGuard m_locale{QLocale::c()};
    platform::fakes::FakePlatform m_fakes{platform::fakes::FakeFiles::Mode::RealFileSystem};
};

// By a column's text, ignoring case, equal texts in their order; dates by their characters.
TEST_F(ItemStoreTest, SortsByTheShownTextIgnoringCaseAndKeepsTies) {
    app::ItemStore store;
    for (const char* name : {"b", "A", "a", "B", "a"})
        store.append(item(QString::number(store.size() + 1), name, ""));
    QSignalSpy reordered(&store, &app::ItemStore::reordered);
    store.sort(db::Column::Party, false);
    auto order = [&store] {
        QStringList texts;
        for (const db::ToDoItem& each : store.items())
            texts.append(each.priority.text() + each.party);
        return texts;
    };
    EXPECT_EQ(order(), (QStringList{"2A", "3a", "5a", "1b", "4B"}));
    EXPECT_EQ(reordered.count(), 1);
    store.sort(db::Column::Party, true);
    EXPECT_EQ(order(), (QStringList{"1b", "4B", "2A", "3a", "5a"}));

    app::ItemStore dates;
    for (const auto& [month, day] : {std::pair{9, 30}, {10, 1}, {12, 5}})
        dates.append(item("1", "x", "", std::nullopt, dbtest::storedDate(2026, month, day)));
    dates.sort(db::Column::Deadline, false);
    EXPECT_EQ(dbtest::rowsOf(dates.items()).at(0).at(4), "10/1/2026");
}

// The drag-to-swap gesture: all but the priorities, and nothing for rows that are not there.
TEST_F(ItemStoreTest, ExchangesAllButThePriority) {
    app::ItemStore store;
    store.append(item("1", "Doe, Jane", "Call", 46000, 46010));
    store.append(item("2", "MARKETING", "Plan"));
    const Rows before = dbtest::rowsOf(store.items());
    for (const auto& [a, b] : {std::pair{0, 0}, {0, 2}, {-1, 1}})
        store.exchangeAllButPriority(a, b);
    EXPECT_EQ(dbtest::rowsOf(store.items()), before);
    store.exchangeAllButPriority(1, 0);
    EXPECT_EQ(dbtest::rowsOf(store.items()),
              (Rows{{"1", "MARKETING", "Plan", "", ""},
                    {"2", "Doe, Jane", "Call", "12/9/2025", "12/19/2025"}}));
}

// Items that could not be read are never stored over the file's; loaded ones are.
TEST_F(ItemStoreTest, StoresOnlyItemsThatStandForTheFile) {
    app::ItemStore store;
    dbtest::writeBytes(m_dir.filePath("junk.mdb"), "junk");
    EXPECT_ANY_THROW(store.load(m_dir.filePath("junk.mdb")));
    EXPECT_FALSE(store.loaded());
    store.append(item("1", "MARKETING", "kept in the list only"));
    try {
        store.store(m_path);
        ADD_FAILURE() << "a list never loaded was stored";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "The to-do items of " + m_path.toStdString() +
                                             " were never loaded, so the list was not stored "
                                             "there.");
    }
    EXPECT_TRUE(db::LoadToDoItems(m_path).empty());
    store.clear(true);
    store.append(item("1", "MARKETING", "stored"));
    store.store(m_path);
    store.load(m_path);
    EXPECT_EQ(dbtest::rowsOf(store.items()), (Rows{{"1", "MARKETING", "stored", "", ""}}));
}

// What the program tells of the routines' outcomes, each in its own words.
TEST_F(ItemStoreTest, DatabaseStepsTellTheOutcomeInTheProgramsWords) {
    dbtest::writeBytes(m_dir.filePath("junk.mdb"), "junk");
    EXPECT_TRUE(app::checkDatabase(m_path));
    EXPECT_FALSE(app::checkDatabase(m_dir.filePath("junk.mdb")));
    EXPECT_FALSE(app::createDatabase(m_dir.filePath("junk.mdb")));
    app::checkReferenceLists(m_dir.filePath("junk.mdb"));
    const QStringList shown = m_fakes.messageBoxes.texts();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], m_dir.filePath("junk.mdb") + " is not a valid Tarnwick database.");
    EXPECT_TRUE(shown[1].startsWith("Error in creating a new Tarnwick: Could not create"));
    EXPECT_TRUE(shown[2].startsWith("Error in populating initial lists: "));
    EXPECT_TRUE(m_fakes.settings.writes().isEmpty());

    EXPECT_TRUE(app::createDatabase(m_dir.filePath("new.mdb")));
    EXPECT_EQ(m_fakes.settings.value("MostRecentToDoDatabases", "First"),
              m_dir.filePath("new.mdb"));
}

// Installed, the backup runs before a file's first change in a run and not again; one that
// cannot be made is said once, and the change goes on.
TEST_F(ItemStoreTest, TheFirstChangeOfARunIsBackedUpFirst) {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    app::installBackups();
    const QString backups = data.filePath("tarnwick/backups");
    db::RewriteToDoItems(m_path, {item("1", "MARKETING", "first")});
    db::RewriteToDoItems(m_path, {item("2", "MARKETING", "second")});
    const QStringList made = QDir(backups).entryList(QDir::Files);
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made[0].startsWith("items.mdb."));
    EXPECT_TRUE(db::LoadToDoItems(backups + "/" + made[0]).empty()) << "the file before";

    // A data folder where the backups' folder cannot be made, even by root.
    const QString other = m_dir.filePath("other.mdb");
    db::schema::createDatabase(db::enginePath(other));
    dbtest::writeBytes(data.filePath("blocked"), "a file, not a folder");
    qputenv("XDG_DATA_HOME", data.filePath("blocked").toUtf8());
    db::RewriteToDoItems(other, {item("1", "MARKETING", "stored all the same")});
    db::RewriteToDoItems(other, {item("1", "MARKETING", "and again")});
    db::setBeforeChange(nullptr);
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(dbtest::rowsOf(db::LoadToDoItems(other)).at(0).at(2), "and again");
    ASSERT_EQ(m_fakes.messageBoxes.texts().size(), 1);
    EXPECT_TRUE(m_fakes.messageBoxes.texts()[0].startsWith("No backup of " + other));
}

} // namespace
