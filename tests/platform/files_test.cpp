// Files and folders on the real file system, in temporary folders.
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

    // A program folder inside the temporary folder that is never writable.
    LocalFiles filesWithReadOnlyProgramFolder() {
        LocalFiles::Options options;
        options.programFolder = path("bin");
        options.installDataFolders = {path("share/tarnwick"), path("usr/share/tarnwick")};
        options.isWritableFolder = [](const QString&) { return false; };
        return LocalFiles(options);
    }

    QTemporaryDir m_temp;
};

TEST(JoinPath, PutsExactlyOneSeparatorBetween) {
    EXPECT_EQ(platform::joinPath("/", "TODO.MDB"), "/TODO.MDB");
    EXPECT_EQ(platform::joinPath("/opt/tarnwick", "TODO.MDB"), "/opt/tarnwick/TODO.MDB");
    EXPECT_EQ(platform::joinPath("/opt/tarnwick/", "TODO.MDB"), "/opt/tarnwick/TODO.MDB");
}

TEST_F(FilesTest, OnlyRegularFilesExistAndRemovingOneThatCannotGoSaysWhichAndWhy) {
    touch(path("todo.mdb"));
    QDir().mkpath(path("folder.mdb"));
    LocalFiles files;
    EXPECT_TRUE(files.fileExists(path("todo.mdb")));
    EXPECT_FALSE(files.fileExists(path("folder.mdb")));
    EXPECT_FALSE(files.fileExists(""));

    files.removeFile(path("todo.mdb"));
    EXPECT_FALSE(QFileInfo::exists(path("todo.mdb")));
    try {
        files.removeFile(path("folder.mdb"));
        ADD_FAILURE() << "a folder was removed";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.description(),
                  "Cannot delete the file " + path("folder.mdb") + ": Is a directory.");
    }
    EXPECT_TRUE(QFileInfo(path("folder.mdb")).isDir());
}

// The program's folder when it is writable, else the user's data folder, made if need be (as
// the installed program, run from a read-only folder, shows in tests/install).
TEST_F(FilesTest, DatabaseFolderFallsBackToTheUserDataFolder) {
    LocalFiles::Options options;
    options.programFolder = path("bin");
    options.userDataFolder = path("user");
    QDir().mkpath(path("bin"));
    EXPECT_EQ(LocalFiles(options).databaseFolder(), path("bin"));
    options.programFolder = path("missing");
    EXPECT_EQ(LocalFiles(options).databaseFolder(), path("user"));

    touch(path("file")); // a file where the data folder should be
    options.userDataFolder = path("file/tarnwick");
    EXPECT_THROW(LocalFiles(options).databaseFolder(), platform::Error);
}

TEST_F(FilesTest, DataFilesAreFoundBesideTheProgramThenInTheDataFolders) {
    LocalFiles files = filesWithReadOnlyProgramFolder();
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
