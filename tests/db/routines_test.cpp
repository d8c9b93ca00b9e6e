// The validity test, the creation of a new database and the loading of the reference lists,
// against real files in a temporary folder, with the platform's fakes recording the messages.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "memory_fs.h"
#include "platform/error.h"
#include "support/fake_platform.h"

using namespace dbtest;
using platform::fakes::FakePlatform;

namespace {

QStringList qtList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts)
        list.append(QString::fromStdString(text));
    return list;
}

QStringList column(const QString& path, const char* table) {
    QStringList texts;
    for (const auto& row : tableRows(path, table))
        texts.append(QString::fromStdString(row.at(0)));
    return texts;
}

class Routines : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString newDatabase(const QString& name) {
        db::schema::createDatabase(db::enginePath(path(name)));
        return path(name);
    }
    /// Whether exactly one message was shown since the last call, starting with `start` and at
    /// least `length` long.
    ::testing::AssertionResult shownOnce(const QString& start, qsizetype length = 0) {
        const QStringList texts = m_fakes.messageBoxes.texts();
        m_fakes.messageBoxes.clear();
        if (texts.size() == 1 && texts[0].startsWith(start) && texts[0].size() >= length)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << texts.join(" | ").toStdString();
    }

    QTemporaryDir m_dir;
    FakePlatform m_fakes{platform::fakes::FakeFiles::Mode::RealFileSystem};
};

TEST_F(Routines, NewDatabaseHoldsTheDefaultListsInOrderAndPassesTheValidityTest) {
    QString file = path("new;one, two.mdb");
    QStringList entered;
    EXPECT_TRUE(db::CreateNewDatabase(file, [&](QString& p) { entered.append(p); }));
    EXPECT_EQ(entered, QStringList{file});
    EXPECT_EQ(column(file, "Activities"), qtList(db::schema::defaultActivities()));
    EXPECT_EQ(column(file, "Projects"), qtList(db::schema::defaultProjects()));
    EXPECT_TRUE(tableRows(file, "Clients").empty() && tableRows(file, "Things To Do").empty());
    EXPECT_TRUE(db::IsValidDatabase(file));
    EXPECT_TRUE(m_fakes.messageBoxes.calls().isEmpty());
    EXPECT_FALSE(db::CreationDatabase.has_value());
    EXPECT_FALSE(QFileInfo::exists(file + "-journal"));
    // The shared connection's text gives back a path with the text's own separators in it.
    const QString odd = "/home/pat/a;b=c/Data Source=x.mdb";
    EXPECT_EQ(db::dataSourceOf(db::connectionText(odd)), odd);
    EXPECT_THROW(db::dataSourceOf("Provider=Microsoft.Jet.OLEDB.4.0;"), std::exception);
}

TEST_F(Routines, FailedCreationReportsAndLeavesTheRecentListAlone) {
    writeBytes(path("taken.mdb"), "not a database");
    const std::function<void(QString&)> refuse = [](QString&) {
        throw platform::Error("The settings cannot be saved.");
    };
    // The engine's description names the file asked for, not the temporary one.
    const std::tuple<QString, std::function<void(QString&)>, QString> cases[] = {
        {path("taken.mdb"), nullptr, "Could not create '" + path("taken.mdb") + "':"},
        {path("no folder/x.mdb"), nullptr, "Could not create '" + path("no folder/x.mdb") + "':"},
        {path("ok.mdb"), refuse, "The settings cannot be saved."},
    };
    for (const auto& [file, update, description] : cases) {
        int calls = 0;
        EXPECT_FALSE(db::CreateNewDatabase(file, [&](QString& p) {
            ++calls;
            if (update)
                update(p);
        }));
        EXPECT_TRUE(shownOnce("Error in creating a new Tarnwick: " + description));
        EXPECT_EQ(calls, update ? 1 : 0);
    }
    EXPECT_EQ(fileBytes(path("taken.mdb")), "not a database");
}

// Every write, sync, rename and removal of a creation fails in turn.
TEST_F(Routines, CreationFailingPartWayLeavesTheRecentListAlone) {
    using jettest::MemoryFileSystem;
    auto probe = std::make_shared<MemoryFileSystem>();
    db::setFileSystemForTesting(probe);
    ASSERT_TRUE(db::CreateNewDatabase("/db/probe.mdb", nullptr));
    for (std::uint64_t n = 1; n <= probe->operations(); ++n) {
        auto files = std::make_shared<MemoryFileSystem>();
        files->faultAt(n, MemoryFileSystem::Fault::Fail);
        db::setFileSystemForTesting(files);
        int updates = 0;
        const bool created = db::CreateNewDatabase("/db/new.mdb", [&](QString&) { ++updates; });
        EXPECT_EQ(updates, created ? 1 : 0) << "failure " << n;
        if (!created) {
            EXPECT_TRUE(shownOnce("Error in creating a new Tarnwick: ")) << "failure " << n;
        }
        EXPECT_TRUE(m_fakes.messageBoxes.calls().isEmpty()) << "failure " << n;
    }
    db::setFileSystemForTesting(nullptr);
}

