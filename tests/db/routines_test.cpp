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

// A default list of the schema as the routines return it.
QStringList defaults(const std::vector<std::string>& texts) {
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
        const QString file = path(name);
        db::schema::createDatabase(db::enginePath(file));
        return file;
    }

    QTemporaryDir m_dir;
    FakePlatform m_fakes{platform::fakes::FakeFiles::Mode::RealFileSystem};
};

TEST_F(Routines, ConnectionTextNamesThePathToTheEnd) {
    const QString odd = "/home/pat/a;b=c/Data Source=x.mdb";
    EXPECT_EQ(db::connectionText("/tmp/TODO.MDB"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data "
              "Source=/tmp/TODO.MDB");
    EXPECT_EQ(db::dataSourceOf(db::connectionText(odd)), odd);
    EXPECT_THROW(db::dataSourceOf("Provider=Microsoft.Jet.OLEDB.4.0;"), std::exception);
}

TEST_F(Routines, NewDatabaseHoldsTheDefaultListsInOrderAndPassesTheValidityTest) {
    QString file = path("new;one, two.mdb");
    QStringList entered;
    EXPECT_TRUE(db::CreateNewDatabase(file, [&](QString& p) { entered.append(p); }));

    EXPECT_EQ(entered, QStringList{file});
    EXPECT_EQ(column(file, "Activities"), defaults(db::schema::defaultActivities()));
    EXPECT_EQ(column(file, "Projects"), defaults(db::schema::defaultProjects()));
    EXPECT_TRUE(tableRows(file, "Clients").empty());
    EXPECT_TRUE(tableRows(file, "Things To Do").empty());
    EXPECT_TRUE(db::IsValidDatabase(file));
    EXPECT_TRUE(m_fakes.messageBoxes.calls().isEmpty());
    EXPECT_FALSE(db::CreationDatabase.has_value());
    EXPECT_FALSE(QFileInfo::exists(file + "-journal"));
}

TEST_F(Routines, FailedCreationReportsAndLeavesTheRecentListAlone) {
    writeBytes(path("taken.mdb"), "not a database");
    struct Case {
        QString path;
        std::function<void(QString&)> update;
        QString description; // start of the description after the prefix
    };
    const Case cases[] = {
        // The engine's description names the file asked for, not the temporary one.
        {path("taken.mdb"), nullptr, "Could not create '" + path("taken.mdb") + "':"},
        {path("no folder/x.mdb"), nullptr, "Could not create '" + path("no folder/x.mdb") + "':"},
        {path("ok.mdb"), [](QString&) { throw platform::Error("The settings cannot be saved."); },
         "The settings cannot be saved."},
    };
    for (const Case& c : cases) {
        m_fakes.messageBoxes.clear();
        int calls = 0;
        const bool created = db::CreateNewDatabase(c.path, [&](QString& p) {
            ++calls;
            if (c.update)
                c.update(p);
        });
        EXPECT_FALSE(created) << c.path.toStdString();
        ASSERT_EQ(m_fakes.messageBoxes.texts().size(), 1);
        EXPECT_TRUE(m_fakes.messageBoxes.texts()[0].startsWith(
            "Error in creating a new Tarnwick: " + c.description))
            << m_fakes.messageBoxes.texts()[0].toStdString();
        EXPECT_EQ(calls, c.update ? 1 : 0);
    }
    EXPECT_EQ(fileBytes(path("taken.mdb")), "not a database");
}

// Every write, sync, rename and removal of a creation fails in turn.
TEST_F(Routines, CreationFailingPartWayLeavesTheRecentListAlone) {
    using jettest::MemoryFileSystem;
    auto probe = std::make_shared<MemoryFileSystem>();
    db::setFileSystemForTesting(probe);
    ASSERT_TRUE(db::CreateNewDatabase("/db/probe.mdb", nullptr));
    const std::uint64_t total = probe->operations();
    for (std::uint64_t n = 1; n <= total; ++n) {
        auto files = std::make_shared<MemoryFileSystem>();
        files->faultAt(n, MemoryFileSystem::Fault::Fail);
        db::setFileSystemForTesting(files);
        m_fakes.messageBoxes.clear();
        int updates = 0;
        const bool created = db::CreateNewDatabase("/db/new.mdb", [&](QString&) { ++updates; });
        EXPECT_EQ(updates, created ? 1 : 0) << "failure " << n;
        EXPECT_EQ(m_fakes.messageBoxes.calls().size(), created ? 0 : 1) << "failure " << n;
        if (!created) {
            EXPECT_TRUE(
                m_fakes.messageBoxes.texts()[0].startsWith("Error in creating a new Tarnwick: "));
        }
    }
    db::setFileSystemForTesting(nullptr);
}

// Not valid, with the one message and the file unchanged: every sample file (none has the
// four tables), damaged, missing and incomplete files, a file with a database password, and a
// file another program holds.
TEST_F(Routines, FilesThatAreNotValidSaySoAndStayUnchanged) {
    QStringList files;
    for (const QString& name : QDir(fixture("")).entryList({"*.mdb"}, QDir::Files))
        files.append(fixture(name));
    ASSERT_GE(files.size(), 13);
    const QByteArray good = fileBytes(newDatabase("good.mdb"));
    writeBytes(path("empty.mdb"), {});
    writeBytes(path("half.mdb"), good.left(good.size() / 2));
    writeBytes(path("first page.mdb"), good.left(4096));
    writeBytes(path("notes.mdb"), "Call the court clerk on Monday.\n");
    makeDatabase(path("three.mdb"), {{"Clients", {textField("Client")}},
                                     {"Activities", {textField("Activity")}},
                                     {"Projects", {textField("Project")}}});
    QDir(m_dir.path()).mkdir("folder.mdb");
    const QString password = path("with password.mdb");
    ASSERT_TRUE(QFile::copy(fixture("V2000_with-password.mdb"), password));
    QFile::setPermissions(password, QFile::ReadOwner | QFile::WriteOwner);
    {
        jet::Database database = openForWriting(password);
        for (const jet::TableSpec& table : db::schema::tables())
            database.createTable(table);
    }
    const QString held = newDatabase("held.mdb");
    jet::OpenOptions exclusive;
    exclusive.mode = jet::OpenMode::Exclusive;
    exclusive.lockTimeoutMs = 0;
    jet::Database holder = jet::Database::open(db::enginePath(held), exclusive);
    for (const char* name : {"empty.mdb", "half.mdb", "first page.mdb", "notes.mdb", "three.mdb",
                             "folder.mdb", "missing.mdb"})
        files.append(path(name));
    files << password << held;

    for (QString file : files) {
        const QByteArray before = fileBytes(file);
        m_fakes.messageBoxes.clear();
        EXPECT_FALSE(db::IsValidDatabase(file)) << file.toStdString();
        EXPECT_EQ(m_fakes.messageBoxes.texts(),
                  QStringList{file + " is not a valid Tarnwick database."});
        EXPECT_EQ(fileBytes(file), before) << file.toStdString();
        EXPECT_FALSE(db::SharedConnection || db::SharedRecordset);
    }
    holder.close();
    QString released = held;
    EXPECT_TRUE(db::IsValidDatabase(released));
}

TEST_F(Routines, OnlyTheFourTablesAreRequired) {
    QString file = path("other fields.mdb");
    makeDatabase(file, {{"Projects", {textField("Name"), textField("Owner")}},
                        {"Clients", {textField("Whoever", 20)}},
                        {"Extra", {textField("X")}},
                        {"Activities", {textField("A")}},
                        {"Things To Do", {textField("B")}}});
    EXPECT_TRUE(db::IsValidDatabase(file));
    EXPECT_TRUE(m_fakes.messageBoxes.calls().isEmpty());
}

TEST_F(Routines, ReferenceListsKeepStoredOrderAndEmptyTheActivities) {
    const QString file = newDatabase("lists.mdb");
    addRecords(file, "Clients",
               {{{"Client", text("Zimmer, Ann")}}, {{"Client", text("Abel, Bo")}}});
    db::ReferenceLists lists = {QStringList{"old"}, QStringList{"Attend"}, QStringList{"old"}};
    db::LoadReferenceLists(file, lists);
    EXPECT_EQ(lists.clients, (QStringList{"Zimmer, Ann", "Abel, Bo"}));
    EXPECT_TRUE(lists.activities.isEmpty());
    EXPECT_EQ(lists.projects, defaults(db::schema::defaultProjects()));
    EXPECT_TRUE(m_fakes.messageBoxes.calls().isEmpty());
    EXPECT_FALSE(db::SharedConnection || db::SharedRecordset);

    const QString empty = path("empty lists.mdb");
    makeDatabase(empty, db::schema::tables());
    db::LoadReferenceLists(empty, lists);
    EXPECT_EQ(lists, db::ReferenceLists{});
    EXPECT_TRUE(m_fakes.messageBoxes.calls().isEmpty());
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

    struct Case {
        const char* file;
        db::ReferenceLists expected;
    };
    const Case cases[] = {
        {"no projects.mdb", {QStringList{"Doe, Jane"}, {}, {}}},
        {"no clients.mdb", before},
        {"null client.mdb", {QStringList{"Doe, Jane"}, {}, {}}},
        {"garbage.mdb", before},
        {"missing.mdb", before},
    };
    for (const Case& c : cases) {
        m_fakes.messageBoxes.clear();
        db::ReferenceLists lists = before;
        db::LoadReferenceLists(path(c.file), lists);
        EXPECT_EQ(lists, c.expected) << c.file;
        ASSERT_EQ(m_fakes.messageBoxes.texts().size(), 1) << c.file;
        EXPECT_TRUE(
            m_fakes.messageBoxes.texts()[0].startsWith("Error in populating initial lists: "));
        EXPECT_GT(m_fakes.messageBoxes.texts()[0].size(), 40) << "a description follows";
        EXPECT_FALSE(db::SharedConnection || db::SharedRecordset);
    }
}

} // namespace
