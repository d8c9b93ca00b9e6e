// Files and folders on the real file system, in temporary folders.
#include "env_guard.h"
#include "platform/error.h"
#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::LocalFiles;

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_temp.isValid()); }
    QString path(const QString& name) const { return m_temp.path() + "/" + name; }

    // A program folder inside the temporary folder, writable or not as `writable` says.
    LocalFiles filesWithProgramFolder(bool writable) {
        LocalFiles::Options options;
        options.programFolder = path("bin");
        options.installDataFolders = {path("share/tarnwick"), path("usr/share/tarnwick")};
        options.isWritableFolder = [writable](const QString&) { return writable; };
        return LocalFiles(options);
    }

    QTemporaryDir m_temp;
    EnvGuard m_env;
};

TEST(JoinPath, PutsExactlyOneSeparatorBetween) {
    EXPECT_EQ(platform::joinPath("/", "TODO.MDB"), "/TODO.MDB");
    EXPECT_EQ(platform::joinPath("/opt/tarnwick", "TODO.MDB"), "/opt/tarnwick/TODO.MDB");
    EXPECT_EQ(platform::joinPath("/opt/tarnwick/", "TODO.MDB"), "/opt/tarnwick/TODO.MDB");
}

TEST_F(FilesTest, OnlyRegularFilesExist) {
    touch(path("todo.mdb"));
    QDir().mkpath(path("folder.mdb"));
    QFile::link(path("todo.mdb"), path("link.mdb"));
    QFile::link(path("gone.mdb"), path("dangling.mdb"));
    LocalFiles files;
    EXPECT_TRUE(files.fileExists(path("todo.mdb")));
    EXPECT_TRUE(files.fileExists(path("link.mdb")));
    EXPECT_FALSE(files.fileExists(path("TODO.MDB"))); // names are case-sensitive
    EXPECT_FALSE(files.fileExists(path("folder.mdb")));
    EXPECT_FALSE(files.fileExists(path("dangling.mdb")));
    EXPECT_FALSE(files.fileExists(""));
}

TEST_F(FilesTest, RemovingAFileThatCannotBeRemovedSaysWhichAndWhy) {
    touch(path("todo.mdb"));
    QDir().mkpath(path("folder.mdb"));
    LocalFiles files;
    files.removeFile(path("todo.mdb"));
    EXPECT_FALSE(QFileInfo::exists(path("todo.mdb")));

    for (const QString& name : {QString("todo.mdb"), QString("folder.mdb")}) {
        try {
            files.removeFile(path(name));
            ADD_FAILURE() << "no error removing " << name.toStdString();
        } catch (const platform::Error& e) {
            EXPECT_TRUE(e.description().contains(path(name))) << e.what();
            EXPECT_TRUE(e.description().endsWith(".")) << e.what();
        }
    }
    EXPECT_TRUE(QFileInfo(path("folder.mdb")).isDir());
}

TEST_F(FilesTest, DatabaseFolderFallsBackToTheUserDataFolderAndCreatesIt) {
    const struct {
        const char* xdgDataHome; // relative to the temporary folder; null: unset
        const char* expected;
    } cases[] = {
        {"data", "data/tarnwick"},
        {nullptr, "home/.local/share/tarnwick"},
    };
    for (const auto& c : cases) {
        EnvGuard env;
        env.set("XDG_DATA_HOME", c.xdgDataHome ? QFile::encodeName(path(c.xdgDataHome)) : "");
        env.set("HOME", QFile::encodeName(path("home")));
        EXPECT_EQ(filesWithProgramFolder(false).databaseFolder(), path(c.expected));
        EXPECT_TRUE(QFileInfo(path(c.expected)).isDir()) << c.expected;
    }
}

TEST_F(FilesTest, DatabaseFolderThatCannotBeCreatedThrows) {
    touch(path("data")); // a file where the data folder should be
    m_env.set("XDG_DATA_HOME", QFile::encodeName(path("data")));
    EXPECT_THROW(filesWithProgramFolder(false).databaseFolder(), platform::Error);
}

TEST_F(FilesTest, DefaultWritableTestSeesARealFolder) {
    LocalFiles::Options options;
    options.programFolder = path("bin");
    options.userDataFolder = path("user");
    QDir().mkpath(path("bin"));
    EXPECT_EQ(LocalFiles(options).databaseFolder(), path("bin"));
    options.programFolder = path("missing");
    EXPECT_EQ(LocalFiles(options).databaseFolder(), path("user"));
}

TEST_F(FilesTest, DataFilesAreFoundBesideTheProgramThenInTheDataFolders) {
    LocalFiles files = filesWithProgramFolder(false);
    EXPECT_EQ(files.dataFilePath("tarnwick.gif"), path("bin/tarnwick.gif")); // found nowhere
    touch(path("usr/share/tarnwick/tarnwick.gif"));
    EXPECT_EQ(files.dataFilePath("tarnwick.gif"), path("usr/share/tarnwick/tarnwick.gif"));
    touch(path("share/tarnwick/tarnwick.gif"));
    EXPECT_EQ(files.dataFilePath("tarnwick.gif"), path("share/tarnwick/tarnwick.gif"));
    touch(path("bin/tarnwick.gif"));
    EXPECT_EQ(files.dataFilePath("tarnwick.gif"), path("bin/tarnwick.gif"));
}

TEST(ProgramFolder, IsTheExecutablesFolderWithoutTrailingSeparator) {
    const QString folder = LocalFiles().programFolder();
    EXPECT_TRUE(QFileInfo::exists(folder + "/platform_tests")) << folder.toStdString();
    EXPECT_FALSE(folder.endsWith('/'));
}

} // namespace