// Not valid, with the one message and the file unchanged: every sample file (none has the
// four tables), an empty and a cut file (the engine's tests cover each kind of damage), a
// missing file, a folder, one with three of the tables, a file with a database password, and a
// file another program holds. Valid: the four tables whatever their fields, with others.
TEST_F(Routines, OnlyFilesWithTheFourTablesAreValidAndTheTestChangesNothing) {
    QStringList files;
    for (const QString& name : QDir(fixture("")).entryList({"*.mdb"}, QDir::Files))
        files.append(fixture(name));
    ASSERT_GE(files.size(), 13);
    const QByteArray good = fileBytes(newDatabase("good.mdb"));
    writeBytes(path("empty.mdb"), {});
    writeBytes(path("half.mdb"), good.left(good.size() / 2));
    makeDatabase(path("three.mdb"), {{"Clients", {textField("Client")}},
                                     {"Activities", {textField("Activity")}},
                                     {"Projects", {textField("Project")}}});
    QDir(m_dir.path()).mkdir("folder.mdb");
    const QString password = path("with password.mdb");
    ASSERT_TRUE(QFile::copy(fixture("V2000_with-password.mdb"), password));
    QFile::setPermissions(password, QFile::ReadOwner | QFile::WriteOwner);
    for (const jet::TableSpec& table : db::schema::tables())
        openForWriting(password).createTable(table);
    QString held = newDatabase("held.mdb");
    jet::OpenOptions exclusive;
    exclusive.mode = jet::OpenMode::Exclusive;
    exclusive.lockTimeoutMs = 0;
    jet::Database holder = jet::Database::open(db::enginePath(held), exclusive);
    for (const char* name : {"empty.mdb", "half.mdb", "three.mdb", "folder.mdb", "missing.mdb"})
        files.append(path(name));
    files << password << held;
    for (QString file : files) {
        const QByteArray before = fileBytes(file);
        EXPECT_FALSE(db::IsValidDatabase(file)) << file.toStdString();
        EXPECT_EQ(m_fakes.messageBoxes.texts(),
                  QStringList{file + " is not a valid Tarnwick database."});
        m_fakes.messageBoxes.clear();
        EXPECT_EQ(fileBytes(file), before) << file.toStdString();
        EXPECT_FALSE(db::SharedConnection || db::SharedRecordset);
    }
    holder.close();
    QString other = path("other fields.mdb");
    makeDatabase(other, {{"Projects", {textField("Name"), textField("Owner")}},
                         {"Clients", {textField("Whoever", 20)}},
                         {"Extra", {textField("X")}},
                         {"Activities", {textField("A")}},
                         {"Things To Do", {textField("B")}}});
    EXPECT_TRUE(db::IsValidDatabase(held) && db::IsValidDatabase(other));
    EXPECT_TRUE(m_fakes.messageBoxes.calls().isEmpty());
}

TEST_F(Routines, ReferenceListsKeepStoredOrderAndEmptyTheActivities) {
    const QString file = newDatabase("lists.mdb");
    addRecords(file, "Clients",
               {{{"Client", text("Zimmer, Ann")}}, {{"Client", text("Abel, Bo")}}});
    db::ReferenceLists lists = {QStringList{"old"}, QStringList{"Attend"}, QStringList{"old"}};
    db::LoadReferenceLists(file, lists);
    EXPECT_EQ(lists, (db::ReferenceLists{QStringList{"Zimmer, Ann", "Abel, Bo"}, QStringList{},
                                         qtList(db::schema::defaultProjects())}));
    makeDatabase(path("empty lists.mdb"), db::schema::tables());
    db::LoadReferenceLists(path("empty lists.mdb"), lists);
    EXPECT_EQ(lists, db::ReferenceLists{});
    EXPECT_TRUE(m_fakes.messageBoxes.calls().isEmpty());
    EXPECT_FALSE(db::SharedConnection || db::SharedRecordset);
}

TEST_F(Routines, ReferenceListFailuresKeepWhatWasLoadedBeforeThem) {
    const db::ReferenceLists before = {QStringList{"c"}, QStringList{"a"}, QStringList{"p"}};
    const jet::TableSpec clients{"Clients", {textField("Client")}};
    const jet::TableSpec activities{"Activities", {textField("Activity")}};
    const jet::TableSpec projects{"Projects", {textField("Project")}};
    makeDatabase(path("no projects.mdb"), {clients, activities});
    addRecords(path("no projects.mdb"), "Clients", {{{"Client", text("Doe, Jane")}}});
    makeDatabase(path("no clients.mdb"), {activities, projects});
    makeDatabase(path("null client.mdb"), {clients, activities, projects});
    addRecords(path("null client.mdb"), "Clients",
               {{{"Client", text("Doe, Jane")}}, {}, {{"Client", text("Roe, Rick")}}});
    writeBytes(path("garbage.mdb"), "garbage");
    const db::ReferenceLists doe = {QStringList{"Doe, Jane"}, {}, {}};
    const std::pair<const char*, db::ReferenceLists> cases[] = {
        {"no projects.mdb", doe}, {"no clients.mdb", before}, {"null client.mdb", doe},
        {"garbage.mdb", before},  {"missing.mdb", before},
    };
    for (const auto& [file, expected] : cases) {
        db::ReferenceLists lists = before;
        db::LoadReferenceLists(path(file), lists);
        EXPECT_EQ(lists, expected) << file;
        EXPECT_TRUE(shownOnce("Error in populating initial lists: ", 40)) << file; // and why
        EXPECT_FALSE(db::SharedConnection || db::SharedRecordset);
    }
}

} // namespace
