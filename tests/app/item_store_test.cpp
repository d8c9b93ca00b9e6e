// The item store and the database steps the windows share: sorting, the drag-to-swap exchange,
// what a store that was never loaded refuses, and the backup before a file's first change in a
// run.
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

// By a column's text, ignoring case, equal texts in their order.
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
}

// A list never loaded is not stored (the main window's Exit shows the message); one cleared for a
// new file stands for it.
TEST_F(ItemStoreTest, StoresOnlyItemsThatStandForTheFile) {
    app::ItemStore store;
    store.append(item("1", "MARKETING", "kept in the list only"));
    EXPECT_ANY_THROW(store.store(m_path));
    store.clear(true);
    store.append(item("1", "MARKETING", "stored"));
    store.store(m_path);
    EXPECT_EQ(dbtest::rowsOf(db::LoadToDoItems(m_path)),
              (Rows{{"1", "MARKETING", "stored", "", ""}}));
}

// Installed, the backup runs before a file's first change in a run (and only then: the guard's
// own test); one that cannot be made is said once, and the change goes on.
TEST_F(ItemStoreTest, TheFirstChangeOfARunIsBackedUpFirst) {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    app::installBackups();
    const QString backups = data.filePath("tarnwick/backups");
    db::RewriteToDoItems(m_path, {item("1", "MARKETING", "first")});
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
