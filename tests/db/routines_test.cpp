// The validity test, the creation of a new database and the loading of the reference lists,
// against real files in a temporary folder. The routines show nothing: they return or throw.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <functional>

#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "memory_fs.h"

using namespace dbtest;

namespace {

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

    QTemporaryDir m_dir;
};

// What a routine's exception says.
std::string failureOf(const std::function<void()>& routine) {
    try {
        routine();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no failure)";
}

TEST_F(Routines, NewDatabaseHoldsTheDefaultListsInOrderAndPassesTheValidityTest) {
    QString file = path("new;one, two.mdb");
    db::CreateNewDatabase(file);
    EXPECT_EQ(column(file, "Activities"), qtList(db::schema::defaultActivities()));
    EXPECT_EQ(column(file, "Projects"), qtList(db::schema::defaultProjects()));
    EXPECT_TRUE(tableRows(file, "Clients").empty() && tableRows(file, "Things To Do").empty());
    EXPECT_TRUE(db::IsValidDatabase(file));
    EXPECT_FALSE(QFileInfo::exists(file + "-journal"));
}

// The engine's description names the file asked for, not the temporary one; an existing file
// is never replaced.
TEST_F(Routines, FailedCreationSaysWhyAndLeavesAnExistingFileAlone) {
    writeBytes(path("taken.mdb"), "not a database");
    for (const QString& file : {path("taken.mdb"), path("no folder/x.mdb")})
        EXPECT_EQ(failureOf([&] {
                      db::CreateNewDatabase(file);
                  }).rfind("Could not create '" + file.toStdString() + "':", 0),
                  0u);
    EXPECT_EQ(fileBytes(path("taken.mdb")), "not a database");
}

// Every write, sync, rename and removal of a creation fails in turn: the creation throws, or
// the database it reports made is valid.
TEST_F(Routines, CreationFailingPartWayThrows) {
    using jettest::MemoryFileSystem;
    auto probe = std::make_shared<MemoryFileSystem>();
    db::setFileSystemForTesting(probe);
    db::CreateNewDatabase("/db/probe.mdb");
    for (std::uint64_t n = 1; n <= probe->operations(); ++n) {
        auto files = std::make_shared<MemoryFileSystem>();
        files->faultAt(n, MemoryFileSystem::Fault::Fail);
        db::setFileSystemForTesting(files);
        bool created = true;
        try {
            db::CreateNewDatabase("/db/new.mdb");
        } catch (const std::exception&) {
            created = false;
        }
        if (created) {
            db::setFileSystemForTesting(files);
            EXPECT_TRUE(db::IsValidDatabase("/db/new.mdb")) << "failure " << n;
        }
    }
    db::setFileSystemForTesting(nullptr);
}

// Not valid, the file unchanged: every sample file (none has the
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
    jet::Database holder = jet::Database::open(
        db::enginePath(held),
        {.mode = jet::OpenMode::Exclusive, .lockTimeoutMs = 0, .fileSystem = nullptr});
    for (const char* name : {"empty.mdb", "half.mdb", "three.mdb", "folder.mdb", "missing.mdb"})
        files.append(path(name));
    files << password << held;
    for (QString file : files) {
        const QByteArray before = fileBytes(file);
        EXPECT_FALSE(db::IsValidDatabase(file)) << file.toStdString();
        EXPECT_EQ(fileBytes(file), before) << file.toStdString();
    }
    holder.close();
    QString other = path("other fields.mdb");
    makeDatabase(other, {{"Projects", {textField("Name"), textField("Owner")}},
                         {"Clients", {textField("Whoever", 20)}},
                         {"Extra", {textField("X")}},
                         {"Activities", {textField("A")}},
                         {"Things To Do", {textField("B")}}});
    EXPECT_TRUE(db::IsValidDatabase(held) && db::IsValidDatabase(other));
}

// The lists in stored order, each empty when its table is; a list that cannot be read says why.
TEST_F(Routines, ReferenceListsKeepStoredOrderOrThrowAndSayWhy) {
    const QString file = newDatabase("lists.mdb");
    addRecords(file, "Clients",
               {{{"Client", text("Zimmer, Ann")}}, {{"Client", text("Abel, Bo")}}});
    EXPECT_EQ(db::LoadReferenceLists(file),
              (db::ReferenceLists{QStringList{"Zimmer, Ann", "Abel, Bo"}, QStringList{},
                                  qtList(db::schema::defaultProjects())}));
    makeDatabase(path("empty lists.mdb"), db::schema::tables());
    EXPECT_EQ(db::LoadReferenceLists(path("empty lists.mdb")), db::ReferenceLists{});

    const jet::TableSpec clients{"Clients", {textField("Client")}};
    const jet::TableSpec activities{"Activities", {textField("Activity")}};
    const jet::TableSpec projects{"Projects", {textField("Project")}};
    makeDatabase(path("no projects.mdb"), {clients, activities});
    makeDatabase(path("no clients.mdb"), {activities, projects});
    makeDatabase(path("null client.mdb"), {clients, activities, projects});
    addRecords(path("null client.mdb"), "Clients",
               {{{"Client", text("Doe, Jane")}}, {}, {{"Client", text("Roe, Rick")}}});
    writeBytes(path("garbage.mdb"), "garbage");
    for (const char* name :
         {"no projects.mdb", "no clients.mdb", "null client.mdb", "garbage.mdb", "missing.mdb"})
        EXPECT_GE(failureOf([&] { db::LoadReferenceLists(path(name)); }).size(), 20u) << name;
    EXPECT_EQ(failureOf([&] { db::LoadReferenceLists(path("null client.mdb")); }),
              "A row of the table 'Clients' has no value in the field 'Client'.");
}

} // namespace
